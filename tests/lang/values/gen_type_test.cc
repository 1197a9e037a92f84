#include "lang/values/gen_type.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>

#include "diag/reporter.h"
#include "support/test_support.h"

namespace {

Gen_type I(int32_t v) {
    return Gen_type(v);
}
Gen_type S(const char* t) {
    return Gen_type(t);
}
Gen_type U() {
    return Gen_type();
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

// The message lines of the reporter as configured in the fixture (program name "vt").
std::string E(const std::string& text) {
    return "vt: " + text + "\n";
}
std::string W(const std::string& text) {
    return "vt: warning: " + text + "\n";
}
std::string F(const std::string& text) {
    return "vt: fatal: " + text + "\n";
}

struct Outcome {
    std::string value; // show() of the result; empty when the process ended
    std::string err;
    int status; // -1: the process did not end
};

template <class Fn> Outcome outcome(Fn fn) {
    ts::Stderr_capture cap;
    Outcome o{"", "", -1};
    try {
        o.value = show(fn());
    } catch (const ts::Process_ended& e) {
        o.status = e.status;
    }
    o.err = cap.text();
    return o;
}

const std::string oob = W("Array index out of bound");
const std::string not_int = E("index must be an integer");
const int32_t int_max = std::numeric_limits<int32_t>::max();
const int32_t int_min = std::numeric_limits<int32_t>::min();

// Errors are ignored so that each operation's fallback result can be seen after its message.
class GenTypeTest : public ::testing::Test {
protected:
    void SetUp() override {
        rep.set_program_name("vt");
        rep.set_policy(Policy::ignore_errors);
    }
    Reporter rep;
};

TEST_F(GenTypeTest, ConstructionGivesEmptyOtherPayloads) {
    Gen_type u, i(7), s("ab"), a = Gen_type::empty_array(), l = Gen_type::empty_list();
    EXPECT_EQ(u.kind(), Value_kind::undefined);
    EXPECT_EQ(i.kind(), Value_kind::integer);
    EXPECT_EQ(s.kind(), Value_kind::string);
    EXPECT_EQ(a.kind(), Value_kind::array);
    EXPECT_EQ(l.kind(), Value_kind::list);
    EXPECT_TRUE(i.text().empty() && i.elements().empty());
    EXPECT_TRUE(s.integer() == 0 && s.elements().empty());
    EXPECT_TRUE(u.integer() == 0 && u.text().empty() && a.elements().empty());
    EXPECT_EQ(Gen_type(std::string("a\0b", 3)).text().size(), 3u);
}

TEST_F(GenTypeTest, AccessorsOnAnotherKindAreFatal) {
    EXPECT_EQ(I(3).get_int(rep), 3);
    EXPECT_EQ(S("x").get_string(rep), "x");
    EXPECT_EQ(A({I(1)}).get_array(rep).size(), 1u);
    EXPECT_EQ(L({I(1), I(2)}).get_list(rep).size(), 2u);
    struct Row {
        Gen_type v;
        int which;
        const char* text;
    } rows[] = {
        {S("1"), 0, "Gen_type::get_int () -- Internal Error"},
        {I(1), 1, "Gen_type::get_string () -- Internal Error"},
        {L(), 2, "Gen_type::get_array () -- Internal Error"},
        {A(), 3, "Gen_type::get_list () -- Internal Error"},
    };
    for (const Row& r : rows) {
        Outcome o = outcome([&] {
            if (r.which == 0)
                r.v.get_int(rep);
            else if (r.which == 1)
                r.v.get_string(rep);
            else if (r.which == 2)
                r.v.get_array(rep);
            else
                r.v.get_list(rep);
            return U();
        });
        EXPECT_EQ(o.err, F(r.text));
        EXPECT_EQ(o.status, 1);
    }
}

TEST_F(GenTypeTest, Truth) {
    const std::pair<Gen_type, bool> rows[] = {
        {S("0"), true}, {S(""), false},   {I(0), false}, {I(-1), true},
        {A(), false},   {A({U()}), true}, {U(), false},
    };
    for (const auto& [v, want] : rows) {
        EXPECT_EQ(v.as_bool(rep), want) << show(v);
        EXPECT_EQ(v.to_bool(rep), want) << show(v);
    }
    Outcome o = outcome([&] { return I(L().as_bool(rep)); });
    EXPECT_EQ(o.err + std::to_string(o.status), F("Gen_type::bool () Internal error") + "1");
    o = outcome([&] { return I(L().to_bool(rep)); });
    EXPECT_EQ(o.err + std::to_string(o.status), F("Gen_type::to_bool () -- Internal Error") + "1");
}

TEST_F(GenTypeTest, ToIntReadsTextLikeAtoiAndSaturates) {
    const std::pair<Gen_type, int32_t> rows[] = {
        {S("12abc"), 12},
        {S("abc"), 0},
        {S(""), 0},
        {S(" \t\n\v\f\r-42x"), -42},
        {S("+7"), 7},
        {S("- 3"), 0},
        {S("+-3"), 0},
        {S("0012"), 12},
        {S("2147483647"), int_max},
        {S("2147483648"), int_max},
        {S("-2147483648"), int_min},
        {S("-2147483649"), int_min},
        {S("99999999999999999999999"), int_max},
        {S("-99999999999999999999999"), int_min},
        {A({I(1), S("a"), U()}), 3},
        {I(-5), -5},
        {U(), 0},
    };
    for (const auto& [v, want] : rows)
        EXPECT_EQ(v.to_int(rep), want) << show(v);
    Outcome o = outcome([&] { return I(L().to_int(rep)); });
    EXPECT_EQ(o.err + std::to_string(o.status), F("Gen_type::to_int () -- Internal Error") + "1");
}

TEST_F(GenTypeTest, ToString) {
    EXPECT_EQ(I(int_min).to_string(rep, true), "-2147483648");
    EXPECT_EQ(S("a b").to_string(rep, true), "a b");
    EXPECT_EQ(U().to_string(rep, true), "");
    EXPECT_EQ(A().to_string(rep, false), "{  }");
    EXPECT_EQ(A({I(1), S("a"), A()}).to_string(rep, false), "{ 1, a, {  } }");
    EXPECT_EQ(A({I(1), U(), A({U()})}).to_string(rep, false), "{ 1, , {  } }");

    Outcome o = outcome([&] { return S(A({I(1)}).to_string(rep, true).c_str()); });
    EXPECT_EQ(o.value + o.err, "\"\"" + E("Arrays not allowed within this context"));
    o = outcome([&] { return S(A({L()}).to_string(rep, false).c_str()); });
    EXPECT_EQ(o.err + std::to_string(o.status), F("Gen_type::to_string () -- Internal Error") + "1");

    rep.set_policy(Policy::normal); // an unignored error ends the run
    o = outcome([&] { return S(A().to_string(rep, true).c_str()); });
    EXPECT_EQ(o.err + std::to_string(o.status), E("Arrays not allowed within this context") + "1");
}

TEST_F(GenTypeTest, MakeArrayKeepsThePayloads) {
    Gen_type s("x"), i(4), u, l = L({I(1), S("b")}), a = A({I(9)});
    for (Gen_type* v : {&s, &i, &u, &l, &a})
        v->make_array();
    EXPECT_EQ(show(s) + show(i) + show(u) + show(l) + show(a), "[\"x\"][4][][1,\"b\"][9]");
    EXPECT_EQ(s.text(), "x");
    EXPECT_EQ(i.integer(), 4);
}

TEST_F(GenTypeTest, AppendSpreadsArraysAndLists) {
    Gen_type a = A({I(1)});
    a.append(S("s"));
    a.append(A({I(2), A({I(3)})}));
    a.append(L({U()}));
    a.append(A());
    EXPECT_EQ(show(a), "[1,\"s\",2,[3],u]");
    a.append(a); // itself
    EXPECT_EQ(show(a), "[1,\"s\",2,[3],u,1,\"s\",2,[3],u]");
    Gen_type b = A({A({I(5)})});
    b.append(b.elements()[0]); // one of its own elements
    EXPECT_EQ(show(b), "[[5],5]");
}

TEST_F(GenTypeTest, ElementReads) {
    const Gen_type three = A({I(10), S("b"), A({I(2)})});
    struct Row {
        Gen_type array, index;
        const char* value;
        std::string err;
    } rows[] = {
        {three, I(0), "10", ""},        {three, I(2), "[2]", ""},
        {three, I(3), "-1", oob},       {three, I(-1), "-1", oob},
        {three, I(int_min), "-1", oob}, {three, S("1"), "-1", not_int},
        {three, U(), "-1", not_int},    {A(), I(0), "-1", W("Empty Array")},
        {A(), S("0"), "-1", not_int},
    };
    for (const Row& r : rows) {
        Outcome o = outcome([&] { return Gen_type::element(rep, r.array.elements(), r.index); });
        EXPECT_EQ(o.value, r.value) << show(r.index);
        EXPECT_EQ(o.err, r.err) << show(r.index);
    }
    rep.set_brief();
    Outcome o = outcome([&] { return Gen_type::element(rep, three.elements(), I(7)); });
    EXPECT_EQ(o.err, W("Out of bound"));
}

TEST_F(GenTypeTest, SetElementReplacesInsertsAndGrows) {
    struct Row {
        Gen_type array, index, value;
        bool insert;
        const char* result;
        const char* after;
        std::string err;
    } rows[] = {
        {A({I(1), I(2)}), I(0), S("x"), false, "\"x\"", "[\"x\",2]", ""},
        {A({I(1), I(2)}), I(1), A({U()}), true, "[u]", "[1,[u],2]", ""},
        {A({I(1), I(2)}), I(2), I(3), true, "3", "[1,2,3]", ""},
        {A({I(1), I(2)}), I(5), I(6), false, "6", "[1,2,\"\",\"\",\"\",6]", ""},
        {A(), I(4), U(), false, "u", "[\"\",\"\",\"\",\"\",u]", ""},
        {A({I(1)}), S("0"), I(9), false, "-1", "[1]", not_int},
        {A({I(1)}), I(-1), I(9), false, "-1", "[1]", oob},
        {A({I(1)}), I(int_min), I(9), true, "-1", "[1]", oob},
    };
    for (Row& r : rows) {
        Outcome o = outcome(
            [&] { return Gen_type::set_element(rep, r.array.elements(), r.index, r.value, r.insert); });
        EXPECT_EQ(o.value + " " + show(r.array), std::string(r.result) + " " + r.after) << show(r.index);
        EXPECT_EQ(o.err, r.err) << show(r.index);
    }
    Gen_type a = A({S("p"), S("q")}); // value and index taken from the array being changed
    Gen_type::set_element(rep, a.elements(), I(0), a.elements()[1], true);
    Gen_type::set_element(rep, a.elements(), I(9), a.elements()[0], false);
    EXPECT_EQ(show(a), "[\"q\",\"p\",\"q\",\"\",\"\",\"\",\"\",\"\",\"\",\"q\"]");
}

TEST_F(GenTypeTest, Erase) {
    struct Row {
        std::size_t position, count;
        bool with_count;
        const char* after;
        std::string err;
    } rows[] = {
        {1, 0, false, "[0,2]", ""},  {2, 0, false, "[0,1]", ""},   {3, 0, false, "[0,1,2]", oob},
        {1, 2, true, "[0]", ""},     {0, 3, true, "[]", ""},       {1, 3, true, "[0,1,2]", oob},
        {3, 0, true, "[0,1,2]", ""}, {4, 0, true, "[0,1,2]", oob}, {1, SIZE_MAX, true, "[0,1,2]", oob},
    };
    for (const Row& r : rows) {
        Gen_type a = A({I(0), I(1), I(2)});
        Outcome o = outcome([&] {
            if (r.with_count)
                a.erase(rep, r.position, r.count);
            else
                a.erase(rep, r.position);
            return a;
        });
        EXPECT_EQ(o.value, r.after) << r.position << "," << r.count;
        EXPECT_EQ(o.err, r.err) << r.position << "," << r.count;
    }
    Gen_type empty = A();
    EXPECT_EQ(outcome([&] {
                  empty.erase(rep, 0);
                  return empty;
              }).err,
              oob);
    for (Gen_type v : {L({I(1)}), S("ab"), U()}) {
        Outcome o = outcome([&] {
            v.erase(rep, 0, 0);
            return v;
        });
        EXPECT_EQ(o.err + std::to_string(o.status), F("Gen_type::erase called on non array variable") + "1");
        o = outcome([&] {
            v.erase(rep, 0);
            return v;
        });
        EXPECT_EQ(o.status, 1);
    }
}

// Operators, by the name the table rows give them; "neg" is unary minus (its right operand is unused).
Gen_type apply(Reporter& rep, const std::string& op, const Gen_type& a, const Gen_type& b) {
    if (op == ">")
        return greater(rep, a, b);
    if (op == "<")
        return less(rep, a, b);
    if (op == ">=")
        return greater_equal(rep, a, b);
    if (op == "<=")
        return less_equal(rep, a, b);
    if (op == "==")
        return equal(rep, a, b);
    if (op == "!=")
        return not_equal(rep, a, b);
    if (op == "~==")
        return loose_eq(rep, a, b);
    if (op == "~!=")
        return loose_neq(rep, a, b);
    if (op == "+")
        return plus(rep, a, b);
    if (op == "-")
        return minus(rep, a, b);
    if (op == "neg")
        return negate(rep, a);
    if (op == "*")
        return multiply(rep, a, b);
    if (op == "/")
        return divide(rep, a, b);
    if (op == "%")
        return modulo(rep, a, b);
    if (op == "**")
        return power(rep, a, b);
    ADD_FAILURE() << "no operator " << op;
    return U();
}

// One operation on two values: the result shown (empty when the run ended), and the messages printed.
struct Op_row {
    const char* op;
    Gen_type a, b;
    const char* value;
    std::string err;
};

template <std::size_t N> void check(Reporter& rep, const Op_row (&rows)[N]) {
    for (const Op_row& r : rows) {
        Outcome o = outcome([&] { return apply(rep, r.op, r.a, r.b); });
        const std::string row = show(r.a) + " " + r.op + " " + show(r.b);
        EXPECT_EQ(o.value, r.value) << row;
        EXPECT_EQ(o.err, r.err) << row;
        EXPECT_EQ(o.status, *r.value ? -1 : 1) << row;
    }
}

std::string differ(const char* op) {
    return E(std::string(op) + "; can't compare operands of different types");
}

TEST_F(GenTypeTest, OrderingComparisons) {
    const Op_row rows[] = {
        {">", S("abc"), S("abd"), "0", ""},
        {"<", S("abc"), S("abcd"), "1", ""},
        {">", S("abc"), S("ab"), "1", ""},
        {"<", S("B"), S("a"), "1", ""},
        {">", S("\xff"), S("a"), "1", ""}, // bytes compare unsigned
        {"<", S(""), S(""), "0", ""},
        {"<=", S(""), S(""), "1", ""},
        {">", I(-1), I(0), "0", ""},
        {"<", I(int_min), I(int_max), "1", ""},
        {">=", I(3), I(3), "1", ""},
        {"<=", I(4), I(3), "0", ""},
        {">=", U(), U(), "1", ""},
        {"<=", U(), U(), "1", ""},
        {">", U(), U(), "0", ""},
        {"<", U(), U(), "0", ""},
        {">", I(1), S("1"), "0", differ(">")},
        {"<", I(1), U(), "0", differ("<")},
        {">=", U(), I(0), "0", differ(">=")},
        {"<=", S("a"), U(), "0", differ("<=")},
        {">", L(), S(""), "0", differ(">")},
        {">", A(), I(1), "0", E(">; can't compare arrays")},
        {"<", I(1), A(), "0", E("<: Can't compare arrays")},
        {">=", A(), A(), "0", E(">=: Can't compare arrays")},
        {"<=", L(), A(), "0", E("<=: Can't compare arrays")},
        {">", L(), L(), "", F("Gen_type::>: Internal error")},
        {"<", L(), L(), "", F("Gen_type::<: Internal error")},
        {">=", L(), L(), "", F("Gen_type::>=: Internal error")},
        {"<=", L(), L(), "", F("Gen_type::<=: Internal error")},
    };
    check(rep, rows);
}

TEST_F(GenTypeTest, StrictEquality) {
    const Op_row rows[] = {
        {"==", S("ab"), S("ab"), "1", ""},
        {"==", S("ab"), S("ab "), "0", ""},
        {"==", I(5), S("5"), "0", ""},
        {"!=", I(5), S("5"), "1", ""},
        {"==", I(-4), I(-4), "1", ""},
        {"==", U(), U(), "1", ""},
        {"!=", U(), U(), "0", ""},
        {"==", A(), A(), "1", ""},
        {"==", A({I(1), S("")}), A({I(1), I(7)}), "0", ""},
        {"==", A({A({I(1)}), U()}), A({A({I(1)}), U()}), "1", ""},
        {"==", A({I(1)}), A({S("1")}), "0", ""},
        {"!=", A({I(1)}), A({I(1), I(2)}), "1", ""},
        {"==", L(), A(), "0", ""},
        {"!=", U(), L(), "1", ""},
        {"==", L(), L(), "", F("Gen_type::==|~==: Internal error")},
        {"==", A({L()}), A({L()}), "", F("Gen_type::==|~==: Internal error")},
        {"!=", L(), L(), "", F("Gen_type::!=: Internal error")},
    };
    check(rep, rows);
}

TEST_F(GenTypeTest, LooseEquality) {
    const std::string eq_warn = W("~==: can't compare array with scalar type; comparison FALSE");
    const std::string neq_warn = W("~!=: can't compare array with scalar type; comparison TRUE");
    const Op_row rows[] = {
        {"~==", I(5), S("5"), "1", ""},
        {"~==", S("5"), I(5), "1", ""},
        {"~==", I(5), S("05"), "0", ""},
        {"~==", I(-3), S("-3"), "1", ""},
        {"~!=", I(5), S("05"), "1", ""},
        {"~==", U(), S(""), "1", ""},
        {"~==", S("x"), U(), "0", ""},
        {"~==", U(), I(0), "1", ""},
        {"~==", I(1), U(), "0", ""},
        {"~!=", I(0), U(), "0", ""},
        {"~==", S("a"), S("a"), "1", ""},
        {"~!=", S("a"), S("b"), "1", ""},
        {"~==", A({I(1), S("2")}), A({S("1"), I(2)}), "1", ""},
        {"~==", A({I(1)}), A({I(1), I(2)}), "0", ""},
        {"~!=", A({I(1), I(2)}), A({I(1), I(3)}), "1", ""},
        {"~==", A(), A(), "1", ""},
        {"~!=", A(), A(), "0", ""},
        {"~==", A(), I(1), "0", eq_warn},
        {"~==", S(""), A(), "0", eq_warn},
        {"~==", A(), L(), "0", eq_warn},
        {"~!=", A(), I(1), "1", neq_warn},
        {"~!=", U(), A(), "1", neq_warn},
        {"~==", A({A()}), A({I(1)}), "0", eq_warn}, // element pairs report too
        {"~!=", A({A()}), A({I(1)}), "1", neq_warn},
        {"~==", L(), S(""), "", F("Gen_type::~==: Internal error")},
        {"~!=", I(1), L(), "", F("Gen_type::~==: Internal error")},
        {"~==", U(), L(), "", F("Gen_type::~==: Internal error")},
        {"~==", L(), L(), "", F("Gen_type::==|~==: Internal error")},
        {"~!=", L(), L(), "", F("Gen_type::!=: Internal error")},
    };
    check(rep, rows);
    rep.set_brief();
    EXPECT_EQ(outcome([&] { return loose_eq(rep, A(), I(1)); }).err,
              W("~==: compare array with scalar; FALSE"));
    EXPECT_EQ(outcome([&] { return loose_neq(rep, A(), I(1)); }).err,
              W("~!=: compare array with scalar; TRUE"));
}

TEST_F(GenTypeTest, Addition) {
    const Op_row rows[] = {
        {"+", I(2), I(3), "5", ""},
        {"+", I(int_max), I(1), "-2147483648", ""},
        {"+", I(int_min), I(-1), "2147483647", ""},
        {"+", S("abc"), I(5), "\"abc5\"", ""},
        {"+", I(5), S("abc"), "\"5abc\"", ""},
        {"+", I(-5), S(""), "\"-5\"", ""},
        {"+", S("a"), S("b"), "\"ab\"", ""},
        {"+", U(), U(), "u", ""},
        {"+", I(1), U(), "1", ""},
        {"+", S("x"), U(), "\"x\"", ""},
        {"+", U(), I(3), "3", ""},
        {"+", U(), S("y"), "\"y\"", ""},
        {"+", I(1), A({I(2), I(3)}), "[1,2,3]", ""},
        {"+", A({I(1)}), A({A({I(2)})}), "[1,[2]]", ""},
        {"+", A(), U(), "[u]", ""},
        {"+", U(), A(), "[u]", ""},
        {"+", A(), A(), "[]", ""},
        {"+", L({I(1), I(2)}), S("z"), "[1,2,\"z\"]", ""},
        {"+", S("s"), L(), "[\"s\"]", ""},
    };
    check(rep, rows);
}

TEST_F(GenTypeTest, SubtractionAndNegation) {
    Gen_type with_text("t"); // an array whose own text payload is "t"
    with_text.make_array();
    const Op_row rows[] = {
        {"-", I(5), I(7), "-2", ""},
        {"-", I(int_min), I(1), "2147483647", ""},
        {"-", I(int_max), I(-1), "-2147483648", ""},
        {"-", U(), I(3), "-3", ""},
        {"-", I(3), U(), "3", ""},
        {"-", U(), U(), "0", ""},
        {"-", S("5"), I(1), "-1", E("operator -; first operand has bad type")},
        {"-", A(), S(""), "-1", E("operator -; first operand has bad type")},
        {"-", L(), I(1), "-1", E("operator -; first operand has bad type")},
        {"-", I(1), A(), "-1", E("operator -; second operand has bad type")},
        {"-", U(), L(), "-1", E("operator -; second operand has bad type")},
        {"neg", I(5), U(), "-5", ""},
        {"neg", I(0), U(), "0", ""},
        {"neg", I(int_min), U(), "-2147483648", ""},
        {"neg", U(), U(), "u", ""},
        {"neg", S("ab"), U(), "\"ab\"", E("-: Can't negate a string variable")},
        {"neg", with_text, U(), "\"t\"", E("-: Can't negate an array variable")},
        {"neg", L(), U(), "", F("Gen_type::- Internal error")},
    };
    check(rep, rows);
}

TEST_F(GenTypeTest, Multiplication) {
    const std::string bad = E("operator *; bad type(s)");
    const std::string internal = F("Gen_type::operator*; Internal Error");
    const Op_row rows[] = {
        {"*", I(6), I(-7), "-42", ""},
        {"*", I(65536), I(65536), "0", ""},
        {"*", I(int_max), I(2), "-2", ""},
        {"*", I(int_min), I(-1), "-2147483648", ""},
        {"*", I(3), S("ab"), "\"ababab\"", ""},
        {"*", I(0), S("ab"), "\"\"", ""},
        {"*", I(-1), S("ab"), "\"\"", ""},
        {"*", I(2), A({I(1), S("x")}), "[1,\"x\",1,\"x\"]", ""},
        {"*", I(-2), A({I(1)}), "[]", ""},
        {"*", I(3), U(), "0", ""},
        {"*", U(), I(3), "0", ""},
        {"*", U(), S("ab"), "\"\"", ""},
        {"*", U(), A({I(1)}), "[\"\"]", ""},
        {"*", U(), U(), "\"\"", ""},
        {"*", S("ab"), I(2), "\"abab\"", ""},
        {"*", S("ab"), I(0), "\"\"", ""},
        {"*", S("ab"), U(), "\"\"", ""},
        {"*", A({I(1)}), I(3), "[1,1,1]", ""},
        {"*", A({A({I(1)})}), I(2), "[[1],[1]]", ""},
        {"*", A({I(1)}), U(), "[\"\"]", ""},
        {"*", S("a"), S("b"), "-1", bad},
        {"*", S("a"), A(), "-1", bad},
        {"*", A(), S(""), "-1", bad},
        {"*", A(), A(), "-1", bad},
        {"*", S("a"), L(), "-1", bad},
        {"*", A(), L(), "-1", bad},
        {"*", L(), S("a"), "-1", bad},
        {"*", L(), A(), "-1", bad},
        {"*", L(), L(), "-1", bad},
        {"*", I(2), L(), "", internal},
        {"*", U(), L(), "", internal},
        {"*", L(), I(2), "", internal},
        {"*", L(), U(), "", internal},
    };
    check(rep, rows);
}

// Repetition builds its result by doubling (a count of millions took one append per copy and hung the
// fuzzer); every count must still give exactly count copies, in order.
TEST_F(GenTypeTest, RepetitionGivesEveryCopy) {
    for (int32_t count : {1, 2, 3, 5, 7, 8, 9, 63, 64, 65, 1000, 1023, 3000001}) {
        std::string text_expected;
        for (int32_t i = 0; i < count; ++i)
            text_expected += "abc";
        EXPECT_EQ(multiply(rep, Gen_type(count), Gen_type("abc")).get_string(rep), text_expected) << count;
        EXPECT_EQ(multiply(rep, Gen_type("abc"), Gen_type(count)).get_string(rep), text_expected) << count;
        if (count > 70000)
            continue;
        const Gen_type array = multiply(rep, A({I(1), S("x")}), Gen_type(count));
        ASSERT_EQ(array.elements().size(), 2u * static_cast<std::size_t>(count)) << count;
        for (std::size_t i = 0; i < array.elements().size(); i += 2)
            ASSERT_TRUE(array.elements()[i].integer() == 1 && array.elements()[i + 1].text() == "x") << i;
    }
}

TEST_F(GenTypeTest, QuotientRemainderPower) {
    const std::string first = E("operator /; first operand has bad type");
    const std::string second = E("operator /; second operand has bad type");
    const std::string by_zero = E("operator /; division by 0");
    const Op_row rows[] = {
        {"/", I(7), I(2), "3", ""},
        {"/", I(-7), I(2), "-3", ""},
        {"/", I(7), I(-2), "-3", ""},
        {"%", I(-7), I(2), "-1", ""},
        {"%", I(7), I(-2), "1", ""},
        {"/", U(), I(5), "0", ""},
        {"%", U(), I(5), "0", ""},
        {"/", I(int_min), I(-1), "-2147483648", ""}, // wraps
        {"%", I(int_min), I(-1), "0", ""},
        {"/", I(7), I(0), "-1", by_zero},
        {"%", I(7), U(), "-1", by_zero},
        {"/", S("x"), I(2), "-1", first},
        {"%", A(), I(1), "-1", first},
        {"/", I(2), S("x"), "-1", second},
        {"%", I(1), L(), "-1", second},
        {"**", S("2"), I(2), "-1", first},
        {"**", I(2), A(), "-1", second},
        {"**", I(2), I(10), "1024", ""},
        {"**", I(2), I(-1), "0", ""},
        {"**", I(0), I(0), "1", ""},
        {"**", U(), U(), "1", ""},
        {"**", I(7), U(), "1", ""},
        {"**", I(-2), I(3), "-8", ""},
        {"**", I(-3), I(2), "9", ""},
        {"**", I(-1), I(int_max), "-1", ""},
        {"**", I(2), I(30), "1073741824", ""},
        // Beyond the 32-bit range (+inf included) the result clamps to the limit of its sign.
        {"**", I(2), I(31), "2147483647", ""},
        {"**", I(-2), I(31), "-2147483648", ""},
        {"**", I(-2), I(32), "2147483647", ""},
        {"**", I(-2), I(33), "-2147483648", ""},
        {"**", I(10), I(100), "2147483647", ""},
        {"**", I(-10), I(101), "-2147483648", ""},
        {"**", I(0), I(-1), "2147483647", ""},
        {"**", U(), I(-2), "2147483647", ""},
    };
    check(rep, rows);
}

TEST_F(GenTypeTest, ErrorsEndTheRunUnlessIgnored) {
    rep.set_policy(Policy::normal);
    Outcome o = outcome([&] { return minus(rep, S("x"), I(1)); });
    EXPECT_EQ(o.err + std::to_string(o.status), E("operator -; first operand has bad type") + "1");
    o = outcome([&] { return Gen_type::element(rep, A().elements(), U()); });
    EXPECT_EQ(o.err + std::to_string(o.status), not_int + "1");
    o = outcome([&] { return Gen_type::element(rep, A().elements(), I(0)); }); // a warning goes on
    EXPECT_EQ(o.value + o.err + std::to_string(o.status), "-1" + W("Empty Array") + "-1");
    rep.set_policy(Policy::fatal_warnings);
    o = outcome([&] { return loose_eq(rep, A(), U()); });
    EXPECT_EQ(o.err + std::to_string(o.status),
              W("~==: can't compare array with scalar type; comparison FALSE") + "1");
}

} // namespace
