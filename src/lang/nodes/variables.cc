// Variable references (direct and indirect), their names, and the removal of a variable.
#include <string>

#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/nodes/expressions.h"

namespace {

void index_not_integer(Reporter& reporter) {
    reporter.error("array index must be an integer");
}

// Element `index` (an integer) of the variable `name`.  The variable is read in place: only the element is
// copied, never the whole array.
Gen_type read_element(Eval_context* store, const std::string& name, const Gen_type& index) {
    const Gen_type* whole = store->find_variable(name);
    if (!whole) {
        store->get_variable(name); // the not-defined warning
    } else if (whole->is_array()) {
        return Gen_type::element(store->reporter(), whole->elements(), index);
    }
    store->reporter().error(name + " is not an array");
    return Gen_type("");
}

} // namespace

// x, x[]: the whole variable.  x[i]: the index is evaluated before the variable is read.  x[i][j] (or any
// indexed expression): the last index first, then the inner reference with its own messages.
Gen_type N_var::exec() {
    locate();
    switch (form_) {
    case Var_form::element: {
        Gen_type index = index_->exec();
        if (!index.is_int()) {
            index_not_integer(reporter());
            return Gen_type("");
        }
        return read_element(owner, name_, index);
    }
    case Var_form::nested_element: {
        Gen_type index = index_->exec();
        if (!index.is_int()) {
            index_not_integer(reporter());
            return Gen_type("");
        }
        Gen_type inner = inner_->exec();
        if (inner.is_array())
            return Gen_type::element(reporter(), inner.elements(), index);
        reporter().error("trying to extract element from non array variable");
        return Gen_type("");
    }
    default:
        return owner->get_variable(name_);
    }
}

// An element of an element is named by the variable it lies in.  An indexed expression that is no variable
// reference has no name (the grammar refuses it where a name is needed).
std::string N_var::variable_name() {
    if (form_ != Var_form::nested_element)
        return name_;
    auto* inner = dynamic_cast<N_base_var*>(inner_.get());
    return inner ? inner->variable_name() : std::string();
}

// $(e): the name is the value of e, evaluated at each use.
std::string N_ind_expr::variable_name() {
    Gen_type name = name_expr_->exec();
    if (name.is_string())
        return name.text();
    reporter().error("$ (expr): expr must be a string variable");
    return std::string();
}

// Unlike N_var, the name is computed before the index is evaluated.
Gen_type N_ind_expr::exec() {
    locate();
    if (form_ == Var_form::nested_element)
        reporter().fatal("N_ind_expr::exec () -- Internal Error");
    std::string name = variable_name();
    if (form_ != Var_form::element)
        return owner->get_variable(name);
    Gen_type index = index_->exec();
    if (!index.is_int()) {
        index_not_integer(reporter());
        return Gen_type("");
    }
    return read_element(owner, name, index);
}

// undef(x): the name is computed (for $(e)) before an element target is refused.
Gen_type N_undef::exec() {
    locate();
    auto* target = dynamic_cast<N_base_var*>(target_.get());
    if (!target)
        reporter().fatal("N_undef::exec () -- Internal Error");
    std::string name = target->variable_name();
    if (target->form() == Var_form::element || target->form() == Var_form::nested_element) {
        reporter().error("can't undef an array element");
        return Gen_type(0);
    }
    if (!owner->remove_variable(name))
        reporter().warning("variable `" + name + "' not defined");
    return Gen_type(0);
}
