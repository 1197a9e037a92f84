// The two-operand operators.
#include <vector>

#include "diag/reporter.h"
#include "lang/nodes/expressions.h"

N_binary::~N_binary() {
    unchain(left_);
}

// Equivalent to { locate(); v = left->exec(); return combine(v); } applied recursively, but a chain that
// leans to the left (1 + 1 + ... + 1, a && b || c ...) is walked as a loop: the nodes of the left spine are
// located top-down as the recursion would, the leftmost operand is evaluated, and the spine's nodes then
// combine bottom-up.  Only a chain needs the spine list; a single operator allocates nothing.
Gen_type N_binary::exec() {
    locate();
    auto* below = dynamic_cast<N_binary*>(left_.get());
    if (!below)
        return combine(left_->exec());
    std::vector<N_binary*> spine{this};
    for (; below; below = dynamic_cast<N_binary*>(below->left_.get())) {
        below->locate();
        spine.push_back(below);
    }
    Gen_type value = spine.back()->left_->exec();
    for (auto it = spine.rbegin(); it != spine.rend(); ++it)
        value = (*it)->combine(std::move(value));
    return value;
}

// && and || give the operand values themselves; the right operand is evaluated only when it decides.
Gen_type N_and::combine(Gen_type left) {
    return left.as_bool(reporter()) ? right_->exec() : left;
}

Gen_type N_or::combine(Gen_type left) {
    return left.as_bool(reporter()) ? left : right_->exec();
}

Gen_type N_plus::combine(Gen_type left) {
    return plus(reporter(), left, right_->exec());
}

Gen_type N_minus::combine(Gen_type left) {
    return minus(reporter(), left, right_->exec());
}

Gen_type N_times::combine(Gen_type left) {
    return multiply(reporter(), left, right_->exec());
}

Gen_type N_div::combine(Gen_type left) {
    return divide(reporter(), left, right_->exec());
}

Gen_type N_mod::combine(Gen_type left) {
    return modulo(reporter(), left, right_->exec());
}

Gen_type N_pow::combine(Gen_type left) {
    return power(reporter(), left, right_->exec());
}

Gen_type N_gt::combine(Gen_type left) {
    return greater(reporter(), left, right_->exec());
}

Gen_type N_lt::combine(Gen_type left) {
    return less(reporter(), left, right_->exec());
}

Gen_type N_ge::combine(Gen_type left) {
    return greater_equal(reporter(), left, right_->exec());
}

Gen_type N_le::combine(Gen_type left) {
    return less_equal(reporter(), left, right_->exec());
}

Gen_type N_w_eq::combine(Gen_type left) {
    return loose_eq(reporter(), left, right_->exec());
}

Gen_type N_w_neq::combine(Gen_type left) {
    return loose_neq(reporter(), left, right_->exec());
}

// Values of different kinds are never equal: said only in verbose mode.
Gen_type N_eq::combine(Gen_type left) {
    Gen_type right = right_->exec();
    if (left.kind() != right.kind()) {
        reporter().verbose_info("==: Operands have different type; comparison FALSE",
                                "==: different types; FALSE");
        return Gen_type(0);
    }
    return equal(reporter(), left, right);
}

Gen_type N_neq::combine(Gen_type left) {
    Gen_type right = right_->exec();
    if (left.kind() != right.kind()) {
        reporter().verbose_info("!=: Operands have different type; comparison TRUE",
                                "!=: different types; TRUE");
        return Gen_type(1);
    }
    return not_equal(reporter(), left, right);
}
