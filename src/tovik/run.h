// The whole run of vorn-tovik, from the command line to the written makefile.
#pragma once

// Returns the exit status of a completed run; a failure ends the run from inside the reporter, which
// unwinds to the caller (Run_end, base/process_end.h).
int tovik_main(int argc, char** argv);
