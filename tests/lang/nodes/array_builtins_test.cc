#include "lang/nodes/array_builtins.h"

#include "lang/nodes/eval_fixture.h"

namespace {

using namespace evalfx;
using evalfx::in_run::E;

Node_ptr List(Node_ptr a, Node_ptr b) {
    return N<N_list>(std::move(a), std::move(b));
}
Node_ptr Abc() {
    return X(A({Gen_type("a"), Gen_type("b"), Gen_type("c")}));
}

// Strings bare, arrays in brackets, lists in l[...].
class ArrayBuiltinsTest : public Eval_test {
protected:
    ArrayBuiltinsTest() : Eval_test(show_brackets<false>) {}
};

TEST_F(ArrayBuiltinsTest, ResultsAndMessages) {
    const std::string out_of_bound = E("warning: Array index out of bound");
    st->set_variable("v", A({Gen_type("a"), Gen_type("b")}));
    auto v = [] { return N<N_var>("v", Var_form::variable); };
    std::pair<Node_ptr, std::string> rows[] = {
        {List(X(A({Gen_type(1)})), C(2)), "l[[1],2] "},
        {N<N_fix_list>(List(List(C(1), C("a")), X(A({Gen_type(2)})))), "[1,a,[2]] "},
        {N<N_fix_list>(X(A({Gen_type(1), Gen_type(2)}))), "[[1,2]] "},
        {N<N_fix_list>(C(7)), "[7] "},
        {N<N_fix_list>(X(Gen_type())), "[] "},
        {N<N_del>(Abc(), C(1)), "[a,c] "},
        {N<N_del>(Abc(), C(0), C(2)), "[c] "},
        {N<N_del>(Abc(), C(1), C(0)), "[a,b,c] "},
        {N<N_del>(Abc(), C(3)), "[a,b,c]" + out_of_bound},
        {N<N_del>(C("x"), C(0)), "-1" + E("delete requires an array as first variable")},
        {N<N_del>(Abc(), C("1")), "-1" + E("delete requires an int as second variable")},
        {N<N_del>(Abc(), C(-1)), "-1" + E("array indexes must be > 0")},
        {N<N_del>(Abc(), C(0), C("1")), "-1" + E("delete requires an int as third variable")},
        {N<N_del>(Abc(), C(0), C(-1)), "-1" + E("number of elements to delete must be > 0")},
        {N<N_push>(v(), X(A({Gen_type(1)}))), "[a,b,[1]] "},
        {N<N_push>(v(), C("x"), C(4)), "[a,b,,,x] "},
        {N<N_push>(v(), C("x"), C(0)), "[x,b] "},
        {N<N_push>(v(), C("x"), C("1")), "[a,b]" + E("index must be an integer")},
        {N<N_push>(C("x"), C(1)), "-1" + E("push requires an array as first variable")},
        {N<N_fill>(C("%s-%s"), List(List(C(1), C(2)), C(3))), "1-2 "},
        {N<N_fill>(C("%s-%s"), C(7)), "7-%s "},
        {N<N_fill>(C("%s|%s"), List(C("%s"), C("b"))), "b|%s "}, // each search starts again at the front
        {N<N_fill>(C("<%s>"), X(A({A({})}))), "<>" + E("Arrays not allowed within this context")},
    };
    for (auto& row : rows)
        EXPECT_EQ(run(row.first), row.second);
    EXPECT_EQ(shown(st->get_variable("v")), "[a,b]");
}

// push evaluates its index before the value; a first argument that is no array stops the evaluation.
TEST_F(ArrayBuiltinsTest, EvaluationOrder) {
    const Gen_type i(0);
    run(N<N_push>(X(A({}), "A"), X(i, "V"), X(i, "I")));
    run(N<N_push>(X(i, "A"), X(i, "V"), X(i, "I")));
    run(N<N_del>(X(i, "D"), X(i, "X"), X(i, "C")));
    run(List(List(X(i, "1"), X(i, "2")), X(i, "3")));
    EXPECT_EQ(order, "AIVAD123");
}

// A list is a chain of one node per comma: evaluated and destroyed without deep recursion, each value
// appended in place.
TEST_F(ArrayBuiltinsTest, MillionElementList) {
    constexpr int32_t n = 1000000;
    Node_ptr list = C(0);
    for (int32_t i = 1; i < n; ++i)
        list = List(std::move(list), C(i));
    Node_ptr array = N<N_fix_list>(std::move(list));
    Gen_type v = array->exec();
    ASSERT_EQ(v.elements().size(), static_cast<std::size_t>(n));
    EXPECT_TRUE(v.is_array());
    EXPECT_EQ(v.elements()[123456].integer(), 123456);
    EXPECT_EQ(v.elements()[n - 1].integer(), n - 1);
    array.reset();
}

} // namespace
