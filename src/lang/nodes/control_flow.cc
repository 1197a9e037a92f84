// Conditionals and loops.
#include <memory>
#include <vector>

#include "base/fuzz_budget.h"
#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/nodes/expressions.h"
#include "lang/nodes/statements.h"

namespace {

Gen_type ran(bool body_ran) {
    return Gen_type(body_ran ? 1 : 0);
}

// The test of ifdef and ifndef: whether the variable a plain or whole-array reference names exists.  The
// variable is never read, so a missing one draws no message.  A direct reference carries its name; for
// $(e) the name is the value of e, which has to be evaluated to be known (with its own message when it is
// not a string).  An element reference is refused with `element_error`; anything else is not a reference
// the grammar builds.
bool defined(Node* test, Eval_context* store, const char* element_error, const char* internal_error,
             bool* refused) {
    auto* ref = test && test->is_variable() ? dynamic_cast<N_base_var*>(test) : nullptr;
    if (ref && (ref->form() == Var_form::element || ref->form() == Var_form::nested_element)) {
        store->reporter().error(element_error);
        *refused = true;
        return false;
    }
    if (!ref)
        store->reporter().fatal(internal_error);
    *refused = false;
    auto* direct = dynamic_cast<N_var*>(ref);
    return store->has_variable(direct ? direct->name() : ref->variable_name());
}

} // namespace

Gen_type N_if::exec() {
    locate();
    if (!test_->exec().as_bool(reporter()))
        return ran(false);
    body_->exec();
    return ran(true);
}

Gen_type N_ifdef::exec() {
    locate();
    bool refused;
    bool exists = defined(test_.get(), owner, "Ifdef (var): <var> can't be an array element",
                          "N_ifdef::exec ()-- Internal Error", &refused);
    if (refused || !exists)
        return ran(false);
    body_->exec();
    return ran(true);
}

Gen_type N_ifndef::exec() {
    locate();
    bool refused;
    bool exists = defined(test_.get(), owner, "Ifndef (var): <var> can't be an array element",
                          "N_ifndef::exec () -- Internal Error", &refused);
    if (refused || exists)
        return ran(false);
    body_->exec();
    return ran(true);
}

N_cond_seq::~N_cond_seq() {
    unchain(chain_);
}

// Equivalent to { locate(); v = chain->exec(); check v; return v != 0 ? 1 : next->exec(); } applied
// recursively, walked as a loop because an elif chain leans to the left as long as it is: the spine is
// located top-down, the first branch runs, and each level then either passes on a branch that ran or tries
// its own next branch.  Once a branch has run, every level above answers 1, so nothing else is evaluated.
Gen_type N_cond_seq::exec() {
    locate();
    std::vector<N_cond_seq*> spine{this};
    for (auto* below = dynamic_cast<N_cond_seq*>(chain_.get()); below;
         below = dynamic_cast<N_cond_seq*>(below->chain_.get())) {
        below->locate();
        spine.push_back(below);
    }
    Gen_type value = spine.back()->chain_->exec();
    for (auto it = spine.rbegin(); it != spine.rend(); ++it) {
        if (!value.is_int())
            reporter().fatal("N_cond_seq::exec () -- Internal Error");
        if (value.integer() != 0)
            return ran(true);
        value = (*it)->next_->exec();
    }
    return value;
}

Gen_type N_if_else::exec() {
    locate();
    Gen_type chain = chain_->exec();
    if (!chain.is_int())
        reporter().fatal("N_if_else::exec () -- Internal Error");
    if (chain.integer() != 0)
        return ran(false);
    else_body_->exec();
    return ran(true);
}

Gen_type N_for::exec() {
    locate();
    init_->exec();
    while (cond_->exec().as_bool(reporter())) {
        fuzz_budget_step();
        body_->exec();
        step_->exec();
    }
    return Gen_type(0);
}

Gen_type N_while::exec() {
    locate();
    while (cond_->exec().as_bool(reporter())) {
        fuzz_budget_step();
        body_->exec();
    }
    return Gen_type(0);
}

namespace {

// The element being stored into the loop variable, as the value of an assignment.
class Loop_value : public Node {
public:
    Gen_type exec() override { return value; }
    Gen_type value;
};

} // namespace

// foreach (v in e): e is evaluated once and the loop walks that copy, so changing the array inside the body
// changes nothing about the iterations.  An element loop variable (x[i], x[i][j], $(e)[i]) is stored exactly
// as the assignment x[i] = element would store it, index evaluated anew for each element.  Each element is
// stored with the loop's own location: the body that ran before has moved it.
Gen_type N_foreach::exec() {
    locate();
    auto* ref = var_->is_variable() ? dynamic_cast<N_base_var*>(var_.get()) : nullptr;
    if (!ref)
        reporter().fatal("N_foreach::exec () -- Internal Error");
    const Var_form form = ref->form();
    const Gen_type collection = collection_->exec();
    if (!collection.is_array()) {
        reporter().error("Foreach loops work on arrays as in: foreach (item in array [])");
        return Gen_type(1);
    }

    Loop_value* element_value = nullptr;
    std::unique_ptr<N_assign_rec> element_store;
    if (form == Var_form::element || form == Var_form::nested_element) {
        if (!ref->names_variable())
            reporter().fatal("N_foreach::exec () -- Internal Error");
        auto held = std::make_unique<Loop_value>();
        element_value = held.get();
        element_store = std::make_unique<N_assign_rec>(ref, std::move(held));
        element_store->owner = owner;
        element_store->src = src;
        element_store->line = line;
    }

    for (const Gen_type& element : collection.elements()) {
        locate(); // a step of the fuzz budget too
        if (element_store) {
            element_value->value = element;
            element_store->exec();
        } else if (form == Var_form::variable) {
            owner->set_variable(ref->variable_name(), element);
        } else if (element.is_array()) {
            owner->set_variable(ref->variable_name(), element);
        } else {
            reporter().error("Can't assign scalar to array value");
        }
        body_->exec();
    }
    return Gen_type(0);
}
