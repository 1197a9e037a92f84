// Construction, payload access, conversions and the element operations of Gen_type.
#include "lang/values/gen_type.h"

#include <cctype>
#include <limits>

#include "base/fuzz_budget.h"
#include "diag/reporter.h"

namespace {

void warn_out_of_bound(Reporter& r) {
    r.warning("Array index out of bound", "Out of bound");
}

// Reads a decimal number the way atoi does (leading white space, an optional sign, digits up to the first
// other byte).  A number beyond the 32-bit range saturates to the nearest limit instead of overflowing.
int32_t text_to_int(const std::string& text) {
    constexpr int64_t limit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t magnitude = 0; // kept at or below limit, so it never overflows
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            magnitude = limit;
    }
    if (negative)
        return static_cast<int32_t>(-magnitude);
    return static_cast<int32_t>(magnitude < limit ? magnitude : limit - 1);
}

} // namespace

std::string int_to_text(int32_t value) {
    return std::to_string(value);
}

Gen_type Gen_type::empty_array() {
    Gen_type value;
    value.kind_ = Value_kind::array;
    return value;
}

Gen_type Gen_type::empty_list() {
    Gen_type value;
    value.kind_ = Value_kind::list;
    return value;
}

int32_t Gen_type::get_int(Reporter& r) const {
    if (!is_int())
        r.fatal("Gen_type::get_int () -- Internal Error");
    return integer_;
}

const std::string& Gen_type::get_string(Reporter& r) const {
    if (!is_string())
        r.fatal("Gen_type::get_string () -- Internal Error");
    return text_;
}

const std::vector<Gen_type>& Gen_type::get_array(Reporter& r) const {
    if (!is_array())
        r.fatal("Gen_type::get_array () -- Internal Error");
    return elements_;
}

const std::vector<Gen_type>& Gen_type::get_list(Reporter& r) const {
    if (!is_list())
        r.fatal("Gen_type::get_list () -- Internal Error");
    return elements_;
}

bool Gen_type::as_bool(Reporter& r) const {
    if (is_list())
        r.fatal("Gen_type::bool () Internal error");
    return to_bool(r);
}

bool Gen_type::to_bool(Reporter& r) const {
    switch (kind_) {
    case Value_kind::array:
        return !elements_.empty();
    case Value_kind::string:
        return !text_.empty();
    case Value_kind::integer:
        return integer_ != 0;
    case Value_kind::undefined:
        return false;
    default:
        r.fatal("Gen_type::to_bool () -- Internal Error");
    }
}

int32_t Gen_type::to_int(Reporter& r) const {
    switch (kind_) {
    case Value_kind::array:
        return elements_.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())
                   ? std::numeric_limits<int32_t>::max()
                   : static_cast<int32_t>(elements_.size());
    case Value_kind::string:
        return text_to_int(text_);
    case Value_kind::integer:
        return integer_;
    case Value_kind::undefined:
        return 0;
    default:
        r.fatal("Gen_type::to_int () -- Internal Error");
    }
}

std::string Gen_type::to_string(Reporter& r, bool arrays_forbidden) const {
    switch (kind_) {
    case Value_kind::string:
        return text_;
    case Value_kind::integer:
        return int_to_text(integer_);
    case Value_kind::undefined:
        return std::string();
    case Value_kind::array: {
        if (arrays_forbidden) {
            r.error("Arrays not allowed within this context");
            return std::string();
        }
        std::string out = "{ ";
        for (std::size_t i = 0; i < elements_.size(); ++i) {
            if (i != 0)
                out += ", ";
            out += elements_[i].to_string(r, false);
        }
        out += " }";
        return out;
    }
    default:
        r.fatal("Gen_type::to_string () -- Internal Error");
    }
}

void Gen_type::make_array() {
    // The value's own integer and text stay: only the kind and the elements change.
    if (kind_ == Value_kind::string)
        elements_.assign(1, Gen_type(text_));
    else if (kind_ == Value_kind::integer)
        elements_.assign(1, Gen_type(integer_));
    kind_ = Value_kind::array;
}

void Gen_type::append(const Gen_type& value) {
    // Copy first: the value may be this very array or one of its elements, which growing would move.
    fuzz_budget_grow((elements_.size() + value.elements_.size()) * sizeof(Gen_type));
    if (value.is_array() || value.is_list()) {
        std::vector<Gen_type> copies = value.elements_;
        elements_.insert(elements_.end(), std::make_move_iterator(copies.begin()),
                         std::make_move_iterator(copies.end()));
    } else {
        Gen_type copy = value;
        elements_.push_back(std::move(copy));
    }
}

Gen_type Gen_type::element(Reporter& r, const std::vector<Gen_type>& elements, const Gen_type& index) {
    if (!index.is_int()) {
        r.error("index must be an integer");
        return Gen_type(-1);
    }
    if (elements.empty()) {
        r.warning("Empty Array");
        return Gen_type(-1);
    }
    if (index.integer_ < 0 || static_cast<std::size_t>(index.integer_) >= elements.size()) {
        warn_out_of_bound(r);
        return Gen_type(-1);
    }
    return elements[static_cast<std::size_t>(index.integer_)];
}

Gen_type Gen_type::set_element(Reporter& r, std::vector<Gen_type>& elements, const Gen_type& index,
                               const Gen_type& value, bool insert) {
    if (!index.is_int()) {
        r.error("index must be an integer");
        return Gen_type(-1);
    }
    // A negative index would write before the array: refused like an out-of-bound read, array unchanged.
    if (index.integer_ < 0) {
        warn_out_of_bound(r);
        return Gen_type(-1);
    }
    // Index and value are read before the sequence changes: either may live inside it.
    const std::size_t position = static_cast<std::size_t>(index.integer_);
    Gen_type written = value;
    if (position < elements.size()) {
        if (insert)
            elements.insert(elements.begin() + static_cast<std::ptrdiff_t>(position), written);
        else
            elements[position] = written;
    } else {
        fuzz_budget_grow((position + 1) * sizeof(Gen_type));
        elements.resize(position, Gen_type(std::string()));
        elements.push_back(written);
    }
    return written;
}

void Gen_type::erase(Reporter& r, std::size_t position) {
    if (!is_array())
        r.fatal("Gen_type::erase called on non array variable");
    if (position >= elements_.size()) {
        warn_out_of_bound(r);
        return;
    }
    elements_.erase(elements_.begin() + static_cast<std::ptrdiff_t>(position));
}

void Gen_type::erase(Reporter& r, std::size_t position, std::size_t count) {
    if (!is_array())
        r.fatal("Gen_type::erase called on non array variable");
    // position + count > size, written so that the sum cannot wrap.
    if (position > elements_.size() || count > elements_.size() - position) {
        warn_out_of_bound(r);
        return;
    }
    auto first = elements_.begin() + static_cast<std::ptrdiff_t>(position);
    elements_.erase(first, first + static_cast<std::ptrdiff_t>(count));
}
