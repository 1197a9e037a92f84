// Shared by the file built-in and command tests: nodes built directly and registered in a store, evaluated
// with the process end trapped and the standard error stream captured.
#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "diag/reporter.h"
#include "support/test_support.h"
#include "values/expressions.h"
#include "values/tree.h"

namespace evalfx {

inline Tree* st = nullptr; // the store new nodes are registered in

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

// Integers bare, strings quoted, anything else as the language writes it.
inline std::string show(const Gen_type& v) {
    if (v.is_string())
        return "\"" + v.text() + "\"";
    return v.to_string(false);
}

struct Outcome {
    std::string value, err;
    int status = -1; // -1: the process was not ended
};
inline Outcome eval(const std::function<Gen_type()>& f) {
    ts::Exit_trap trap;
    ts::Stderr_capture cap;
    Outcome o;
    try {
        o.value = show(f());
    } catch (const ts::Process_ended& e) {
        o.status = e.status;
    }
    o.err = cap.text();
    return o;
}

// Messages located at the nodes' position.
inline std::string E(const std::string& t) {
    return "sub/page.vrn:3: " + t + "\n";
}
inline std::string W(const std::string& t) {
    return E("warning: " + t);
}
inline std::string F(const std::string& t) {
    return E("fatal: " + t);
}

// Nodes are registered at sub/page.vrn line 3 in an execution store for page.vrn at the root, with errors
// ignored so that the fallback results show.
class Eval_test : public ::testing::Test {
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
    }
    void TearDown() override { reporter().reset(); }
    std::unique_ptr<Exec_tree> store_;
};

} // namespace evalfx
