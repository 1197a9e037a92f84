#include "lang/eval/node.h"

#include <gtest/gtest.h>

#include "lang/nodes/array_builtins.h"
#include "lang/nodes/expressions.h"
#include "lang/nodes/statements.h"

namespace {

int destroyed = 0;

struct Counted_var : N_base_var {
    Counted_var() : N_base_var("a", Var_form::variable, nullptr, nullptr) {}
    ~Counted_var() override { ++destroyed; }
    Gen_type exec() override { return Gen_type(); }
    std::string variable_name() override { return name_; }
};

struct Counted : Node {
    ~Counted() override { ++destroyed; }
    Gen_type exec() override { return Gen_type(); }
};

TEST(NodeBase, DefaultsAndVariableReferences) {
    Counted plain;
    EXPECT_FALSE(plain.is_variable());
    EXPECT_FALSE(plain.is_fixed_arg());
    Counted_var v;
    EXPECT_TRUE(v.is_variable());
    EXPECT_TRUE(v.names_variable());
}

TEST(NodeBase, ElementOfANonVariableNamesNoVariable) {
    // (expression)[1] and (expression)[1][2]: readable, but nothing to assign to.
    N_var e1("", Var_form::nested_element, Node_ptr(new Counted), Node_ptr(new Counted));
    EXPECT_TRUE(e1.is_variable());
    EXPECT_FALSE(e1.names_variable());
    N_var e2("", Var_form::nested_element,
             Node_ptr(new N_var("", Var_form::nested_element, Node_ptr(new Counted), Node_ptr(new Counted))),
             Node_ptr(new Counted));
    EXPECT_FALSE(e2.names_variable());
    N_var ok("x", Var_form::nested_element,
             Node_ptr(new N_var("x", Var_form::element, nullptr, Node_ptr(new Counted))),
             Node_ptr(new Counted));
    EXPECT_TRUE(ok.names_variable());
}

TEST(NodeBase, CompoundAssignmentDestroysSharedTargetOnce) {
    destroyed = 0;
    {
        auto* target = new Counted_var;
        auto* combine = new N_minus(Node_ptr(target), Node_ptr(new Counted));
        N_assign_rec assign(target, Node_ptr(combine));
        EXPECT_EQ(assign.target(), target);
        EXPECT_EQ(assign.value(), combine);
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(NodeBase, LongChainsAreDestroyedWithoutDeepRecursion) {
    destroyed = 0;
    {
        Node_ptr seq(new Counted);
        for (int i = 0; i < 300000; ++i)
            seq.reset(new N_stmt(std::move(seq), Node_ptr(new Counted)));
        Node_ptr sum(new Counted);
        for (int i = 0; i < 300000; ++i)
            sum.reset(new N_plus(std::move(sum), Node_ptr(new Counted)));
        Node_ptr chain(new Counted);
        for (int i = 0; i < 300000; ++i)
            chain.reset(new N_cond_seq(std::move(chain), Node_ptr(new Counted)));
        Node_ptr list(new Counted);
        for (int i = 0; i < 300000; ++i)
            list.reset(new N_list(std::move(list), Node_ptr(new Counted)));
    }
    EXPECT_EQ(destroyed, 4 * 300001);
}

} // namespace
