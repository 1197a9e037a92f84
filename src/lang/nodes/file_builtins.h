// Built-ins that look at files, the clock and the site's levels, and the two include nodes.
#pragma once

#include "lang/nodes/string_builtins.h"

// A dependency node whose relative file names are resolved against the working directory of the moment it
// was built (and registered).
class N_file_dep : public N_dep {
public:
    N_file_dep(Node_ptr file, Node_ptr second);
    void on_registered() override;
    const std::string& build_dir() const { return build_dir_; }
    Node* second() const { return second_.get(); }
    // The path of a file name: itself when absolute; relative to the run directory for inputfile() and
    // outputfile(); else relative to the build directory.
    std::string resolve(const std::string& name) const;

protected:
    Node_ptr second_;
    std::string build_dir_;
};

// date(format)
class N_date : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

// fdate(file, format)
class N_fdate : public N_file_dep {
public:
    using N_file_dep::N_file_dep;
    Gen_type exec() override;
};

// fsize(file, format)
class N_fsize : public N_file_dep {
public:
    using N_file_dep::N_file_dep;
    Gen_type exec() override;
};

// verbatim(file): copies the file into the page.
class N_verbatim : public N_file_dep {
public:
    explicit N_verbatim(Node_ptr file) : N_file_dep(std::move(file), nullptr) {}
    Gen_type exec() override;
};

// fileexists(file)
class N_fileexists : public N_builtin3 {
public:
    explicit N_fileexists(Node_ptr file);
    Gen_type exec() override;
    void on_registered() override;

private:
    std::string build_dir_;
};

// random(minimum, maximum)
class N_random : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

// linkadjust()
class N_adj_link : public Node {
public:
    Gen_type exec() override;
};

// include(file): the parser reads the file itself; evaluating the node marks the argument frame.
class N_include : public N_dep {
public:
    explicit N_include(Node_ptr file) : N_dep(std::move(file)) {}
    Gen_type exec() override;
};

// include(file, arguments)
class N_arg_include : public N_dep {
public:
    N_arg_include(Node_ptr file, Node_ptr arguments)
        : N_dep(std::move(file)), arguments_(std::move(arguments)) {}
    Gen_type exec() override;

private:
    Node_ptr arguments_;
};

// Applies the date format (#D #M #d #h #m #n #s #y) to a moment, reading day and month names from the
// store's _days and _months.
class Eval_context;
std::string format_date(Eval_context& store, const std::string& format, long long when);
// Applies the size format (#b #k #m) to a size in bytes.
std::string format_size(const std::string& format, long long size);
