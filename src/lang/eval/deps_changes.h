// The changes that reading a source makes to the dependency collector, as a list: kept for an included file
// so that a later inclusion of the same file makes them again without the file being scanned and parsed
// (lang/frontend/include_memo.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Deps_change {
    enum Kind : uint8_t {
        dependency,      // a file named by a node or a "__DEP__" marker (flag: named from the run directory)
        archive_exclude, // an entry of the ".sources" file
        no_output,       // "__NO_OUTPUT__"
        always,          // "__ALWAYS__"
        extension,       // "__EXT__"
        not_main,        // an inclusion: the store is no longer reading the main file only
        enter_include_dir,  // an included file entered
        leave_include_dir,  // and left
        unfixed_dependency, // a dependency whose name is no fixed text: warned about unless "__ALWAYS__"
        page_value,         // a value that another page may give differently (its own name, a random number)
        variable,           // a variable read: its name and value (dependency_collector.cc)
    };
    Kind kind;
    bool flag = false;
    std::string text;
};

using Deps_changes = std::vector<Deps_change>;
