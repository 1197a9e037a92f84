// The run after the options are read: the dependency store, the scans of the main section and of every
// branch, the archive rule, the ".sources" file and the makefile.
#pragma once

class Reporter;
class Tovik_opt;
class Work_dir;

// Scans the site from the working directory `work_dir` follows and writes the makefile (or an empty one
// when no page is listed).  Every failure ends the run from inside the reporter.
void generate_makefile(Reporter& reporter, Tovik_opt& options, Work_dir& work_dir);
