// Built-ins that run other programs: cmd/evalcmd through the shell, exec/evalexec directly.
#pragma once

#include "frontend/node.h"

class N_cmd : public Node {
public:
    N_cmd(Node_ptr command, bool capture) : command_(std::move(command)), capture_(capture ? 1 : 0) {}
    Gen_type exec() override;
    bool capture() const { return capture_ != 0; }

private:
    Node_ptr command_;
    unsigned char capture_;
};

class N_exec : public N_dep {
public:
    N_exec(Node_ptr script, Node_ptr arguments, bool capture)
        : N_dep(std::move(script)), arguments_(std::move(arguments)), capture_(capture ? 1 : 0) {}
    Gen_type exec() override;
    // The common dependency operation, then the script enters the archive exclude list.
    void deps() override;
    bool capture() const { return capture_ != 0; }

private:
    Node_ptr arguments_;
    unsigned char capture_;
};
