// Assignment (plain, compound and `= {}`) and increment/decrement.
#include <string>
#include <vector>

#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/nodes/expressions.h"

N_assign::N_assign(Node_ptr target, Node_ptr value, bool define_only)
    : N_assign_base(define_only), target_(static_cast<N_base_var*>(target.get())),
      target_owner_(std::move(target)), value_(std::move(value)) {}

N_assign_rec::N_assign_rec(Node* target, Node_ptr combine)
    : N_assign_base(false), target_(static_cast<N_base_var*>(target)), combine_(std::move(combine)) {}

namespace {

// x[i][j] = value (any depth; `target` is the outermost element reference, which names a variable).
// For two indices, in this order: (a) the whole variable is read; (b) the first index is evaluated and read
// as an integer; (c) the inner value is that element (a whole value that is no array counts as an empty
// one); (d) the last index is evaluated and read as an integer; (e) the value is written into the inner
// value; (f) the name and the first index are evaluated again and the inner value is stored back as the
// element.  With more indices every intermediate container is read on the way down, in index order, and
// written back into the one holding it before (f), so that x[1][2][3] changes exactly that element.
Gen_type assign_nested(Eval_context* store, N_base_var* target, const std::string& name,
                       const Gen_type& value) {
    std::vector<Node*> indices; // first index first
    {
        std::vector<N_base_var*> levels; // the element-of-element references, outermost first
        N_base_var* base = target;
        while (base->form() == Var_form::nested_element) {
            levels.push_back(base);
            base = static_cast<N_base_var*>(base->inner());
        }
        if (base->form() == Var_form::element)
            indices.push_back(base->index());
        for (auto it = levels.rbegin(); it != levels.rend(); ++it)
            indices.push_back((*it)->index());
    }
    // (x)[i] or x[][i]: one index only, an element of the variable itself.
    if (indices.size() == 1)
        return store->set_variable_element(name, indices[0]->exec(), value, false);

    Gen_type whole = store->get_variable(name);
    const std::vector<Gen_type> no_elements;
    std::vector<Gen_type> containers; // containers[k] is the element at positions[0..k]
    std::vector<int32_t> positions;
    containers.reserve(indices.size() - 1);
    positions.reserve(indices.size() - 1);
    const Gen_type* outer = &whole;
    for (std::size_t k = 0; k + 1 < indices.size(); ++k) {
        positions.push_back(indices[k]->exec().get_int(store->reporter()));
        const std::vector<Gen_type>& elements = outer->is_array() ? outer->elements() : no_elements;
        containers.push_back(Gen_type::element(store->reporter(), elements, Gen_type(positions.back())));
        outer = &containers.back();
    }
    int32_t last = indices.back()->exec().get_int(store->reporter());
    Gen_type::set_element(store->reporter(), containers.back().elements(), Gen_type(last), value, false);
    for (std::size_t k = containers.size() - 1; k > 0; --k)
        Gen_type::set_element(store->reporter(), containers[k - 1].elements(), Gen_type(positions[k]),
                              containers[k], false);

    std::string name_again = target->variable_name();
    Gen_type first_again = indices[0]->exec();
    return store->set_variable_element(name_again, first_again, containers[0], false);
}

// Stores `value` into what the target designates; the result is the assignment's value.
Gen_type store_value(Eval_context* store, N_base_var* target, const std::string& name,
                     const Gen_type& value) {
    switch (target->form()) {
    case Var_form::array:
        if (!value.is_array()) {
            store->reporter().error("can't assign scalar value to array variable");
            return Gen_type("");
        }
        return store->set_variable(name, value);
    case Var_form::element: {
        Gen_type index = target->index()->exec();
        return store->set_variable_element(name, index, value, false);
    }
    case Var_form::nested_element:
        return assign_nested(store, target, name, value);
    default:
        return store->set_variable(name, value);
    }
}

} // namespace

// `=` and the compound assignments.  The target's name is computed first (for $(e), its expression is
// evaluated here), then the value.  An element of an expression that is no variable reference cannot be
// assigned; the grammar refuses such a target, so meeting one here is an internal error.
Gen_type N_assign_base::exec() {
    locate();
    N_base_var* t = target();
    if (!t->names_variable())
        reporter().fatal("N_assign::exec () -- Internal Error");
    std::string name = t->variable_name();
    // The start of a captured type block keeps a variable that exists already.
    if (define_only_ && owner->has_variable(name))
        return value()->exec();
    Gen_type v = value()->exec();
    return store_value(owner, t, name, v);
}

// x = {} replaces the variable with an empty array.  For an element target (x[1] = {}) only that element
// becomes an empty array, exactly as x[1] = e would store an empty array held by e; the rest of x stays.
Gen_type N_empty_array::exec() {
    locate();
    auto* t = dynamic_cast<N_base_var*>(target_.get());
    if (!t || !t->names_variable())
        reporter().fatal("N_empty_array::exec () -- Internal Error");
    std::string name = t->variable_name();
    if (t->form() == Var_form::element || t->form() == Var_form::nested_element)
        return store_value(owner, t, name, Gen_type::empty_array());
    return owner->set_variable(name, Gen_type::empty_array());
}

// ++x, --x, x++, x--.  Only a whole variable or a one-index element is incremented.  For an element of an
// element (x[1][2]++) the whole variable is read, which is an array, and so the operator is refused as
// applying to a non-integer; it is refused even when the whole variable happens to hold an integer, so that
// x[1][2]++ can never change x itself.
Gen_type N_epp::exec() {
    locate();
    const std::string op = step_ > 0 ? "++" : "--";
    auto* v = operand_->is_variable() ? dynamic_cast<N_base_var*>(operand_.get()) : nullptr;
    if (!v || !v->names_variable()) {
        reporter().error(op + " can only apply to variables");
        return Gen_type(-1);
    }
    std::string name = v->variable_name();
    const bool element = v->form() == Var_form::element;
    Gen_type current =
        element ? owner->get_variable_element(name, v->index()->exec()) : owner->get_variable(name);
    if (!current.is_int() || v->form() == Var_form::nested_element) {
        reporter().error(op + " can only apply to integers");
        return Gen_type(-1);
    }
    // Wraps around like the language's integer arithmetic.
    Gen_type next(static_cast<int32_t>(static_cast<uint32_t>(current.get_int(reporter())) +
                                       static_cast<uint32_t>(step_)));
    if (element)
        owner->set_variable_element(name, v->index()->exec(), next, false);
    else
        owner->set_variable(name, next);
    return old_value_ ? current : next;
}
