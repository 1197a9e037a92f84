#include "nodes/string_builtins.h"

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
Gen_type A(std::initializer_list<Gen_type> xs) {
    Gen_type a = Gen_type::empty_array();
    a.elements().assign(xs);
    return a;
}

// Strings quoted, arrays in brackets.
std::string show(const Gen_type& v) {
    if (!v.is_array())
        return v.is_int() ? int_to_text(v.integer()) : "\"" + v.text() + "\"";
    std::string out;
    for (const Gen_type& e : v.elements())
        out += (out.empty() ? "" : ",") + show(e);
    return "[" + out + "]";
}

// The value shown, then everything written on the standard error stream.
std::string eval(const Node_ptr& n) {
    ts::Exit_trap trap;
    ts::Stderr_capture cap;
    std::string value;
    try {
        value = show(n->exec());
    } catch (const ts::Process_ended& e) {
        value = "ended " + std::to_string(e.status);
    }
    return value + " " + cap.text();
}

std::string E(const std::string& t) {
    return " sub/page.vrn:3: " + t + "\n";
}

class StringBuiltinsTest : public ::testing::Test {
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

Node_ptr find(const char* t, const char* p, Node_ptr start, bool rev) {
    return N<N_find>(C(t), C(p), std::move(start), rev);
}
Node_ptr match(const char* set, bool last, bool neg) {
    return N<N_find_match>(C("banana"), C(set), last, neg);
}
Node_ptr repl(const char* t, const char* s, bool all) {
    return N<N_replace>(C(t), C(s), C("a"), all);
}

TEST_F(StringBuiltinsTest, ResultsAndMessages) {
    const std::string neg3 = E("substring() third  parameter can't be negative");
    const std::string find3 = E("find() third parameter must be an integer");
    std::pair<Node_ptr, std::string> rows[] = {
        {N<N_substr>(C("abcdef"), C(2), C(3)), "\"cde\" "},
        {N<N_substr>(C(123456), C(2)), "\"3456\" "},
        {N<N_substr>(C("abcdef"), C(6)), "\"\" "},
        {N<N_substr>(C("abcdef"), C(7)), "\"\"" + neg3},
        {N<N_substr>(C("abc"), C(5), C(2)), "\"\" "}, // a start past the end with a length is no error
        {N<N_substr>(C("abc"), C("1")), "\"\"" + E("substring() second parameter must be an integer")},
        {N<N_substr>(C("abc"), C(-1)), "\"\"" + E("substring() second parameter can't be negative")},
        {N<N_substr>(C("abc"), C(0), C("2")), "\"\"" + E("substring() third parameter must be an integer")},
        {N<N_substr>(C("abc"), C(0), C(-1)), "\"\"" + neg3},
        {N<N_substr>(X(A({})), C(0)), "\"\"" + E("Arrays not allowed within this context")},
        {find("banana", "na", C(3), false), "4 "},
        {find("abc", "", C(3), false), "3 "},
        {find("abc", "a", C("1"), false), "-1" + find3},
        {find("banana", "na", C(3), true), "2 "},
        {find("banana", "na", C(-5), true), "4 "},
        {find("abc", "a", C("1"), true), "-1" + find3},
        {match("nb", false, false), "0 "},
        {match("ba", false, true), "2 "},
        {match("b", true, false), "0 "},
        {match("a", true, true), "4 "},
        {N<N_char>(C("abc"), C(2)), "\"c\" "},
        {N<N_char>(C("abc"), C(3)), "\"\"" + E("char() index beyond string bounds")},
        {N<N_char>(C("abc"), C(-1)), "\"\"" + E("char() negative index not allowed")},
        {N<N_char>(C("abc"), C("1")), "\"\"" + E("char() second parameter must be an integer")},
        {N<N_startswith>(C("a"), C("abc")), "0 "},
        {N<N_startswith>(C("abc"), C("ab")), "1 "},
        {N<N_endswith>(C("a"), C("abc")), "0 "},
        {N<N_endswith>(C("abc"), C("bc")), "1 "},
        {N<N_insert>(C("abc"), C(0), C("X")), "\"Xabc\" "},
        {N<N_insert>(C("abc"), C(3), C("X")), "\"\"" + E("insert(): index beyond string bounds")},
        {N<N_insert>(C("abc"), C(-1), C("X")), "\"\"" + E("char() negative index not allowed")},
        {N<N_insert>(C("abc"), C("1"), C("X")), "\"\"" + E("insert() second parameter must be an integer")},
        {repl("aaaa", "aa", true), "\"aa\" "},
        {repl("bab", "b", false), "\"aab\" "},
        {repl("abc", "x", false), "\"abc\" "}, // the information is verbose-only
        {repl("abc", "", true), "\"abc\" "},
        {N<N_trim>(C(" \t\n")), "\"\" "},
        {N<N_trim>(C(" \tx\r\n")), "\"x\r\" "},
        {N<N_ltrim>(C(" a ")), "\"a \" "},
        {N<N_rtrim>(C(" a ")), "\" a\" "},
        {N<N_ch_case>(C("aBc-\xe9"), false), "\"ABC-\xe9\" "},
        {N<N_ch_case>(C("aBc-\xc9"), true), "\"abc-\xc9\" "},
        {N<N_length>(C(-5)), "2 "},
        {N<N_length>(X(Gen_type())), "0 "},
        {N<N_length>(X(A({Gen_type(), A({}), Gen_type(1)}))), "3 "},
        {N<N_length>(X(Gen_type::empty_list())), "ended 1" + E("fatal: N_length::exec () -- Internal Error")},
        {N<N_tok>(C("a b"), C(",")), "[\"a b\"] "},
        {N<N_tok>(C("a,b,,c,"), C(",")), "[\"a\",\"b\",\"\",\"c\",\"\"] "},
        {N<N_tok>(C("abc"), C("")), "[\"\",\"a\",\"b\",\"c\",\"\"] "},
        {N<N_tok>(C("aaa"), C("aa")), "[\"\",\"a\",\"\"] "}, // an overlapping match runs to the end
        {N<N_tok>(C("a1b"), C(1)), "[]" + E("tokenize; Separator must be a string")},
        {N<N_join>(X(A({Gen_type(1), Gen_type("a"), A({Gen_type(2)})})), C("-")), "\"1-a-{ 2 }\" "},
        {N<N_join>(C("x"), C("-")), "-1" + E("join requires an array as first variable")},
        {N<N_join>(X(A({Gen_type(1), Gen_type(2)})), X(A({}))),
         "\"12\"" + E("Arrays not allowed within this context")},
    };
    for (auto& row : rows)
        EXPECT_EQ(eval(row.first), row.second);
}

// insert takes the inserted text before the index; replace needs its replacement only for a non-empty
// searched text; join needs its separator only for an array.
TEST_F(StringBuiltinsTest, EvaluationOrder) {
    const Gen_type s("a"), i(0);
    eval(N<N_insert>(X(s, "T"), X(i, "I"), X(s, "S")));
    eval(N<N_replace>(X(s, "T"), X(Gen_type(""), "F"), X(s, "R"), false));
    eval(N<N_join>(X(s, "A"), X(s, "S")));
    EXPECT_EQ(order, "TSITFA");
}

TEST_F(StringBuiltinsTest, ReplaceInformsOnlyWhenVerbose) {
    reporter().set_verbosity(Verbosity::verbose);
    EXPECT_EQ(eval(repl("abc", "x", false)), "\"abc\"" + E("info: replace (); couldn't find x within abc"));
    reporter().set_brief();
    EXPECT_EQ(eval(repl("abc", "x", true)), "\"abc\"" + E("info: replaceall (); no replacement"));
}

} // namespace
