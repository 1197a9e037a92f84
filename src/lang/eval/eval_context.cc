#include "lang/eval/eval_context.h"

#include "diag/reporter.h"
#include "lang/eval/node.h"

Eval_context::Eval_context(Reporter& reporter) : reporter_(reporter) {
    static const char* const months[] = {"January",   "February", "March",    "April",
                                         "May",       "June",     "July",     "August",
                                         "September", "October",  "November", "December"};
    static const char* const days[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                       "Thursday", "Friday", "Saturday"};
    Gen_type m = Gen_type::empty_array();
    for (const char* name : months)
        m.elements().emplace_back(name);
    Gen_type d = Gen_type::empty_array();
    for (const char* name : days)
        d.elements().emplace_back(name);
    variables_.emplace("_months", std::move(m));
    variables_.emplace("_days", std::move(d));
}

Eval_context::~Eval_context() = default;

Node* Eval_context::take_statement() {
    if (pending_.empty())
        return nullptr;
    Node* statement = pending_.back();
    pending_.clear();
    return statement;
}

const Gen_type* Eval_context::peek_variable(const std::string& name) const {
    auto it = variables_.find(name);
    return it == variables_.end() ? nullptr : &it->second;
}

void Eval_context::stamp(Node* node) {
    node->owner = this;
    node->on_registered();
    Reporter& r = reporter();
    node->src = r.scan_name();
    node->line = r.scan_location().line;
}

Gen_type Eval_context::get_variable(const std::string& name) {
    auto it = variables_.find(name);
    variable_read(name, it == variables_.end() ? nullptr : &it->second);
    if (it == variables_.end()) {
        reporter().warning("variable `" + name + "' not defined", name + " not def");
        return Gen_type();
    }
    return it->second;
}

Gen_type Eval_context::set_variable(const std::string& name, const Gen_type& value) {
    variables_changed();
    variables_[name] = value;
    return value;
}

bool Eval_context::remove_variable(const std::string& name) {
    variables_changed();
    return variables_.erase(name) != 0;
}

bool Eval_context::has_variable(const std::string& name) const {
    return variables_.count(name) != 0;
}

Gen_type* Eval_context::find_variable(const std::string& name) {
    // The value may be changed in place.
    variables_changed();
    auto it = variables_.find(name);
    return it == variables_.end() ? nullptr : &it->second;
}

Gen_type Eval_context::get_variable_element(const std::string& name, const Gen_type& index) {
    const Gen_type* value = find_variable(name);
    if (!value) {
        get_variable(name); // the not-defined warning
        return Gen_type();
    }
    if (!value->is_array())
        return Gen_type();
    return Gen_type::element(reporter_, value->elements(), index);
}

// Works on the stored array in place: the same result as writing a changed copy back, without copying.
Gen_type Eval_context::set_variable_element(const std::string& name, const Gen_type& index,
                                            const Gen_type& value, bool insert) {
    Gen_type* whole = find_variable(name);
    if (!whole)
        get_variable(name); // the not-defined warning
    if (!whole || !whole->is_array()) {
        reporter().error(name + " is not an array");
        return Gen_type("");
    }
    // The value may be (part of) the variable itself: copy it before the array changes.
    Gen_type copy = value; // NOLINT(performance-unnecessary-copy-initialization): `value` may alias the array
    return Gen_type::set_element(reporter_, whole->elements(), index, copy, insert);
}

std::string Eval_context::adjust_level() {
    int32_t n = output_level_ - root_level_;
    if (n < 0) {
        reporter().warning("Can't adjust level: output file outside root directory", "No adjust");
        return std::string();
    }
    std::string out;
    out.reserve(static_cast<std::size_t>(n) * 3);
    for (int32_t i = 0; i < n; ++i)
        out += "../";
    return out;
}
