#include "lang/nodes/expressions.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <memory>

#include "diag/reporter.h"
#include "lang/eval/page_renderer.h"
#include "support/test_support.h"

namespace {

Page_renderer* st = nullptr;

// Every node is registered with the execution store, which stamps it with the store and the scan location
// (sub/page.vrn, line 3 unless a test moves it).
Node_ptr reg(Node* n) {
    st->add_statement(n);
    return Node_ptr(n);
}
template <class T, class... A> Node_ptr make(A&&... args) {
    return reg(new T(std::forward<A>(args)...));
}

Node_ptr C(int32_t v) {
    return make<N_const>(Gen_type(v));
}
Node_ptr C(const char* t) {
    return make<N_const>(Gen_type(t));
}
Node_ptr V(const char* name) {
    return make<N_var>(name, Var_form::variable);
}
Node_ptr Va(const char* name) {
    return make<N_var>(name, Var_form::array);
}
Node_ptr Vi(const char* name, Node_ptr index) {
    return make<N_var>(name, Var_form::element, nullptr, std::move(index));
}
Node_ptr VI(Node_ptr inner, Node_ptr index) {
    return make<N_var>("", Var_form::nested_element, std::move(inner), std::move(index));
}
Node_ptr Ind(Node_ptr name, Var_form form = Var_form::variable, Node_ptr index = nullptr) {
    return make<N_ind_expr>(std::move(name), form, std::move(index));
}
Node_ptr Assign(Node_ptr target, Node_ptr value, bool define_only = false) {
    return make<N_assign>(std::move(target), std::move(value), define_only);
}

// A node that yields a fixed value of any kind (lists included).
class Fixed : public Node {
public:
    explicit Fixed(Gen_type v) : v_(std::move(v)) {}
    Gen_type exec() override {
        locate();
        return v_;
    }

private:
    Gen_type v_;
};
Node_ptr X(Gen_type v) {
    return make<Fixed>(std::move(v));
}

Gen_type I(int32_t v) {
    return Gen_type(v);
}
Gen_type S(const char* t) {
    return Gen_type(t);
}
Gen_type A(std::initializer_list<Gen_type> xs = {}) {
    Gen_type a = Gen_type::empty_array();
    a.elements().assign(xs);
    return a;
}
Gen_type L(std::initializer_list<Gen_type> xs = {}) {
    Gen_type l = Gen_type::empty_list();
    l.elements().assign(xs);
    return l;
}

// A value written out with its kind: 5, "ab", u, [..] for arrays, l[..] for lists.
std::string show(const Gen_type& v) {
    switch (v.kind()) {
    case Value_kind::integer:
        return int_to_text(v.integer());
    case Value_kind::string:
        return "\"" + v.text() + "\"";
    case Value_kind::undefined:
        return "u";
    default: {
        std::string out = v.is_list() ? "l[" : "[";
        for (std::size_t i = 0; i < v.elements().size(); ++i)
            out += (i ? "," : "") + show(v.elements()[i]);
        return out + "]";
    }
    }
}

std::string var(const char* name) {
    return st->has_variable(name) ? show(st->get_variable(name)) : "none";
}

struct Outcome {
    std::string value; // show() of the result; empty when the process ended
    std::string err;
    int status; // -1: the process did not end
};

Outcome eval(const Node_ptr& n) {
    Outcome o{"", "", -1};
    const ts::Reported r = ts::capture([&] { o.value = show(n->exec()); });
    o.err = r.err;
    o.status = r.status;
    return o;
}

// Message lines located at the nodes' position.
std::string E(const std::string& t) {
    return "sub/page.vrn:3: " + t + "\n";
}
std::string W(const std::string& t) {
    return "sub/page.vrn:3: warning: " + t + "\n";
}
std::string F(const std::string& t) {
    return "sub/page.vrn:3: fatal: " + t + "\n";
}
std::string Info(const std::string& t) {
    return "sub/page.vrn:3: info: " + t + "\n";
}
std::string undefined(const std::string& name) {
    return W("variable `" + name + "' not defined");
}

// Errors are ignored unless a test says otherwise, so that each node's fallback result can be seen.
class ExpressionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Reporter& r = rep;
        r.set_program_name("vt");
        r.set_file("sub/page.vrn");
        r.add_lines(2);
        r.set_policy(Policy::ignore_errors);
        store_ = std::make_unique<Page_renderer>(rep, "page.vrn", "page.html", "./");
        st = store_.get();
        r.set_executing(true);
    }
    void TearDown() override { st = nullptr; }
    Reporter rep;
    std::unique_ptr<Page_renderer> store_;
};

TEST_F(ExpressionsTest, StringConstantsProcessEscapesAtEachEvaluation) {
    const std::pair<const char*, const char*> rows[] = {
        {"a\\nb", "a\nb"},
        {"\\\\n", "\\n"},
        {"\\x", "\\x"},
        {"end\\", "end\\"},
        {"\\t|\\\"|\\'|\\`", "\t|\"|'|`"},
        {"one\\\ntwo", "onetwo"},
        {"\\\\\\n", "\\\n"},
        {"\\q\\\\", "\\q\\"},
        {"plain", "plain"},
        {"", ""},
    };
    for (const auto& row : rows) {
        Node_ptr c = C(row.first);
        Outcome first = eval(c), second = eval(c);
        EXPECT_EQ(first.value, "\"" + std::string(row.second) + "\"") << row.first;
        EXPECT_EQ(second.value, first.value) << "the constant itself must not change";
        EXPECT_EQ(first.err + second.err, "");
    }
    EXPECT_EQ(eval(C(-12)).value, "-12");
}

TEST_F(ExpressionsTest, ConstantOfAnotherKindIsFatal) {
    for (Gen_type v : {Gen_type(), A({I(1)}), L()}) {
        Outcome o = eval(make<N_const>(v));
        EXPECT_EQ(o.err, F("N_const::exec () -- Internal Error"));
        EXPECT_EQ(o.status, 1);
    }
}

TEST_F(ExpressionsTest, DirectReferences) {
    st->set_variable("arr", A({I(10), S("b")}));
    st->set_variable("str", S("text"));
    st->set_variable("nest", A({A({I(1), I(2)}), S("s")}));
    st->set_variable("empty", A());
    struct Row {
        Node_ptr node;
        std::string value, err;
    } rows[] = {
        {V("str"), "\"text\"", ""},
        {Va("arr"), "[10,\"b\"]", ""},
        {V("nope"), "u", undefined("nope")},
        {Vi("arr", C(1)), "\"b\"", ""},
        {Vi("arr", C(5)), "-1", W("Array index out of bound")},
        {Vi("arr", C(-1)), "-1", W("Array index out of bound")},
        {Vi("empty", C(0)), "-1", W("Empty Array")},
        {Vi("str", C(1)), "\"\"", E("str is not an array")},
        {Vi("nope", C(0)), "\"\"", undefined("nope") + E("nope is not an array")},
        {Vi("arr", C("1")), "\"\"", E("array index must be an integer")},
        {VI(Vi("nest", C(0)), C(1)), "2", ""},
        {VI(Vi("nest", C(1)), C(0)), "\"\"", E("trying to extract element from non array variable")},
        {VI(Vi("nest", C(0)), C(2)), "-1", W("Array index out of bound")},
        {VI(Vi("nest", C(7)), C(0)), "\"\"",
         W("Array index out of bound") + E("trying to extract element from non array variable")},
        // A bad last index is found before the inner reference is read.
        {VI(Vi("nope", C(0)), V("nope2")), "\"\"", undefined("nope2") + E("array index must be an integer")},
        // The element of any indexed expression.
        {VI(make<N_toarray>(C(7)), C(0)), "7", ""},
    };
    for (Row& r : rows) {
        Outcome o = eval(r.node);
        EXPECT_EQ(o.value, r.value) << r.err;
        EXPECT_EQ(o.err, r.err);
    }
}

// x[i] evaluates its index before reading x; $(e)[i] computes the name first.
TEST_F(ExpressionsTest, OrderOfIndexAndVariable) {
    Node_ptr index = make<N_or>(V("first"), C(0));
    EXPECT_EQ(eval(Vi("second", std::move(index))).err,
              undefined("first") + undefined("second") + E("second is not an array"));
    Node_ptr name = make<N_or>(V("first"), C("second"));
    Node_ptr index2 = make<N_or>(V("third"), C(0));
    EXPECT_EQ(eval(Ind(std::move(name), Var_form::element, std::move(index2))).err,
              undefined("first") + undefined("third") + undefined("second") + E("second is not an array"));
}

TEST_F(ExpressionsTest, IndirectReferences) {
    st->set_variable("y", A({S("p"), S("q")}));
    EXPECT_EQ(eval(Ind(C("y"))).value, "[\"p\",\"q\"]");
    EXPECT_EQ(eval(Ind(C("y"), Var_form::array)).value, "[\"p\",\"q\"]");
    EXPECT_EQ(eval(Ind(C("y"), Var_form::element, C(1))).value, "\"q\"");

    Outcome bad_name = eval(Ind(C(3)));
    EXPECT_EQ(bad_name.value, "u");
    EXPECT_EQ(bad_name.err, E("$ (expr): expr must be a string variable") + undefined(""));

    Outcome bad_index = eval(Ind(C("y"), Var_form::element, C("0")));
    EXPECT_EQ(bad_index.value, "\"\"");
    EXPECT_EQ(bad_index.err, E("array index must be an integer"));

    st->set_variable("s", S("x"));
    EXPECT_EQ(eval(Ind(C("s"), Var_form::element, C(0))).err, E("s is not an array"));

    Outcome form_I = eval(Ind(C("y"), Var_form::nested_element, C(0)));
    EXPECT_EQ(form_I.err, F("N_ind_expr::exec () -- Internal Error"));
    EXPECT_EQ(form_I.status, 1);
}

TEST_F(ExpressionsTest, VariableNames) {
    Node_ptr direct = VI(VI(Vi("deep", C(0)), C(1)), C(2));
    EXPECT_EQ(static_cast<N_base_var*>(direct.get())->variable_name(), "deep");
    Node_ptr of_expr = VI(make<N_toarray>(C(1)), C(0));
    auto* v = static_cast<N_base_var*>(of_expr.get());
    EXPECT_FALSE(v->names_variable());
    EXPECT_EQ(v->variable_name(), "");
    Node_ptr indirect = VI(Ind(C("n"), Var_form::element, C(0)), C(1));
    EXPECT_EQ(static_cast<N_base_var*>(indirect.get())->variable_name(), "n");
}

TEST_F(ExpressionsTest, Undef) {
    st->set_variable("x", I(1));
    Outcome o = eval(make<N_undef>(V("x")));
    EXPECT_EQ(o.value, "0");
    EXPECT_EQ(o.err, "");
    EXPECT_FALSE(st->has_variable("x"));

    Node_ptr twice = make<N_undef>(V("x"));
    EXPECT_EQ(eval(twice).err + eval(twice).err, undefined("x") + undefined("x"));

    // No brief text: brief mode shows the full text.
    rep.set_brief();
    EXPECT_EQ(eval(twice).err, undefined("x"));

    st->set_variable("a", A({I(1)}));
    Node_ptr targets[] = {Vi("a", C(0)), VI(Vi("a", C(0)), C(0))};
    for (Node_ptr& target : targets) {
        Outcome e = eval(make<N_undef>(std::move(target)));
        EXPECT_EQ(e.value, "0");
        EXPECT_EQ(e.err, E("can't undef an array element"));
    }
    EXPECT_EQ(var("a"), "[1]");

    st->set_variable("y", I(2));
    EXPECT_EQ(eval(make<N_undef>(Ind(C("y")))).err, "");
    EXPECT_FALSE(st->has_variable("y"));
}

TEST_F(ExpressionsTest, ConversionsAndTypeTests) {
    struct Row {
        Node_ptr node;
        std::string value, err;
    } rows[] = {
        {make<N_tobool>(C("0")), "1", ""},
        {make<N_tobool>(X(A())), "0", ""},
        {make<N_tobool>(X(Gen_type())), "0", ""},
        {make<N_toint>(C("12abc")), "12", ""},
        {make<N_toint>(X(Gen_type())), "0", ""},
        {make<N_toint>(X(A({I(1), I(2), I(3)}))), "3", E("can't convert array to integer")},
        {make<N_tostring>(C(-5)), "\"-5\"", ""},
        {make<N_tostring>(X(A({I(1), S("a"), A()}))), "\"{ 1, a, {  } }\"", ""},
        {make<N_toarray>(X(A({I(1)}))), "[1]", ""},
        {make<N_toarray>(C("s")), "[\"s\"]", ""},
        {make<N_toarray>(C(4)), "[4]", ""},
        {make<N_toarray>(X(Gen_type())), "0", ""},
        {make<N_isint>(C(1)), "1", ""},
        {make<N_isint>(C("1")), "0", ""},
        {make<N_isstring>(C("")), "1", ""},
        {make<N_isstring>(X(A())), "0", ""},
        {make<N_isarray>(X(A())), "1", ""},
        {make<N_isarray>(X(Gen_type())), "0", ""},
        {make<N_not>(C("0")), "0", ""},
        {make<N_not>(X(A())), "1", ""},
        {make<N_uminus>(C(5)), "-5", ""},
        {make<N_uminus>(C("s")), "\"s\"", E("-: Can't negate a string variable")},
    };
    for (Row& r : rows) {
        Outcome o = eval(r.node);
        EXPECT_EQ(o.value, r.value) << r.err;
        EXPECT_EQ(o.err, r.err);
    }
    Outcome list = eval(make<N_toarray>(X(L({I(1)}))));
    EXPECT_EQ(list.err, F("N_toarray::exec () -- Internal Error"));
    EXPECT_EQ(list.status, 1);
}

TEST_F(ExpressionsTest, TwoOperandOperators) {
    struct Row {
        Node_ptr node;
        std::string value, err;
    } rows[] = {
        {make<N_plus>(C("abc"), C(5)), "\"abc5\"", ""},
        {make<N_plus>(C(1), X(A({I(2)}))), "[1,2]", ""},
        {make<N_minus>(C(7), C(9)), "-2", ""},
        {make<N_minus>(C("x"), C(1)), "-1", E("operator -; first operand has bad type")},
        {make<N_times>(C(3), C("ab")), "\"ababab\"", ""},
        {make<N_div>(C(-7), C(2)), "-3", ""},
        {make<N_div>(C(7), C(0)), "-1", E("operator /; division by 0")},
        {make<N_mod>(C(-7), C(2)), "-1", ""},
        {make<N_pow>(C(2), C(10)), "1024", ""},
        {make<N_gt>(C("abc"), C("abd")), "0", ""},
        {make<N_lt>(C("abc"), C("abcd")), "1", ""},
        {make<N_ge>(C(1), C("1")), "0", E(">=; can't compare operands of different types")},
        {make<N_le>(C(2), C(2)), "1", ""},
        {make<N_w_eq>(C(5), C("5")), "1", ""},
        {make<N_w_neq>(C(5), C("05")), "1", ""},
        {make<N_eq>(C("a"), C("a")), "1", ""},
        {make<N_neq>(C(2), C(3)), "1", ""},
        {make<N_and>(C("a"), C(5)), "5", ""},
        {make<N_and>(C(""), C(5)), "\"\"", ""},
        {make<N_or>(C("a"), C(5)), "\"a\"", ""},
        {make<N_or>(C(0), C("b")), "\"b\"", ""},
        // The right operand is not evaluated when the left one decides.
        {make<N_and>(C(0), V("missing")), "0", ""},
        {make<N_or>(C(3), V("missing")), "3", ""},
        {make<N_and>(C(1), V("missing")), "u", undefined("missing")},
    };
    for (Row& r : rows) {
        Outcome o = eval(r.node);
        EXPECT_EQ(o.value, r.value) << r.err;
        EXPECT_EQ(o.err, r.err);
    }
}

// Values of different kinds: fixed results, said only in verbose mode, brief texts in brief mode.
TEST_F(ExpressionsTest, EqualityOfDifferentKinds) {
    Node_ptr eq = make<N_eq>(C(1), C("1"));
    Node_ptr neq = make<N_neq>(C(1), C("1"));
    EXPECT_EQ(eval(eq).value + eval(neq).value, "01");
    EXPECT_EQ(eval(eq).err + eval(neq).err, "");
    rep.set_verbosity(Verbosity::verbose);
    EXPECT_EQ(eval(eq).err, Info("==: Operands have different type; comparison FALSE"));
    EXPECT_EQ(eval(neq).err, Info("!=: Operands have different type; comparison TRUE"));
    rep.set_brief();
    EXPECT_EQ(eval(eq).err, Info("==: different types; FALSE"));
    EXPECT_EQ(eval(neq).err, Info("!=: different types; TRUE"));
    EXPECT_EQ(eval(make<N_eq>(X(Gen_type()), X(Gen_type()))).value, "1");
}

TEST_F(ExpressionsTest, ErrorsEndTheRunUnderTheNormalPolicy) {
    rep.set_policy(Policy::normal);
    st->set_variable("s", S("x"));
    Outcome o = eval(Vi("s", C(0)));
    EXPECT_EQ(o.err, E("s is not an array"));
    EXPECT_EQ(o.status, 1);
}

// Messages name the position of the node being evaluated, in brief mode with the brief text.
TEST_F(ExpressionsTest, MessagesAreLocatedAtTheNode) {
    rep.add_lines(4);
    Node_ptr x = V("x");
    rep.set_brief();
    EXPECT_EQ(eval(x).err, "sub/page.vrn:7: warning: x not def\n");
}

// The execution store runs a top-level statement when it is dropped.
TEST_F(ExpressionsTest, StatementRunByTheStore) {
    Node* statement = Assign(V("x"), make<N_plus>(C(2), C(3))).release();
    st->on_statement_complete();
    EXPECT_EQ(var("x"), "5");
    EXPECT_FALSE(rep.executing());
    (void)statement; // destroyed by the store
}

TEST_F(ExpressionsTest, AssignWholeVariables) {
    EXPECT_EQ(eval(Assign(V("x"), C("v"))).value, "\"v\"");
    EXPECT_EQ(var("x"), "\"v\"");
    // A value of another kind replaces the old one.
    EXPECT_EQ(eval(Assign(V("x"), make<N_toarray>(C(1)))).value, "[1]");
    EXPECT_EQ(var("x"), "[1]");

    Outcome scalar = eval(Assign(Va("x"), C("s")));
    EXPECT_EQ(scalar.value, "\"\"");
    EXPECT_EQ(scalar.err, E("can't assign scalar value to array variable"));
    EXPECT_EQ(var("x"), "[1]");
    EXPECT_EQ(eval(Assign(Va("x"), X(A({I(4)})))).value, "[4]");
    EXPECT_EQ(var("x"), "[4]");

    // x = y = 3
    EXPECT_EQ(eval(Assign(V("x"), Assign(V("y"), C(3)))).value, "3");
    EXPECT_EQ(var("x") + var("y"), "33");

    // $(n) = 4: the name expression is evaluated, then the value.
    Node_ptr name = make<N_or>(V("n1"), C("z"));
    Outcome ind = eval(Assign(Ind(std::move(name)), make<N_or>(V("n2"), C(4))));
    EXPECT_EQ(ind.err, undefined("n1") + undefined("n2"));
    EXPECT_EQ(var("z"), "4");
}

TEST_F(ExpressionsTest, AssignElements) {
    st->set_variable("a", A());
    Outcome pad = eval(Assign(Vi("a", C(3)), C("v")));
    EXPECT_EQ(pad.value, "\"v\"");
    EXPECT_EQ(var("a"), "[\"\",\"\",\"\",\"v\"]");
    EXPECT_EQ(eval(Assign(Vi("a", C(0)), C(1))).value, "1");
    EXPECT_EQ(var("a"), "[1,\"\",\"\",\"v\"]");

    Outcome bad_index = eval(Assign(Vi("a", C("0")), C(1)));
    EXPECT_EQ(bad_index.value, "-1");
    EXPECT_EQ(bad_index.err, E("index must be an integer"));
    Outcome negative = eval(Assign(Vi("a", C(-1)), C(1)));
    EXPECT_EQ(negative.value, "-1");
    EXPECT_EQ(negative.err, W("Array index out of bound"));
    EXPECT_EQ(var("a"), "[1,\"\",\"\",\"v\"]");

    st->set_variable("s", S("x"));
    Outcome not_array = eval(Assign(Vi("s", C(0)), C(1)));
    EXPECT_EQ(not_array.value, "\"\"");
    EXPECT_EQ(not_array.err, E("s is not an array"));
    Outcome missing = eval(Assign(Vi("m", C(0)), C(1)));
    EXPECT_EQ(missing.err, undefined("m") + E("m is not an array"));
    EXPECT_EQ(var("m"), "none");

    // The value is evaluated before the index.
    st->set_variable("b", A({I(0)}));
    Node_ptr order = Assign(Vi("b", make<N_or>(V("second"), C(0))), make<N_or>(V("first"), C(2)));
    EXPECT_EQ(eval(order).err, undefined("first") + undefined("second"));
    EXPECT_EQ(var("b"), "[2]");
}

TEST_F(ExpressionsTest, AssignElementOfElement) {
    st->set_variable("x", A({A({I(1), I(2)}), A({I(3)})}));
    Outcome o = eval(Assign(VI(Vi("x", C(0)), C(1)), C(9)));
    EXPECT_EQ(o.value, "[1,9]");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(var("x"), "[[1,9],[3]]");
    // The inner array grows like any other.
    EXPECT_EQ(eval(Assign(VI(Vi("x", C(1)), C(2)), C(5))).value, "[3,\"\",5]");
    EXPECT_EQ(var("x"), "[[1,9],[3,\"\",5]]");
    // A new element of the outer array: read as -1 after the warning, then stored as the element.
    Outcome beyond = eval(Assign(VI(Vi("x", C(3)), C(0)), C(7)));
    EXPECT_EQ(beyond.err, W("Array index out of bound"));
    EXPECT_EQ(var("x"), "[[1,9],[3,\"\",5],\"\",-1]");
}

// The first index is evaluated twice: once to read the inner array, once to store it back.
TEST_F(ExpressionsTest, AssignElementOfElementEvaluatesTheFirstIndexTwice) {
    st->set_variable("x", A({A({I(1), I(2)}), A({I(3)})}));
    st->set_variable("i", I(0));
    Node_ptr i_plus_plus = make<N_epp>(V("i"), 1, true);
    Outcome o = eval(Assign(VI(Vi("x", std::move(i_plus_plus)), C(1)), C(9)));
    EXPECT_EQ(o.value, "[1,9]");
    EXPECT_EQ(var("i"), "2");
    EXPECT_EQ(var("x"), "[[1,2],[1,9]]");

    // The name of an indirect target is computed twice as well.
    st->set_variable("y", A({A({I(1)})}));
    Node_ptr name = make<N_or>(V("w"), C("y"));
    Outcome ind = eval(Assign(VI(Ind(std::move(name), Var_form::element, C(0)), C(0)), C(4)));
    EXPECT_EQ(ind.err, undefined("w") + undefined("w"));
    EXPECT_EQ(var("y"), "[[4]]");
}

TEST_F(ExpressionsTest, AssignElementOfElementOfNonArrays) {
    st->set_variable("n", I(5));
    Outcome o = eval(Assign(VI(Vi("n", C(0)), C(1)), C(7)));
    EXPECT_EQ(o.value, "\"\"");
    EXPECT_EQ(o.err, W("Empty Array") + E("n is not an array"));
    EXPECT_EQ(var("n"), "5");

    // An element that is no array is taken as an empty one; it stays what it was when stored back.
    st->set_variable("x", A({I(3)}));
    EXPECT_EQ(eval(Assign(VI(Vi("x", C(0)), C(0)), C(8))).value, "3");
    EXPECT_EQ(var("x"), "[3]");
}

TEST_F(ExpressionsTest, AssignElementOfElementWithBadIndexIsFatal) {
    st->set_variable("x", A({A({I(1)})}));
    Node_ptr targets[] = {VI(Vi("x", C("0")), C(0)), VI(Vi("x", C(0)), C("0"))};
    for (Node_ptr& target : targets) {
        Outcome o = eval(Assign(std::move(target), C(1)));
        EXPECT_EQ(o.err, F("Gen_type::get_int () -- Internal Error"));
        EXPECT_EQ(o.status, 1);
    }
    EXPECT_EQ(var("x"), "[[1]]");
}

// Three and more indices reach the element they name; (x)[i] is x[i].
TEST_F(ExpressionsTest, AssignDeeperElements) {
    st->set_variable("x", A({A({I(1), A({I(2), A({I(3)})})}), I(0)}));
    Outcome o = eval(Assign(VI(VI(Vi("x", C(0)), C(1)), C(0)), C(5)));
    EXPECT_EQ(o.value, "[1,[5,[3]]]");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(var("x"), "[[1,[5,[3]]],0]");
    EXPECT_EQ(eval(Assign(VI(VI(VI(Vi("x", C(0)), C(1)), C(1)), C(1)), C(6))).value, "[1,[5,[3,6]]]");
    EXPECT_EQ(var("x"), "[[1,[5,[3,6]]],0]");

    EXPECT_EQ(eval(Assign(VI(V("x"), C(1)), C(4))).value, "4");
    EXPECT_EQ(var("x"), "[[1,[5,[3,6]]],4]");
    EXPECT_EQ(eval(Assign(VI(VI(Va("x"), C(0)), C(0)), C(2))).value, "[2,[5,[3,6]]]");
    EXPECT_EQ(var("x"), "[[2,[5,[3,6]]],4]");
}

TEST_F(ExpressionsTest, AssignToAnElementOfAnExpressionIsAnInternalError) {
    Outcome o = eval(Assign(VI(make<N_toarray>(C(1)), C(0)), C(2)));
    EXPECT_EQ(o.err, F("N_assign::exec () -- Internal Error"));
    EXPECT_EQ(o.status, 1);
}

TEST_F(ExpressionsTest, DefineOnly) {
    st->set_variable("T", S("kept"));
    Outcome o = eval(Assign(V("T"), make<N_or>(V("probe"), C("")), true));
    EXPECT_EQ(o.value, "\"\"");
    EXPECT_EQ(o.err, undefined("probe")); // the value is still evaluated
    EXPECT_EQ(var("T"), "\"kept\"");

    EXPECT_EQ(eval(Assign(V("U"), C(""), true)).value, "\"\"");
    EXPECT_EQ(var("U"), "\"\"");
    // A flag-less assignment replaces.
    EXPECT_EQ(eval(Assign(V("T"), C("new"))).value, "\"new\"");
    EXPECT_EQ(var("T"), "\"new\"");
}

// a -= b: the compound assignment shares its target with the combining node.
TEST_F(ExpressionsTest, CompoundAssignment) {
    st->set_variable("a", I(10));
    Node_ptr target = V("a");
    Node* shared = target.get();
    Node_ptr minus = make<N_minus>(std::move(target), C(3));
    Node_ptr rec = make<N_assign_rec>(shared, std::move(minus));
    EXPECT_EQ(eval(rec).value, "7");
    EXPECT_EQ(eval(rec).value, "4");
    EXPECT_EQ(var("a"), "4");

    st->set_variable("s", A({S("x")}));
    Node_ptr elem = Vi("s", C(0));
    Node* shared_elem = elem.get();
    Node_ptr plus = make<N_plus>(std::move(elem), C("y"));
    EXPECT_EQ(eval(make<N_assign_rec>(shared_elem, std::move(plus))).value, "\"xy\"");
    EXPECT_EQ(var("s"), "[\"xy\"]");
}

TEST_F(ExpressionsTest, EmptyArray) {
    st->set_variable("x", S("old"));
    EXPECT_EQ(eval(make<N_empty_array>(V("x"))).value, "[]");
    EXPECT_EQ(var("x"), "[]");
    EXPECT_EQ(eval(make<N_empty_array>(Ind(C("y")))).value, "[]");
    EXPECT_EQ(var("y"), "[]");

    // An element target empties only that element.
    st->set_variable("z", A({I(1), I(2)}));
    EXPECT_EQ(eval(make<N_empty_array>(Vi("z", C(1)))).value, "[]");
    EXPECT_EQ(var("z"), "[1,[]]");
    EXPECT_EQ(eval(make<N_empty_array>(VI(Vi("z", C(1)), C(1)))).value, "[\"\",[]]");
    EXPECT_EQ(var("z"), "[1,[\"\",[]]]");
}

TEST_F(ExpressionsTest, IncrementAndDecrement) {
    st->set_variable("x", I(5));
    EXPECT_EQ(eval(make<N_epp>(V("x"), 1, true)).value, "5");
    EXPECT_EQ(var("x"), "6");
    EXPECT_EQ(eval(make<N_epp>(V("x"), 1, false)).value, "7");
    EXPECT_EQ(eval(make<N_epp>(V("x"), -1, true)).value, "7");
    EXPECT_EQ(eval(make<N_epp>(V("x"), -1, false)).value, "5");
    EXPECT_EQ(var("x"), "5");

    st->set_variable("big", I(std::numeric_limits<int32_t>::max()));
    EXPECT_EQ(eval(make<N_epp>(V("big"), 1, false)).value,
              std::to_string(std::numeric_limits<int32_t>::min()));

    st->set_variable("a", A({I(1), I(2)}));
    EXPECT_EQ(eval(make<N_epp>(Vi("a", C(1)), 1, true)).value, "2");
    EXPECT_EQ(var("a"), "[1,3]");
    EXPECT_EQ(eval(make<N_epp>(Ind(C("a"), Var_form::element, C(0)), -1, false)).value, "0");
    EXPECT_EQ(var("a"), "[0,3]");
    EXPECT_EQ(eval(make<N_epp>(Ind(C("x")), 1, false)).value, "6");
}

TEST_F(ExpressionsTest, IncrementRefusals) {
    st->set_variable("s", S("5"));
    st->set_variable("a", A({A({I(1)})}));
    st->set_variable("n", I(4));
    const std::string ints = " can only apply to integers";
    struct Row {
        Node_ptr node;
        std::string err;
    } rows[] = {
        {make<N_epp>(V("s"), 1, false), E("++" + ints)},
        {make<N_epp>(V("s"), -1, true), E("--" + ints)},
        {make<N_epp>(C(1), 1, false), E("++ can only apply to variables")},
        {make<N_epp>(make<N_plus>(V("n"), C(1)), -1, false), E("-- can only apply to variables")},
        {make<N_epp>(VI(make<N_toarray>(C(1)), C(0)), 1, false), E("++ can only apply to variables")},
        {make<N_epp>(V("missing"), 1, false), undefined("missing") + E("++" + ints)},
        {make<N_epp>(Va("a"), 1, false), E("++" + ints)},
        // An element of an element: the whole variable is read.
        {make<N_epp>(VI(Vi("a", C(0)), C(0)), 1, false), E("++" + ints)},
        {make<N_epp>(VI(Vi("n", C(0)), C(0)), 1, false), E("++" + ints)},
        // An element of a variable that is no array reads as undefined, without a message of its own.
        {make<N_epp>(Vi("s", C(0)), 1, false), E("++" + ints)},
    };
    for (Row& r : rows) {
        Outcome o = eval(r.node);
        EXPECT_EQ(o.value, "-1") << r.err;
        EXPECT_EQ(o.err, r.err);
    }
    EXPECT_EQ(var("s") + var("a") + var("n"), "\"5\"[[1]]4");
}

} // namespace
