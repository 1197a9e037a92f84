// The whole run of vorn-tovik, from the command line to the written makefile.
#pragma once

// Returns the exit status of a completed run; every failure ends the process from inside the reporter.
int tovik_main(int argc, char** argv);
