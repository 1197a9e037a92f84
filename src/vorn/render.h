// The whole run of vorn, from the command line to the written page: what its main calls, and what a program
// that renders pages in its own process calls.
#pragma once

// Returns the exit status of a completed run; a failure ends the run from inside the reporter, which
// unwinds to the caller (Run_end, base/process_end.h).
int vorn_main(int argc, char** argv);
