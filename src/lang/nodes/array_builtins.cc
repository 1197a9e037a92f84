// Array literals and the array functions.  delete and push change a copy of the array they are given and
// return it; no variable changes.
#include "lang/nodes/array_builtins.h"

#include <vector>

#include "diag/reporter.h"

N_list::~N_list() {
    unchain(left_);
}

// Equivalent to { v = left->exec(); wrap v in a list unless it is one; append right->exec(); } applied
// recursively, but the left spine of N_list nodes (one per comma) is walked as a loop, so that a list of any
// length is evaluated without deep recursion and each value is appended in place.
Gen_type N_list::exec() {
    locate();
    std::vector<N_list*> spine{this};
    for (auto* below = dynamic_cast<N_list*>(left_.get()); below;
         below = dynamic_cast<N_list*>(below->left_.get())) {
        below->locate();
        spine.push_back(below);
    }
    Gen_type first = spine.back()->left_->exec();
    Gen_type list;
    if (first.is_list()) {
        list = std::move(first);
    } else {
        list = Gen_type::empty_list();
        list.elements().push_back(std::move(first));
    }
    list.elements().reserve(list.elements().size() + spine.size());
    // An array value becomes one element: it is not spread.
    for (auto it = spine.rbegin(); it != spine.rend(); ++it)
        list.elements().push_back((*it)->right_->exec());
    return list;
}

// A single array value becomes the one element of a new array; a list becomes the array of its elements, a
// scalar a one-element array, undefined an empty array.
Gen_type N_fix_list::exec() {
    locate();
    Gen_type value = list_->exec();
    if (value.is_array()) {
        Gen_type outer = Gen_type::empty_array();
        outer.elements().push_back(std::move(value));
        return outer;
    }
    value.make_array();
    return value;
}

// delete(array, index[, count]).  Index 0 is accepted although the message says "> 0"; a run past the end
// warns (from erase) and removes nothing.
Gen_type N_del::exec() {
    locate();
    Reporter& r = reporter();
    Gen_type array = a_->exec();
    if (!array.is_array()) {
        r.error("delete requires an array as first variable");
        return Gen_type(-1);
    }
    Gen_type index = b_->exec();
    if (!index.is_int()) {
        r.error("delete requires an int as second variable");
        return Gen_type(-1);
    }
    if (index.integer() < 0) {
        r.error("array indexes must be > 0");
        return Gen_type(-1);
    }
    const auto position = static_cast<std::size_t>(index.integer());
    if (c_) {
        Gen_type count = c_->exec();
        if (!count.is_int()) {
            r.error("delete requires an int as third variable");
            return Gen_type(-1);
        }
        if (count.integer() < 0) {
            r.error("number of elements to delete must be > 0");
            return Gen_type(-1);
        }
        array.erase(reporter(), position, static_cast<std::size_t>(count.integer()));
    } else {
        array.erase(reporter(), position);
    }
    return array;
}

// push(array, value[, index]).  With an index, the index is evaluated before the value and the value
// replaces the element there (the array grows with empty strings up to it); a bad index leaves the array as
// it was after set_element's message.
Gen_type N_push::exec() {
    locate();
    Gen_type array = a_->exec();
    if (!array.is_array()) {
        reporter().error("push requires an array as first variable");
        return Gen_type(-1);
    }
    if (!c_) {
        array.elements().push_back(b_->exec());
        return array;
    }
    Gen_type index = c_->exec();
    Gen_type value = b_->exec();
    Gen_type::set_element(reporter(), array.elements(), index, value, false);
    return array;
}

// fill(format, values): each value in turn replaces the first "%s" of the text as it now stands (so a "%s"
// brought in by a value is the next one replaced); a value with no "%s" left is dropped, and placeholders
// left over stay.
Gen_type N_fill::exec() {
    locate();
    std::string text = a_->exec().to_string(reporter(), true);
    Gen_type values = b_->exec();
    auto fill_one = [&text, this](const Gen_type& value) {
        std::size_t pos = text.find("%s");
        if (pos != std::string::npos)
            text.replace(pos, 2, value.to_string(reporter(), true));
    };
    if (values.is_array() || values.is_list()) {
        for (const Gen_type& value : values.elements())
            fill_one(value);
    } else {
        fill_one(values);
    }
    return Gen_type(std::move(text));
}
