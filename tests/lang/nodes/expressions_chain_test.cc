// Chains of two-operand operators: any length without deep recursion, with the results and messages of
// the operand-by-operand definition.
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>

#include "diag/reporter.h"
#include "lang/eval/page_renderer.h"
#include "lang/nodes/expressions.h"
#include "support/test_support.h"

namespace {

Page_renderer* registry = nullptr; // the test's store, where every node is registered as it is made

// A node of type T, registered (at the reporter's line); C() makes a constant.
template <class T, class... A> Node_ptr made(A&&... args) {
    Node_ptr n = std::make_unique<T>(std::forward<A>(args)...);
    registry->add_statement(n.get());
    return n;
}
Node_ptr C(int32_t v) {
    return made<N_const>(Gen_type(v));
}
Node_ptr C(const char* t) {
    return made<N_const>(Gen_type(t));
}

class ChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        rep.set_program_name("vt");
        rep.set_file("sub/page.vrn");
        store_ = std::make_unique<Page_renderer>(rep, "page.vrn", "page.html", "./");
        registry = store_.get();
    }
    void TearDown() override { registry = nullptr; }
    // Registers a node at line `line` of sub/page.vrn.
    Node_ptr at(int32_t line, Node_ptr n) {
        Reporter& r = rep;
        r.add_lines(line - r.scan_location().line);
        store_->add_statement(n.get());
        return n;
    }
    Reporter rep;
    std::unique_ptr<Page_renderer> store_;
};

TEST_F(ChainTest, MillionTermSum) {
    Node_ptr e = C(1);
    for (int i = 1; i < 1000000; ++i)
        e = made<N_plus>(std::move(e), C(1));
    EXPECT_EQ(e->exec().get_int(rep), 1000000);
    EXPECT_EQ(e->exec().get_int(rep), 1000000);
    e.reset();
}

// 0 - 1 * 1 + 3 ... mixed: the spine is built as the grammar builds it for equal precedence.
TEST_F(ChainTest, MillionTermsOfMixedOperators) {
    Node_ptr e = C(0);
    int64_t expected = 0;
    for (int i = 1; i < 1000000; ++i) {
        switch (i % 3) {
        case 0:
            e = made<N_plus>(std::move(e), C(3));
            expected += 3;
            break;
        case 1:
            e = made<N_minus>(std::move(e), C(1));
            expected -= 1;
            break;
        default:
            e = made<N_times>(std::move(e), C(1));
            break;
        }
    }
    // The last term concatenates: the running integer becomes text.
    e = made<N_plus>(std::move(e), C("!"));
    Gen_type v = e->exec();
    EXPECT_EQ(v.get_string(rep), std::to_string(expected) + "!");
}

// a || b && c ... as one left spine, each node applying to the value so far.
TEST_F(ChainTest, MillionTermsOfAlternatingAndOr) {
    Node_ptr e = C(0);
    for (int i = 1; i < 1000000; ++i) {
        if (i % 2)
            e = made<N_or>(std::move(e), C(i % 7 == 1 ? "" : "t"));
        else
            e = made<N_and>(std::move(e), C(i % 5));
    }
    // The top node (i = 999999) is ||.  Below it, && (i = 999998) has a true left operand (the || at 999997,
    // whose right operand is "t"), so it gives its right operand 999998 % 5 = 3, which the top || keeps.
    Gen_type v = e->exec();
    ASSERT_TRUE(v.is_int());
    EXPECT_EQ(v.get_int(rep), 3);
    e.reset();
}

// The right operand of a spine node is a chain of its own: a + (b + (c + ...)) nested a few levels, each
// a long left chain.
TEST_F(ChainTest, ChainsInsideRightOperands) {
    Node_ptr e = C(0);
    for (int outer = 0; outer < 50; ++outer) {
        Node_ptr inner = C(1);
        for (int i = 1; i < 1000; ++i)
            inner = made<N_plus>(std::move(inner), C(1));
        e = made<N_plus>(std::move(e), std::move(inner));
    }
    EXPECT_EQ(e->exec().get_int(rep), 50000);
}

// The recursive definition, for comparison with the chain walk.
Gen_type reference(Node* n) {
    Reporter& rep = n->reporter();
    auto* b = dynamic_cast<N_binary*>(n);
    if (!b)
        return n->exec();
    b->locate();
    Gen_type l = reference(b->left());
    if (dynamic_cast<N_and*>(b))
        return l.as_bool(rep) ? reference(b->right()) : l;
    if (dynamic_cast<N_or*>(b))
        return l.as_bool(rep) ? l : reference(b->right());
    Gen_type r = reference(b->right());
    if (dynamic_cast<N_plus*>(b))
        return plus(rep, l, r);
    if (dynamic_cast<N_minus*>(b))
        return minus(rep, l, r);
    if (dynamic_cast<N_times*>(b))
        return multiply(rep, l, r);
    if (dynamic_cast<N_div*>(b))
        return divide(rep, l, r);
    if (dynamic_cast<N_gt*>(b))
        return greater(rep, l, r);
    if (dynamic_cast<N_w_eq*>(b))
        return loose_eq(rep, l, r);
    if (l.kind() != r.kind()) {
        rep.verbose_info("==: Operands have different type; comparison FALSE", "==: different types; FALSE");
        return Gen_type(0);
    }
    return equal(rep, l, r); // N_eq
}

std::string show(Reporter& rep, const Gen_type& v) {
    if (v.is_int())
        return int_to_text(v.get_int(rep));
    if (v.is_string())
        return "\"" + v.text() + "\"";
    return v.is_undefined() ? "u" : v.to_string(rep, false);
}

std::string evaluate(Node* n, bool by_reference) {
    ts::Stderr_capture cap;
    std::string value = show(n->reporter(), by_reference ? reference(n) : n->exec());
    return value + "\n" + cap.text();
}

// Random trees of operators over constants and variables (some undefined), each node at its own line: the
// walk must give the value and the messages, located at the same lines, that the recursion gives.
TEST_F(ChainTest, SameValuesAndMessagesAsTheRecursiveDefinition) {
    rep.set_policy(Policy::ignore_errors);
    rep.set_verbosity(Verbosity::verbose);
    rep.set_executing(true);
    store_->set_variable("n", Gen_type(2));
    store_->set_variable("s", Gen_type("ab"));
    std::mt19937 rng(12345);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    int line = 1;
    std::function<Node_ptr(int)> build = [&](int depth) -> Node_ptr {
        if (depth == 0 || pick(4) == 0) {
            switch (pick(6)) {
            case 0:
                return at(++line, C(pick(3)));
            case 1:
                return at(++line, C(pick(2) ? "x" : ""));
            case 2:
                return at(++line, made<N_var>("n", Var_form::variable));
            case 3:
                return at(++line, made<N_var>("s", Var_form::variable));
            default:
                return at(++line, made<N_var>("missing", Var_form::variable));
            }
        }
        // Mostly left-leaning, as the grammar builds runs of one precedence level.
        Node_ptr left = build(depth - 1);
        Node_ptr right = build(pick(3) == 0 ? depth - 1 : 0);
        Node_ptr node;
        switch (pick(10)) {
        case 0:
            node = made<N_and>(std::move(left), std::move(right));
            break;
        case 1:
            node = made<N_or>(std::move(left), std::move(right));
            break;
        case 2:
            node = made<N_minus>(std::move(left), std::move(right));
            break;
        case 3:
            node = made<N_times>(std::move(left), std::move(right));
            break;
        case 4:
            node = made<N_div>(std::move(left), std::move(right));
            break;
        case 5:
            node = made<N_gt>(std::move(left), std::move(right));
            break;
        case 6:
            node = made<N_w_eq>(std::move(left), std::move(right));
            break;
        case 7:
            node = made<N_eq>(std::move(left), std::move(right));
            break;
        default:
            node = made<N_plus>(std::move(left), std::move(right));
            break;
        }
        return at(++line, std::move(node));
    };
    int with_messages = 0;
    for (int round = 0; round < 300; ++round) {
        line = 1;
        Node_ptr tree = build(2 + pick(12));
        std::string walked = evaluate(tree.get(), false);
        std::string recursive = evaluate(tree.get(), true);
        EXPECT_EQ(walked, recursive) << "round " << round;
        with_messages += walked.find("sub/page.vrn:") != std::string::npos;
    }
    EXPECT_GT(with_messages, 100); // the comparison covered messages, not only values
}

// 'x' - 1 at line 5, its operands at lines 3 and 4: the error is located where the recursion last located,
// the right operand's line; the undefined variable's warning at its own line.
TEST_F(ChainTest, MessagesNameTheLastLocatedNode) {
    rep.set_policy(Policy::ignore_errors);
    rep.set_executing(true);
    Node_ptr left = at(3, C("x"));
    Node_ptr right = at(4, C(1));
    Node_ptr minus = at(5, made<N_minus>(std::move(left), std::move(right)));
    Node_ptr var = at(6, made<N_var>("y", Var_form::variable));
    Node_ptr plus = at(7, made<N_plus>(std::move(minus), std::move(var)));
    ts::Stderr_capture cap;
    EXPECT_EQ(plus->exec().get_int(rep), -1);
    EXPECT_EQ(cap.text(), "sub/page.vrn:4: operator -; first operand has bad type\n"
                          "sub/page.vrn:6: warning: variable `y' not defined\n");
}

// An error that ends the run inside a chain leaves nothing behind (the sanitizer build checks for leaks).
TEST_F(ChainTest, FatalErrorInsideAChain) {
    Node_ptr e = made<N_const>(Gen_type::empty_list());
    for (int i = 0; i < 1000; ++i)
        e = made<N_plus>(std::move(e), C(1));
    ts::Stderr_capture cap;
    int status = -1;
    try {
        e->exec();
    } catch (const ts::Process_ended& end) {
        status = end.status;
    }
    EXPECT_EQ(status, 1);
    EXPECT_EQ(cap.text(), "sub/page.vrn:1: fatal: N_const::exec () -- Internal Error\n");
}

} // namespace
