// Built-ins that run other programs: cmd/evalcmd through the shell, exec/evalexec directly.
#pragma once

#include "frontend/node.h"

// cmd(command) / evalcmd: the command line runs through the shell.
class N_cmd : public Node {
public:
    N_cmd(Node_ptr command, bool capture) : command_(std::move(command)), capture_(capture ? 1 : 0) {}
    Gen_type exec() override;
    bool capture() const { return capture_ != 0; }

private:
    Node_ptr command_;
    unsigned char capture_;
};

// exec(script[, arguments]) / evalexec: the script runs in a new process with the argument vector and the
// one environment variable LA (the level adjustment); its output is read while it runs.
class N_exec : public N_dep {
public:
    N_exec(Node_ptr script, Node_ptr arguments, bool capture)
        : N_dep(std::move(script)), arguments_(std::move(arguments)), capture_(capture ? 1 : 0) {}
    Gen_type exec() override;
    // The common dependency operation, then the script enters the archive exclude list.
    void deps() override;
    bool capture() const { return capture_ != 0; }

private:
    [[noreturn]] void run_child(const std::string& path, int read_end, int write_end);
    Node_ptr arguments_;
    unsigned char capture_;
};
