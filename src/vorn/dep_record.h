// The record that `vorn --deps FILE` writes of what a page read: a make fragment naming the page's output,
// a colon and every file the page read, then an empty rule for each of those files (as gcc's -MP does), so
// that make goes on when one of them is gone.  Names are written as the makefile writes dependencies.
#pragma once

#include <set>
#include <string>

class Reporter;

// `output`: the page as the command line named it; `reads`: the files, named from the run directory.  The
// page itself and names make cannot express are left out (with a verbose message); an output make cannot
// express gives an empty record.
std::string dep_record(Reporter& reporter, const std::string& output, const std::set<std::string>& reads);
