#include "nodes/array_builtins.h"

#include <gtest/gtest.h>
#include <memory>

#include "diag/reporter.h"
#include "support/test_support.h"
#include "values/expressions.h"
#include "values/tree.h"

namespace {

Exec_tree* st = nullptr;
std::string order; // tags of the Fixed nodes, in evaluation order

// Yields a fixed value of any kind and logs its tag.
class Fixed : public Node {
public:
    Fixed(Gen_type v, std::string tag) : v_(std::move(v)), tag_(std::move(tag)) {}
    Gen_type exec() override {
        locate();
        order += tag_;
        return v_;
    }

private:
    Gen_type v_;
    std::string tag_;
};

template <class T, class... A> Node_ptr N(A&&... args) {
    return Node_ptr(st->add_statement(new T(std::forward<A>(args)...)));
}
Node_ptr C(int32_t v) {
    return N<N_const>(Gen_type(v));
}
Node_ptr C(const char* t) {
    return N<N_const>(Gen_type(t));
}
Node_ptr X(Gen_type v, std::string tag = "") {
    return N<Fixed>(std::move(v), std::move(tag));
}
Node_ptr List(Node_ptr a, Node_ptr b) {
    return N<N_list>(std::move(a), std::move(b));
}
Gen_type A(std::initializer_list<Gen_type> xs) {
    Gen_type a = Gen_type::empty_array();
    a.elements().assign(xs);
    return a;
}
Node_ptr Abc() {
    return X(A({Gen_type("a"), Gen_type("b"), Gen_type("c")}));
}

// Strings bare, arrays in brackets, lists in l[...].
std::string show(const Gen_type& v) {
    if (!v.is_array() && !v.is_list())
        return v.is_int() ? int_to_text(v.integer()) : v.text();
    std::string out;
    for (std::size_t i = 0; i < v.elements().size(); ++i)
        out += (i ? "," : "") + show(v.elements()[i]);
    return (v.is_list() ? "l[" : "[") + out + "]";
}

// The value shown, then everything written on the standard error stream.
std::string eval(const Node_ptr& n) {
    ts::Stderr_capture cap;
    std::string value = show(n->exec());
    return value + " " + cap.text();
}

std::string E(const std::string& t) {
    return " sub/page.vrn:3: " + t + "\n";
}

class ArrayBuiltinsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reporter& r = reporter();
        r.reset();
        r.set_file("sub/page.vrn");
        r.add_lines(2);
        r.set_policy(Policy::ignore_errors);
        r.set_executing(true);
        store_ = std::make_unique<Exec_tree>("page.vrn", "page.html", "./", "");
        st = store_.get();
        order.clear();
    }
    void TearDown() override { reporter().reset(); }
    std::unique_ptr<Exec_tree> store_;
};

TEST_F(ArrayBuiltinsTest, ResultsAndMessages) {
    const std::string out_of_bound = E("warning: Array index out of bound");
    st->set_variable("v", A({Gen_type("a"), Gen_type("b")}));
    auto v = [] { return N<N_var>("v", 's'); };
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
        EXPECT_EQ(eval(row.first), row.second);
    EXPECT_EQ(show(st->get_variable("v")), "[a,b]");
}

// push evaluates its index before the value; a first argument that is no array stops the evaluation.
TEST_F(ArrayBuiltinsTest, EvaluationOrder) {
    const Gen_type i(0);
    eval(N<N_push>(X(A({}), "A"), X(i, "V"), X(i, "I")));
    eval(N<N_push>(X(i, "A"), X(i, "V"), X(i, "I")));
    eval(N<N_del>(X(i, "D"), X(i, "X"), X(i, "C")));
    eval(List(List(X(i, "1"), X(i, "2")), X(i, "3")));
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
