// The fixed texts of the command line: usage lines, help, version and accessibility notes.
#pragma once

#include <string>

// "Usage: PROGRAM [OPTION] ... [Makefile]\n"
std::string usage_line(const std::string& program);
// "Try `PROGRAM --help' for more information.\n"
std::string try_help_line(const std::string& program);
// Everything --help prints after the usage line.
std::string help_text();
std::string version_text();
std::string accessibility_text();
