#include "lang/nodes/string_builtins.h"

#include "lang/nodes/eval_fixture.h"

namespace {

using namespace evalfx;
using evalfx::in_run::E;

// Strings quoted, arrays in brackets.
class StringBuiltinsTest : public Eval_test {
protected:
    StringBuiltinsTest() : Eval_test(show_brackets<true>) {}
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
        EXPECT_EQ(run(row.first), row.second);
}

// insert takes the inserted text before the index; replace needs its replacement only for a non-empty
// searched text; join needs its separator only for an array.
TEST_F(StringBuiltinsTest, EvaluationOrder) {
    const Gen_type s("a"), i(0);
    run(N<N_insert>(X(s, "T"), X(i, "I"), X(s, "S")));
    run(N<N_replace>(X(s, "T"), X(Gen_type(""), "F"), X(s, "R"), false));
    run(N<N_join>(X(s, "A"), X(s, "S")));
    EXPECT_EQ(order, "TSITFA");
}

TEST_F(StringBuiltinsTest, ReplaceInformsOnlyWhenVerbose) {
    rep.set_verbosity(Verbosity::verbose);
    EXPECT_EQ(run(repl("abc", "x", false)), "\"abc\"" + E("info: replace (); couldn't find x within abc"));
    rep.set_brief();
    EXPECT_EQ(run(repl("abc", "x", true)), "\"abc\"" + E("info: replaceall (); no replacement"));
}

} // namespace
