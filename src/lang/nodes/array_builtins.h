// Array literals and the array functions delete, push and fill.
#pragma once

#include "lang/nodes/string_builtins.h"

// list , expression: builds a list value element by element (a chain as long as the list).
class N_list : public Node {
public:
    N_list(Node_ptr left, Node_ptr right) : left_(std::move(left)), right_(std::move(right)) {}
    ~N_list() override;
    Gen_type exec() override;
    Node* left() const { return left_.get(); }
    Node* right() const { return right_.get(); }

protected:
    Node_ptr* chain_child() override { return &left_; }

private:
    Node_ptr left_, right_;
};

// { list }: closes a list (or a single expression) into an array value.
class N_fix_list : public Node {
public:
    explicit N_fix_list(Node_ptr list) : list_(std::move(list)) {}
    Gen_type exec() override;

private:
    Node_ptr list_;
};

// delete(array, index[, count])
class N_del : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

// push(array, value[, index])
class N_push : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

// fill(format, values)
class N_fill : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};
