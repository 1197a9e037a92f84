// Shared by the node tests: nodes built directly and registered in a store, evaluated with the process end
// trapped and the standard error stream captured.
#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>

#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/eval/page_renderer.h"
#include "lang/nodes/expressions.h"
#include "support/test_support.h"

namespace evalfx {

inline Eval_context* st = nullptr; // the store new nodes are registered in
inline std::string order;          // the tags of the Fixed nodes, in evaluation order

// A node of type T, registered in the store; C() makes a constant.
template <class T, class... A> Node_ptr N(A&&... args) {
    Node_ptr n(new T(std::forward<A>(args)...));
    st->add_statement(n.get());
    return n;
}
inline Node_ptr C(int32_t v) {
    return N<N_const>(Gen_type(v));
}
inline Node_ptr C(const std::string& t) {
    return N<N_const>(Gen_type(t));
}

// Yields a fixed value of any kind (lists included) and logs its tag.
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
// A Fixed node for `v`, logging `tag`.
inline Node_ptr X(Gen_type v, std::string tag = "") {
    return N<Fixed>(std::move(v), std::move(tag));
}

// An array of the given elements.
inline Gen_type A(std::initializer_list<Gen_type> xs) {
    Gen_type a = Gen_type::empty_array();
    a.elements().assign(xs);
    return a;
}

// Integers bare, strings quoted, anything else as the language writes it.
inline std::string show(const Gen_type& v) {
    if (v.is_string())
        return "\"" + v.text() + "\"";
    return v.to_string(st->reporter(), false);
}

// Integers bare, strings quoted (bare when Quote is false), arrays in brackets, lists in l[...].
template <bool Quote> std::string show_brackets(const Gen_type& v) {
    if (!v.is_array() && !v.is_list())
        return v.is_int() ? int_to_text(v.integer()) : Quote ? "\"" + v.text() + "\"" : v.text();
    std::string out;
    for (std::size_t i = 0; i < v.elements().size(); ++i)
        out += (i ? "," : "") + show_brackets<Quote>(v.elements()[i]);
    return (v.is_list() ? "l[" : "[") + out + "]";
}

using Show = std::string (*)(const Gen_type&);
inline Show shown = show; // how eval() and run() write values: the fixture picks it

struct Outcome {
    std::string value, err;
    int status = -1; // -1: the process was not ended
};
inline Outcome eval(const std::function<Gen_type()>& f) {
    Outcome o;
    const ts::Reported r = ts::capture([&] { o.value = shown(f()); });
    o.err = r.err;
    o.status = r.status;
    return o;
}

// The value (or "ended STATUS" when the process ended), a blank, then the whole standard error stream.
inline std::string run(const Node_ptr& n) {
    const Outcome o = eval([&] { return n->exec(); });
    return (o.status < 0 ? o.value : "ended " + std::to_string(o.status)) + " " + o.err;
}

// Messages located at the nodes' position (line 3 unless a test adds lines).
inline std::string E(const std::string& t, int line = 3) {
    return "sub/page.vrn:" + std::to_string(line) + ": " + t + "\n";
}
inline std::string W(const std::string& t) {
    return E("warning: " + t);
}
inline std::string F(const std::string& t) {
    return E("fatal: " + t);
}

// The same messages as they follow the blank after the value in a run() line (`using evalfx::in_run::E;`).
namespace in_run {
inline std::string E(const std::string& t, int line = 3) {
    return " " + evalfx::E(t, line);
}
} // namespace in_run

// Nodes are registered at sub/page.vrn line 3 in an execution store for page.vrn at the root, with errors
// ignored so that the fallback results show; values are written by `how`.  The store reports through `rep`,
// a fresh reporter for each test.
class Eval_test : public ::testing::Test {
protected:
    explicit Eval_test(Show how = show) { shown = how; }
    void SetUp() override {
        rep.set_file("sub/page.vrn");
        rep.add_lines(2);
        rep.set_policy(Policy::ignore_errors);
        rep.set_executing(true);
        store_ = std::make_unique<Page_renderer>(rep, "page.vrn", "page.html", "./");
        st = store_.get();
        order.clear();
    }
    void TearDown() override { st = nullptr; }
    Reporter rep;
    std::unique_ptr<Page_renderer> store_;
};

} // namespace evalfx
