// The command line of vorn, the page processor: vorn [OPTION]... SOURCE OUTPUT
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "lang/eval/page_renderer.h"

class Reporter;

struct Vorn_options {
    std::string source;
    std::string output;                                       // "-": standard output
    std::string root_dir = "./";                              // -d
    std::vector<std::pair<std::string, std::string>> defines; // -D NAME=VALUE, in order
    std::vector<bool> define_is_flag;                         // per entry: no "=" given, defined as 1
    bool parents = false;                                     // -p
    Program_policy policy = Program_policy::run;              // --noext-warning, --noext-error
    std::string deps;                                         // --deps: the record of what the page read
};

// Fills the options and configures the reporter; help, version and usage errors end the run.
Vorn_options parse_vorn_options(Reporter& r, int argc, char** argv);
