// Built-ins that run other programs: cmd/evalcmd through the shell, exec/evalexec directly.  Both run in
// the directory of the file they are written in (an included file's, not the page's), wherever and whenever
// they are evaluated: statements of an included file run after its end, and an include name inside an
// included file is evaluated while the file is read, so that vorn and vorn-tovik run the same program in
// the same place, the place where the file's other names are taken from.
#pragma once

#include <string>

#include "lang/eval/node.h"

// cmd(command) / evalcmd: the command line runs through the shell.
class N_cmd : public Node {
public:
    N_cmd(Node_ptr command, bool capture);
    Gen_type exec() override;
    void on_registered() override;
    bool capture() const { return capture_ != 0; }

private:
    Node_ptr command_;
    unsigned char capture_;
    std::string build_dir_; // the working directory when the node was registered, with a trailing "/"
};

// exec(script[, arguments]) / evalexec: the script runs in a new process with the argument vector and the
// one environment variable LA (the level adjustment); its output is read while it runs.  A relative script
// name is named from the directory the script runs in, except inputfile() and outputfile(), which name
// files from the run directory.
class N_exec : public N_dep {
public:
    N_exec(Node_ptr script, Node_ptr arguments, bool capture);
    Gen_type exec() override;
    void on_registered() override;
    // The common dependency operation, then the script enters the archive exclude list.
    void deps(Dependency_collector& collector) override;
    bool capture() const { return capture_ != 0; }

private:
    [[noreturn]] void run_child(const std::string& path, int read_end, int write_end);
    Node_ptr arguments_;
    unsigned char capture_;
    std::string build_dir_;
};
