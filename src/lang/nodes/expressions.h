// Expression nodes: constants, variable references, assignment, removal, conversions, operators.
#pragma once

#include "lang/eval/node.h"

class N_const : public Node {
public:
    explicit N_const(Gen_type value) : value_(std::move(value)) {}
    Gen_type exec() override;
    bool is_fixed_arg() const override { return true; }
    const Gen_type& value() const { return value_; }

private:
    Gen_type value_;
};

// A variable named in the source.
class N_var : public N_base_var {
public:
    N_var(std::string name, Var_form form, Node_ptr inner = nullptr, Node_ptr index = nullptr)
        : N_base_var(std::move(name), form, std::move(inner), std::move(index)) {}
    Gen_type exec() override;
    std::string variable_name() override;
};

// $(expression): a variable whose name is computed.
class N_ind_expr : public N_base_var {
public:
    N_ind_expr(Node_ptr name_expr, Var_form form, Node_ptr index = nullptr)
        : N_base_var(std::string(), form, nullptr, std::move(index)), name_expr_(std::move(name_expr)) {}
    Gen_type exec() override;
    std::string variable_name() override;
    Node* name_expr() const { return name_expr_.get(); }

private:
    Node_ptr name_expr_;
};

// Common evaluation of `=` and of the compound assignments.
class N_assign_base : public Node {
public:
    Gen_type exec() override;
    bool define_only() const { return define_only_ != 0; }
    virtual N_base_var* target() const = 0;
    virtual Node* value() const = 0;

protected:
    explicit N_assign_base(bool define_only) : define_only_(define_only ? 1 : 0) {}
    unsigned char define_only_;
};

// variable = expression.  The define-only flag (set for the start of a captured type block) assigns only
// when the variable does not exist yet.
class N_assign : public N_assign_base {
public:
    N_assign(Node_ptr target, Node_ptr value, bool define_only = false);
    N_base_var* target() const override { return target_; }
    Node* value() const override { return value_.get(); }

private:
    N_base_var* target_; // owned through target_owner_
    Node_ptr target_owner_;
    Node_ptr value_;
};

// target op= expression: the combining node op(target, expression) owns the target, which this node
// only refers to.
class N_assign_rec : public N_assign_base {
public:
    N_assign_rec(Node* target, Node_ptr combine);
    N_base_var* target() const override { return target_; }
    Node* value() const override { return combine_.get(); }

private:
    N_base_var* target_;
    Node_ptr combine_;
};

// ++ and --, prefix and postfix.
class N_epp : public Node {
public:
    N_epp(Node_ptr operand, int32_t step, bool old_value)
        : operand_(std::move(operand)), step_(step), old_value_(old_value ? 1 : 0) {}
    Gen_type exec() override;
    Node* operand() const { return operand_.get(); }
    int32_t step() const { return step_; }
    bool old_value() const { return old_value_ != 0; }

private:
    Node_ptr operand_;
    int32_t step_;
    unsigned char old_value_;
};

class N_undef : public Node {
public:
    explicit N_undef(Node_ptr target) : target_(std::move(target)) {}
    Gen_type exec() override;
    Node* target() const { return target_.get(); }

private:
    Node_ptr target_;
};

class N_empty_array : public Node {
public:
    explicit N_empty_array(Node_ptr target) : target_(std::move(target)) {}
    Gen_type exec() override;
    Node* target() const { return target_.get(); }

private:
    Node_ptr target_;
};

// One-operand nodes.
class N_unary : public Node {
public:
    explicit N_unary(Node_ptr operand) : operand_(std::move(operand)) {}
    Node* operand() const { return operand_.get(); }

protected:
    Node_ptr operand_;
};

#define VT_UNARY_NODE(NAME)                                                                                  \
    class NAME : public N_unary {                                                                            \
    public:                                                                                                  \
        using N_unary::N_unary;                                                                              \
        Gen_type exec() override;                                                                            \
    };
VT_UNARY_NODE(N_tobool)
VT_UNARY_NODE(N_toint)
VT_UNARY_NODE(N_tostring)
VT_UNARY_NODE(N_toarray)
VT_UNARY_NODE(N_isint)
VT_UNARY_NODE(N_isstring)
VT_UNARY_NODE(N_isarray)
VT_UNARY_NODE(N_not)
VT_UNARY_NODE(N_uminus)
#undef VT_UNARY_NODE

// Two-operand nodes.  The left operand is evaluated completely before the right one; a chain of operators
// (1 + 1 + ... + 1) is evaluated and destroyed link by link, never by recursion as deep as the chain.
class N_binary : public Node {
public:
    N_binary(Node_ptr left, Node_ptr right) : left_(std::move(left)), right_(std::move(right)) {}
    ~N_binary() override;
    Gen_type exec() final;
    Node* left() const { return left_.get(); }
    Node* right() const { return right_.get(); }

protected:
    // Combines the left operand's value with the right operand (evaluated here, or not at all for && and ||).
    virtual Gen_type combine(Gen_type left) = 0;
    Node_ptr* chain_child() override { return &left_; }
    Node_ptr left_;
    Node_ptr right_;
};

#define VT_BINARY_NODE(NAME)                                                                                 \
    class NAME : public N_binary {                                                                           \
    public:                                                                                                  \
        using N_binary::N_binary;                                                                            \
                                                                                                             \
    protected:                                                                                               \
        Gen_type combine(Gen_type left) override;                                                            \
    };
VT_BINARY_NODE(N_and)
VT_BINARY_NODE(N_or)
VT_BINARY_NODE(N_plus)
VT_BINARY_NODE(N_minus)
VT_BINARY_NODE(N_times)
VT_BINARY_NODE(N_div)
VT_BINARY_NODE(N_mod)
VT_BINARY_NODE(N_pow)
VT_BINARY_NODE(N_eq)
VT_BINARY_NODE(N_neq)
VT_BINARY_NODE(N_gt)
VT_BINARY_NODE(N_lt)
VT_BINARY_NODE(N_ge)
VT_BINARY_NODE(N_le)
VT_BINARY_NODE(N_w_eq)
VT_BINARY_NODE(N_w_neq)
#undef VT_BINARY_NODE
