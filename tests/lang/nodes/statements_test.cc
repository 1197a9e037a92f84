#include "lang/nodes/statements.h"

#include "base/paths.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/page_renderer.h"
#include "lang/nodes/eval_fixture.h"
#include "os/work_dir.h"

namespace {

using namespace evalfx;
using evalfx::in_run::E;

Node_ptr T(const char* tag) {
    return X(Gen_type(0), tag);
} // a body that only logs
Node_ptr V(const char* name, Var_form form = Var_form::variable) {
    return N<N_var>(name, form);
}
Node_ptr Vi(const char* name, Node_ptr index) {
    return N<N_var>(name, Var_form::element, nullptr, std::move(index));
}
std::string var(const char* name) {
    return st->get_variable(name).to_string(st->reporter(), false);
}

class StatementsTest : public Eval_test {};

TEST_F(StatementsTest, OutputAndEndOfIncludedFile) {
    ts::Stdout_capture out;
    EXPECT_EQ(run(N<N_echo>(C("a\\tb"))), "\"a\tb\" ");
    EXPECT_EQ(run(N<N_print>(X(A({Gen_type(1), Gen_type(2)})))), "{ 1, 2 } ");
    EXPECT_EQ(run(N<N_term>(C(7))), "7 ");
    EXPECT_EQ(store_->text(), "a\tb{ 1, 2 }\n");
    EXPECT_EQ(out.text(), "7\n");
    store_->save_arguments();
    st->set_variable("_argc", Gen_type(3));
    EXPECT_EQ(run(N<N_stmt>(N<N_end>(), N<N_eof>())), "0 ");
    EXPECT_EQ(var("_argc"), "1");
}

// Each row: the construct, its value and messages, the tags of what was evaluated.
TEST_F(StatementsTest, Conditionals) {
    st->set_variable("x", Gen_type(1));
    auto chain = [](Gen_type c1, Gen_type c2) {
        return N<N_if_else>(N<N_cond_seq>(N<N_if>(X(c1, "1"), T("A")), N<N_if>(X(c2, "2"), T("B"))), T("C"));
    };
    const std::string fatal = "ended 1 sub/page.vrn:3: fatal: ";
    std::tuple<Node_ptr, std::string, std::string> rows[] = {
        {chain(Gen_type(0), Gen_type("")), "1 ", "12C"},
        {chain(Gen_type(1), Gen_type(1)), "0 ", "1A"},
        {chain(Gen_type(0), Gen_type("0")), "0 ", "12B"},
        {N<N_ifdef>(V("y"), T("A")), "0 ", ""},
        {N<N_ifdef>(V("x", Var_form::array), T("A")), "1 ", "A"},
        {N<N_ifndef>(V("y"), T("A")), "1 ", "A"},
        {N<N_ifdef>(N<N_ind_expr>(X(Gen_type("x"), "n"), Var_form::variable), T("A")), "1 ",
         "nA"}, // $(e): e names it
        {N<N_ifdef>(Vi("x", T("i")), T("A")), "0" + E("Ifdef (var): <var> can't be an array element"), ""},
        {N<N_ifndef>(N<N_ind_expr>(T("n"), Var_form::element, T("i")), T("A")),
         "0" + E("Ifndef (var): <var> can't be an array element"), ""},
        {N<N_ifdef>(C("x"), T("A")), fatal + "N_ifdef::exec ()-- Internal Error\n", ""},
        {N<N_ifndef>(C("x"), T("A")), fatal + "N_ifndef::exec () -- Internal Error\n", ""},
        {N<N_cond_seq>(X(Gen_type("1"), "1"), T("B")), fatal + "N_cond_seq::exec () -- Internal Error\n",
         "1"},
        {N<N_if_else>(X(Gen_type(), "1"), T("C")), fatal + "N_if_else::exec () -- Internal Error\n", "1"},
    };
    for (auto& [node, expected, tags] : rows) {
        order.clear();
        EXPECT_EQ(run(node), expected);
        EXPECT_EQ(order, tags) << expected;
    }
}

TEST_F(StatementsTest, Loops) {
    EXPECT_EQ(run(N<N_for>(T("i"), X(Gen_type(0), "c"), T("s"), T("b"))) + order, "0 ic");
    EXPECT_EQ(run(N<N_for>(N<N_assign>(V("i"), C(0)), N<N_lt>(V("i"), C(3)), N<N_epp>(V("i"), 1, false),
                           N<N_echo>(V("i")))),
              "0 ");
    EXPECT_EQ(run(N<N_while>(V("i"), N<N_print>(N<N_epp>(V("i"), -1, false)))), "0 ");
    EXPECT_EQ(store_->text(), "0122\n1\n0\n");
    order.clear();

    // foreach walks its evaluated copy: emptying the array in the body changes no iteration.
    st->set_variable("arr", A({Gen_type(1), Gen_type("s"), A({Gen_type(2)})}));
    EXPECT_EQ(run(N<N_foreach>(V("v"), V("arr"), N<N_stmt>(N<N_echo>(V("v")), N<N_empty_array>(V("arr"))))),
              "0 ");
    EXPECT_EQ(store_->text().substr(9), "1s{ 2 }");
    EXPECT_EQ(run(N<N_foreach>(V("v"), C("abc"), T("B"))) + order,
              "1" + E("Foreach loops work on arrays as in: foreach (item in array [])"));
    // Element loop variables store like x[i] = element, the index evaluated anew for each element.
    st->set_variable("k", Gen_type(0));
    st->set_variable("m", A({A({Gen_type(0), Gen_type(0)})}));
    EXPECT_EQ(
        run(N<N_foreach>(Vi("arr", N<N_epp>(V("k"), 1, true)), X(A({Gen_type(7), Gen_type(8)})), T(""))),
        "0 ");
    EXPECT_EQ(run(N<N_foreach>(N<N_var>("", Var_form::nested_element, Vi("m", C(0)), C(1)),
                               X(A({Gen_type(5)})), T(""))),
              "0 ");
    EXPECT_EQ(var("arr") + var("k") + var("m"), "{ 7, 8 }2{ { 0, 5 } }");
    // A whole-array loop variable takes arrays only; the body runs after the error, which names the loop's
    // line, not that of the body that ran before.
    Node_ptr body = T("B");
    rep.add_lines(4);
    order.clear();
    EXPECT_EQ(run(N<N_foreach>(V("w", Var_form::array), X(A({A({}), Gen_type(4)})), std::move(body))) + order,
              "0" + E("Can't assign scalar to array value", 7) + "BB");
    EXPECT_EQ(var("w"), "{  }");
}

TEST_F(StatementsTest, UserMessages) {
    Reporter& r = rep;
    r.set_policy(Policy::normal);
    EXPECT_EQ(run(N<N_raiseerr>(C("bad"), nullptr)), "ended 1" + E("bad"));
    EXPECT_EQ(run(N<N_raisewarn>(C("long"), C("short"))), "0" + E("warning: long"));
    r.set_brief();
    EXPECT_EQ(run(N<N_raisewarn>(C("long"), C("short"))), "0" + E("warning: short"));
    EXPECT_EQ(run(N<N_raisewarn>(C("long"), nullptr)), "0" + E("warning: long"));
    EXPECT_EQ(run(N<N_raisewarn>(C(1), nullptr)),
              "ended 1" + E("raisewarning called with non string expression"));
    r.set_policy(Policy::ignore_errors); // the text that is no string cannot be reported
    EXPECT_EQ(run(N<N_raiseerr>(C("m"), C(2))),
              "ended 1" + E("raiseerror called with non string expression") +
                  "sub/page.vrn:3: fatal: Gen_type::get_string () -- Internal Error\n");
}

TEST_F(StatementsTest, MillionStatementsAndLongElifChain) {
    Node_ptr seq = N<N_echo>(C(0));
    for (int i = 1; i < 1000000; ++i)
        seq = N<N_stmt>(std::move(seq), N<N_echo>(C(i % 10)));
    EXPECT_EQ(run(seq), "0 ");
    EXPECT_EQ(store_->text().size(), 1000000u);
    EXPECT_EQ(store_->text().substr(0, 12), "012345678901");
    seq.reset();

    st->set_variable("i", Gen_type(99998));
    auto branch = [](int k) { return N<N_if>(N<N_eq>(V("i"), C(k)), N<N_echo>(C(k))); };
    Node_ptr chain = branch(0);
    for (int k = 1; k < 100000; ++k)
        chain = N<N_cond_seq>(std::move(chain), branch(k));
    store_->take_text();
    EXPECT_EQ(run(chain), "1 ");
    EXPECT_EQ(store_->text(), "99998");
    chain.reset();
}

TEST_F(StatementsTest, InputAndOutputNames) {
    rep.set_executing(false);
    const Gen_type number(5), pre("../");
    ts::Stderr_capture cap;
    N_input bad_in(rep, &number);
    N_output bad_out(rep, &number);
    EXPECT_EQ(cap.text(), "sub/page.vrn:3: input (prefix): prefix must be a string literal\n"
                          "sub/page.vrn:3: output (prefix): prefix must be a string literal\n");
    bad_in.owner = bad_out.owner = st; // the empty prefix is kept
    EXPECT_EQ(bad_in.exec().text() + " " + bad_out.exec().text(), "page.vrn page.html");

    const std::string cwd = ts::current_dir() + "/";
    Dependency_collector deps(rep, ".html");
    deps.set_input_name("./sub/page.vrn");
    deps.set_output_name("sub/./page");
    Page_renderer exec(rep, "sub/page.vrn", "out/page.htm", "./");
    for (Eval_context* store : {static_cast<Eval_context*>(&deps), static_cast<Eval_context*>(&exec)}) {
        st = store;
        const std::string out = store == &deps ? "sub/page.html" : "out/page.htm";
        EXPECT_EQ(run(N<N_input>(rep, &pre)), "\"../sub/page.vrn\" ");
        EXPECT_EQ(run(N<N_abs_input>()), "\"" + cwd + "sub/page.vrn\" ");
        EXPECT_EQ(run(N<N_output>(rep, &pre)), "\"../" + out + "\" ");
        EXPECT_EQ(run(N<N_abs_output>()), "\"" + cwd + (store == &deps ? "sub/page" : out) + "\" ");
    }
    st = &deps;
    deps.set_output_extension(".php");
    EXPECT_EQ(run(N<N_output>(rep, nullptr)), "\"sub/page.php\" ");
}

} // namespace
