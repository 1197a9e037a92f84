#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "front_test_support.h"
#include "lang/frontend/parser.h"
#include "lang/frontend/scanner.h"
#include "lang/nodes/expressions.h"
#include "lang/nodes/statements.h"

namespace {

using Case = std::pair<const char*, const char*>;

class GrammarTest : public ft::Front_test {
protected:
    void SetUp() override {
        Front_test::SetUp();
        use(&store);
    }
    // The statements of a source, expecting no message.
    std::string tree(const std::string& source) {
        reset_store();
        ft::Outcome o = ft::parse_text(parser, source);
        EXPECT_EQ(o.result, 0) << source;
        EXPECT_EQ(o.err, "") << source;
        EXPECT_EQ(parser.values.live_count(), 0u) << source;
        return ft::dump_all(store);
    }
    // Code inside one short tag.
    std::string code(const std::string& text) { return tree("<vorn " + text + " />"); }
    ft::Outcome run(const std::string& source) {
        reset_store();
        rep.set_file("t.vrn");
        return ft::parse_text(parser, source);
    }
    // The registered nodes, in registration order.
    std::string registrations(const std::string& text) {
        code(text);
        std::string out;
        for (const std::string& l : store.registered_as)
            out += (out.empty() ? "" : ", ") + l;
        return out;
    }
    void reset_store() {
        store.statements.clear();
        store.registered.clear();
        store.registered_as.clear();
    }
    ft::Keep_context store{rep};
};

TEST_F(GrammarTest, CompoundAssignmentSharesItsTarget) {
    EXPECT_EQ(code("a -= b;"), "N_assign_rec(a, N_minus(a, b))");
    auto* assign = dynamic_cast<N_assign_rec*>(store.statements.at(0).get());
    ASSERT_NE(assign, nullptr);
    auto* minus = dynamic_cast<N_minus*>(assign->value());
    ASSERT_NE(minus, nullptr);
    EXPECT_EQ(static_cast<Node*>(assign->target()), minus->left());
}

TEST_F(GrammarTest, Associativity) {
    const Case cases[] = {
        {"x = y = 3;", "N_assign(x, N_assign(y, 3))"},
        {"1 ** 2 ** 3;", "N_pow(N_pow(1, 2), 3)"},
        {"x += y += 3;", "N_assign_rec(x, N_plus(x, N_assign_rec(y, N_plus(y, 3))))"},
        {"x = y += 3;", "N_assign(x, N_assign_rec(y, N_plus(y, 3)))"},
        {"a += b = 3;", "N_assign_rec(a, N_plus(a, N_assign(b, 3)))"},
        {"x = a + b;", "N_assign(x, N_plus(a, b))"},
        {"a - b - c;", "N_minus(N_minus(a, b), c)"},
        {"a ~== b ~!= c != d;", "N_neq(N_w_neq(N_w_eq(a, b), c), d)"},
        {"a >= b <= c > d;", "N_gt(N_le(N_ge(a, b), c), d)"},
        {"a && b && c;", "N_and(N_and(a, b), c)"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(code(in), out) << in;
}

TEST_F(GrammarTest, PrecedenceLevels) {
    const Case cases[] = {
        {"a || b && c;", "N_or(a, N_and(b, c))"},
        {"a && b || c;", "N_or(N_and(a, b), c)"},
        {"a == b < c;", "N_eq(a, N_lt(b, c))"},
        {"a < b + c;", "N_lt(a, N_plus(b, c))"},
        {"a + b * c % d;", "N_plus(a, N_mod(N_times(b, c), d))"},
        {"a * b ** c;", "N_times(a, N_pow(b, c))"},
        {"-a ** b;", "N_pow(N_uminus(a), b)"},
        {"!a == b;", "N_eq(N_not(a), b)"},
        {"-a[1];", "N_uminus(a[1])"},
        {"-(a)[1];", "N_uminus(I(a, 1))"},
        {"a + (b)[1];", "N_plus(a, I(b, 1))"},
        {"x = (y)[1];", "N_assign(x, I(y, 1))"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(code(in), out) << in;
}

TEST_F(GrammarTest, IncrementAndDecrement) {
    const Case cases[] = {
        {"++a[1];", "N_epp(a[1], +1, pre)"},
        {"--x;", "N_epp(x, -1, pre)"},
        {"x++;", "N_epp(x, +1, post)"},
        {"a[1]--;", "N_epp(a[1], -1, post)"},
        {"-x++;", "N_uminus(N_epp(x, +1, post))"},
        {"++3;", "N_epp(3, +1, pre)"}, // refused when it runs, not here
        {"$(n)[1]++;", "N_epp($(n)[1], +1, post)"},
        {"x[1][2]++;", "N_epp(I(x[1], 2), +1, post)"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(code(in), out) << in;
}

TEST_F(GrammarTest, VariableForms) {
    const Case cases[] = {
        {"a;", "a"},
        {"a[];", "a[]"},
        {"a[1];", "a[1]"},          // form i: the parser shifts "[" after a name
        {"a[1][2];", "I(a[1], 2)"}, // an element of an element
        {"a[1][2][3];", "I(I(a[1], 2), 3)"},
        {"(a)[1];", "I(a, 1)"}, // an indexed expression
        {"a[][1];", "I(a[], 1)"},
        {"$(n);", "$(n)"},
        {"$(n)[];", "$(n)[]"},
        {"$(n)[1];", "$(n)[1]"},
        {"$(n)[1][2];", "I($(n)[1], 2)"},
        {"$('a' + b)[i + 1];", "$(N_plus(\"a\", b))[N_plus(i, 1)]"},
        {"{1}[0];", "I(N_fix_list, 0)"},
        {"length(x)[0];", "I(N_length(x), 0)"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(code(in), out) << in;
}

TEST_F(GrammarTest, BlocksListsAndEmptyStatements) {
    const Case cases[] = {
        {";", "N_empty"},
        {"{ ; }", "N_empty"},
        {"{ a; b; c; }", "N_stmt(N_stmt(a, b), c)"},
        {"{ { a; } }", "a"},
        {"x = {};", "N_empty_array(x)"},
        {"x[] = {};", "N_empty_array(x[])"},
        {"x = {a};", "N_assign(x, N_fix_list)"},
        {"a; b;", "a | b"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(code(in), out) << in;
    EXPECT_EQ(tree("<vorn>a;</vorn>x<vorn>b;</vorn>"), "a | N_end | b | N_end");
}

TEST_F(GrammarTest, ConditionalChains) {
    const Case cases[] = {
        {"ifdef (x) a; elifdef (y) b; else c;", "N_if_else(N_cond_seq(N_ifdef(x, a), N_ifdef(y, b)), c)"},
        {"if (a) if (b) x; else y;", "N_if(a, N_if_else(N_if(b, x), y))"},
        {"if (a) x; elif (b) y; elif (c) z;", "N_cond_seq(N_cond_seq(N_if(a, x), N_if(b, y)), N_if(c, z))"},
        {"if (a) if (b) x; elif (c) y; else z;", "N_if(a, N_if_else(N_cond_seq(N_if(b, x), N_if(c, y)), z))"},
        {"ifndef (x[1]) a; elifndef ($(n)) b;", "N_cond_seq(N_ifndef(x[1], a), N_ifndef($(n), b))"},
        {"ifdef (a) if (b) x; elifdef (c) y;", "N_cond_seq(N_ifdef(a, N_if(b, x)), N_ifdef(c, y))"},
        {"if (a) { x; y; } else ;", "N_if_else(N_if(a, N_stmt(x, y)), N_empty)"},
        {"ifndef (a) x; ifndef (b) y;", "N_ifndef(a, x) | N_ifndef(b, y)"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(code(in), out) << in;
}

TEST_F(GrammarTest, StatementsAndBuiltIns) {
    const Case cases[] = {
        {"for (i = 0; i < 3; i++) x; while (a) b; foreach (v in l) x;", "N_for | N_while | N_foreach(v)"},
        {"undef(x); undef(x[1]); undef($(n));", "N_undef(x) | N_undef(x[1]) | N_undef($(n))"},
        {"verbatim('f');", "N_verbatim(\"f\")"},
        {"echo(a); print(b); date(c);", "N_echo(a) | N_print(b) | N_date(c)"},
        {"fdate(a, b); fsize(a, b);", "N_fdate(a, b) | N_fsize(a, b)"},
        {"linkadjust(); inputfile(); absinputfile(); outputfile(); absoutputfile();",
         "N_adj_link | N_input | N_abs_input | N_output | N_abs_output"},
        {"inputfile('p'); outputfile(\"q\");", "N_input | N_output"},
        {"substring(a, b); substring(a, b, c);", "N_substr(a, b) | N_substr(a, b, c)"},
        {"find(a, b); find(a, b, c); rfind(a, b); rfind(a, b, c);",
         "N_find(a, b, forward) | N_find(a, b, c, forward) | N_find(a, b, reverse) | N_find(a, b, c, "
         "reverse)"},
        {"findfirstof(a, b); findlastof(a, b); findfirstnotof(a, b); findlastnotof(a, b, c);",
         "N_find_match(a, b, last=0, not=0) | N_find_match(a, b, last=1, not=0) | "
         "N_find_match(a, b, last=0, not=1) | N_find_match(a, b, last=1, not=1)"},
        {"char(a, b); startswith(a, b); endswith(a, b); insert(a, b, c);",
         "N_char(a, b) | N_startswith(a, b) | N_endswith(a, b) | N_insert(a, b, c)"},
        {"replace(a, b, c); replaceall(a, b, c);", "N_replace(a, b, c, first) | N_replace(a, b, c, all)"},
        {"trim(a); ltrim(a); rtrim(a); tolower(a); toupper(a); length(a);",
         "N_trim(a) | N_ltrim(a) | N_rtrim(a) | N_ch_case(a, lower) | N_ch_case(a, upper) | N_length(a)"},
        {"raiseerror(a); raiseerror(a, b); raisewarning(a); raisewarning(a, b); term(a);",
         "N_raiseerr | N_raiseerr | N_raisewarn | N_raisewarn | N_term(a)"},
        {"cmd(a); evalcmd(a); exec(a); evalexec(a); exec(a, b, c); evalexec(a, b);",
         "N_cmd(run) | N_cmd(eval) | N_exec(a, run) | N_exec(a, eval) | N_exec(a, run) | N_exec(a, eval)"},
        {"tobool(a); toint(a); tostring(a); toarray(a); isint(a); isstring(a); isarray(a);",
         "N_tobool(a) | N_toint(a) | N_tostring(a) | N_toarray(a) | N_isint(a) | N_isstring(a) | "
         "N_isarray(a)"},
        {"tokenize(a, b); join(a, b); random(a, b); fileexists(a);",
         "N_tok(a, b) | N_join(a, b) | N_random(a, b) | N_fileexists(a)"},
        {"delete(a, b); delete(a, b, c); push(a, b); push(a, b, c); fill(a, b, c);",
         "N_del(a, b) | N_del(a, b, c) | N_push(a, b) | N_push(a, b, c) | N_fill(a, N_list(b, c))"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(code(in), out) << in;
}

TEST_F(GrammarTest, TypeBlocks) {
    EXPECT_EQ(code("type(T): one @@ x @@ two endtype;"),
              "N_assign(T, \"\", define) | N_assign(T, N_plus(T, \" one \")) | N_assign(T, N_plus(T, x)) | "
              "N_assign(T, N_plus(T, \" two \")) | N_empty");
    // Without a name the text is output; after "endtype;" capturing has ended.
    EXPECT_EQ(
        code("type(T):a endtype; type:b@@x@@endtype;"),
        "N_assign(T, \"\", define) | N_assign(T, N_plus(T, \"a \")) | N_empty | N_echo(\"b\") | N_echo(x) | "
        "N_empty");
    // "@@" in code: the statement before it ends, text follows, "@@" embeds an expression up to the next
    // "@@".
    EXPECT_EQ(tree("<vorn>x @@ a @@ y @@ b endtype;"),
              "x | N_echo(\" a \") | N_echo(y) | N_echo(\" b \") | N_empty");
}

TEST_F(GrammarTest, CaptureEndsWithItsSource) {
    ft::Outcome o = run("<vorn type(T): a");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "t.vrn:1: warning: found unclosed vorn tags\n");
    EXPECT_EQ(ft::dump_all(store), "N_assign(T, \"\", define) | N_assign(T, N_plus(T, \" a\"))");
    // The next source outputs its text.
    EXPECT_EQ(tree("<vorn>x @@ b endtype;"), "x | N_echo(\" b \") | N_empty");
    rep.set_policy(Policy::ignore_errors);
    EXPECT_EQ(run("<vorn type(T): a @@ x y").result, 1);
    EXPECT_FALSE(parser.capture.capturing);
    EXPECT_FALSE(parser.scanner.type_capture);
}

TEST_F(GrammarTest, EveryNodeIsRegisteredOnceChildrenFirst) {
    const Case cases[] = {
        {"a -= b;", "var as, var bs, minus, assign_rec"},
        {"{1, 2, 3};", "const 1, const 2, list, const 3, list, fix_list"},
        {"for (i = 0; i < 3; i++) x;",
         "var is, const 0, assign, var is, const 3, lt, var is, epp, var xs, for"},
        {"while (a) { b; c; }", "var as, var bs, var cs, stmt, while"},
        {"foreach (v in {1, 2}) ;", "var vs, const 1, const 2, list, fix_list, empty, foreach"},
        {"if (a) b; elif (c) d; else e;",
         "var as, var bs, if, var cs, var ds, if, cond_seq, var es, if_else"},
        {"x[1][2] = {};", "const 1, var xi, const 2, var xI, empty_array"},
        {"$(n)[1] = -3;", "var ns, const 1, ind_expr, const 3, uminus, assign"},
        {"findlastnotof(a, b, c + 1);", "var as, var bs, var cs, const 1, plus, find_match"},
        {"exec(s, 1, 2); fsize('f', 'x');", "var ss, const 1, const 2, list, exec, const f, const x, fsize"},
        {"raiseerror(a, b); cmd(c);", "var as, var bs, raiseerr, var cs, cmd"},
        {"type(T):x@@y@@endtype;", "var Ts, const , assign, const x, var Ts, var Ts, plus, assign, var ys, "
                                   "var Ts, var Ts, plus, assign, empty"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(registrations(in), out) << in;

    // A source using most of the grammar: every node of every kept statement was registered exactly once,
    // after its children.
    code("a = b[1] + $(c)[2][3] * -d ** e; x -= y += 2; f[] = {}; g = {1, h, 'i'}; j++; --k[0];"
         "if (l) { m; n; } elif (o) p; else ; ifdef (q) r; elifdef (s[1]) t; ifndef (u) v;"
         "for (w = 0; w < 3; ++w) echo(w); while (!x) print(y); foreach (z in {1}) undef(z);"
         "verbatim('v'); fdate('f', 'd'); substring(a, 1, 2); rfind(a, b); findfirstnotof(a, b);"
         "replaceall(a, b, c); tolower(a); delete(a, 1, 2); push(a, b); fill(a, b, c); tokenize(a, ',');"
         "toint(tostring(toarray(tobool(isint(isstring(isarray(a))))))); x = date(inputfile()) && "
         "outputfile('o');");
    std::set<const Node*> seen;
    std::map<const Node*, std::size_t> order;
    for (std::size_t i = 0; i < store.registered.size(); ++i) {
        EXPECT_TRUE(seen.insert(store.registered[i]).second)
            << "registered twice: " << ft::label(store.registered[i]);
        order[store.registered[i]] = i;
    }
    std::size_t walked = 0;
    std::vector<const Node*> todo;
    for (const auto& s : store.statements)
        todo.push_back(s.get());
    while (!todo.empty()) {
        const Node* n = todo.back();
        todo.pop_back();
        ++walked;
        ASSERT_TRUE(order.count(n)) << "never registered: " << ft::label(n);
        EXPECT_EQ(n->owner, &store);
        for (const Node* c : ft::children(n)) {
            ASSERT_TRUE(order.count(c)) << "never registered: " << ft::label(c);
            EXPECT_LT(order[c], order[n]) << ft::label(c) << " in " << ft::label(n);
            todo.push_back(c);
        }
    }
    EXPECT_GT(walked, 100u);
    EXPECT_EQ(store.statements.size(), 25u);
}

TEST_F(GrammarTest, NodesCarryTheirSourcePosition) {
    rep.set_file("sub/p.vrn");
    ft::parse_text(parser, "<vorn a;\n\nb;\n/>");
    ASSERT_EQ(store.statements.size(), 2u);
    EXPECT_EQ(store.statements[0]->src->dir, "sub/");
    EXPECT_EQ(store.statements[0]->src->file, "p.vrn");
    // A node is registered once the token after it has been read.
    EXPECT_EQ(store.statements[0]->line, 1);
    EXPECT_EQ(store.statements[1]->line, 3);
}

TEST_F(GrammarTest, AssignmentTargetsMustNameAVariable) {
    rep.set_policy(Policy::ignore_errors);
    const std::string assign = "t.vrn:1: can't assign to an expression that is not a variable\n";
    const std::string undef = "t.vrn:1: can't undef an expression that is not a variable\n";
    struct Row {
        const char* code;
        std::string err;
        const char* tree; // what the statement becomes without the assignment
    };
    const Row rows[] = {
        {"(a + b)[1] = 3;", assign, "3"},
        {"3 += 4;", assign, "N_plus(3, 4)"},
        {"a || b += 1;", assign, "N_plus(N_or(a, b), 1)"},
        {"(a + b)[1] += 2;", assign, "N_plus(I(N_plus(a, b), 1), 2)"},
        {"length(s)[0] -= 1;", assign, "N_minus(I(N_length(s), 0), 1)"},
        {"(a + b)[1] = {};", assign, "0"},
        {"undef((a + b)[1]);", undef, "0"},
        {"(a + b)[1]++;", assign, "I(N_plus(a, b), 1)"},
        {"++(a + b)[1];", assign, "I(N_plus(a, b), 1)"},
        {"--(a + b)[1][2];", assign, "I(I(N_plus(a, b), 1), 2)"},
        {"foreach ((a + b)[1] in x) y;", assign, "N_empty"},
        // Elements of variables are fine, however they are reached.
        {"x[1][2] = 3;", "", "N_assign(I(x[1], 2), 3)"},
        {"(x)[1] += 2;", "", "N_assign_rec(I(x, 1), N_plus(I(x, 1), 2))"},
        {"$(n)[1][2] = {};", "", "N_empty_array(I($(n)[1], 2))"},
        {"foreach (x[1] in y) z;", "", "N_foreach(x[1])"},
        {"undef($(n));", "", "N_undef($(n))"},
    };
    for (const Row& r : rows) {
        ft::Outcome o = run(std::string("<vorn ") + r.code + " />");
        EXPECT_EQ(o.result, 0) << r.code;
        EXPECT_EQ(o.err, r.err) << r.code;
        EXPECT_EQ(ft::dump_all(store), r.tree) << r.code;
        EXPECT_EQ(parser.values.live_count(), 0u) << r.code;
    }
}

TEST_F(GrammarTest, RefusedTargetStopsTheRunUnlessErrorsAreIgnored) {
    ft::Outcome o = run("<vorn\n(a + b)[1] = 3; />");
    EXPECT_EQ(o.exit, 1);
    EXPECT_EQ(o.err, "t.vrn:2: can't assign to an expression that is not a variable\n");
    EXPECT_EQ(parser.values.live_count(), 0u);
}

TEST_F(GrammarTest, SyntaxErrors) {
    rep.set_policy(Policy::ignore_errors);
    const Case cases[] = {
        {"<vorn if (a) x; elifdef (b) y; />", "t.vrn:1: syntax error before `elifdef'\n"},
        {"<vorn { } />", "t.vrn:1: syntax error before `}'\n"},
        {"<vorn findlastnotof(a, b); />", "t.vrn:1: syntax error before `)'\n"},
        {"<vorn findfirstof(a, b, c); />", "t.vrn:1: syntax error before `,'\n"},
        {"<vorn inputfile(1 + 2); />", "t.vrn:1: syntax error before `+'\n"},
        {"<vorn 3 = 4; />", "t.vrn:1: syntax error before `='\n"},
        {"<vorn x\ny; />", "t.vrn:2: syntax error before `y'\n"}, // the missing ";" names what follows
        {"<vorn x = a\n/>\n\n", "t.vrn:4: syntax error\n"},       // at the end: no token to name
        {"<vorn x = 'a\nb' 'c\nd'; />", "t.vrn:2: syntax error before `'c'\n"}, // where the token began
        {"<vorn>a; include x", "t.vrn:1: syntax error before `x'\n"},
        {"<vorn>x = include('a');", "t.vrn:1: syntax error before `_include'\n"},
        {"<vorn>else x;", "t.vrn:1: syntax error before `else'\n"},
    };
    for (const auto& [in, err] : cases) {
        ft::Outcome o = run(in);
        EXPECT_EQ(o.result, 1) << in;
        EXPECT_EQ(o.err, err) << in;
        EXPECT_EQ(parser.values.live_count(), 0u) << in;
    }
    // The statements completed before the error stay with the store.
    ft::Outcome o = run("<vorn a; b = c d; />");
    EXPECT_EQ(ft::dump_all(store), "a");
}

TEST_F(GrammarTest, SyntaxErrorStopsTheRun) {
    ft::Outcome o = run("<vorn a = (b + c; x; y; />");
    EXPECT_EQ(o.exit, 1);
    EXPECT_EQ(o.err, "t.vrn:1: syntax error before `;'\n");
    EXPECT_EQ(parser.values.live_count(), 0u);
    // The front end is ready for the next source.
    rep.set_file("u.vrn");
    EXPECT_EQ(tree("<vorn z; />"), "z");
}

TEST_F(GrammarTest, ParserStackLimit) {
    rep.set_policy(Policy::ignore_errors);
    EXPECT_EQ(code(std::string(9900, '(') + "1" + std::string(9900, ')') + ";"), "1");
    ft::Outcome o = run("<vorn " + std::string(10010, '(') + "1" + std::string(10010, ')') + "; />");
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.err, "t.vrn:1: yacc stack overflow before `('\n");
    EXPECT_EQ(parser.values.live_count(), 0u);
    // Deep nesting that builds nodes is freed too when the stack overflows.
    std::string deep;
    for (int i = 0; i < 4000; ++i)
        deep += "a+(";
    o = run("<vorn " + deep + "1" + std::string(4000, ')') + "; />");
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(parser.values.live_count(), 0u);
}

} // namespace
