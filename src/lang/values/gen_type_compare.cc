// Ordering comparisons, strict equality and loose equality of Gen_type values.
#include <cstring>

#include "diag/reporter.h"
#include "lang/values/gen_type.h"

namespace {

Gen_type truth(bool value) {
    return Gen_type(value ? 1 : 0);
}

enum class Order { greater, less, greater_equal, less_equal };

struct Order_texts {
    const char* operator_name;
    const char* arrays;
    const char* internal;
};

// Indexed by Order.  The array text of `>` differs in punctuation and case from the other three.
const Order_texts order_texts[] = {
    {">", ">; can't compare arrays", "Gen_type::>: Internal error"},
    {"<", "<: Can't compare arrays", "Gen_type::<: Internal error"},
    {">=", ">=: Can't compare arrays", "Gen_type::>=: Internal error"},
    {"<=", "<=: Can't compare arrays", "Gen_type::<=: Internal error"},
};

// Unsigned bytes over the shorter length; then the shorter text is the smaller.
int compare_texts(const std::string& a, const std::string& b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    if (common != 0) {
        const int c = std::memcmp(a.data(), b.data(), common);
        if (c != 0)
            return c;
    }
    return (a.size() > b.size()) - (a.size() < b.size());
}

Gen_type order(Reporter& r, const Gen_type& a, const Gen_type& b, Order op) {
    const Order_texts& texts = order_texts[static_cast<int>(op)];
    if (a.is_array() || b.is_array()) {
        r.error(texts.arrays);
        return truth(false);
    }
    if (a.kind() != b.kind()) {
        r.error(std::string(texts.operator_name) + "; can't compare operands of different types");
        return truth(false);
    }
    int c = 0; // sign of a - b; two undefined values count as equal
    if (a.is_string())
        c = compare_texts(a.text(), b.text());
    else if (a.is_int())
        c = (a.integer() > b.integer()) - (a.integer() < b.integer());
    else if (!a.is_undefined())
        r.fatal(texts.internal);
    switch (op) {
    case Order::greater:
        return truth(c > 0);
    case Order::less:
        return truth(c < 0);
    case Order::greater_equal:
        return truth(c >= 0);
    case Order::less_equal:
        break;
    }
    return truth(c <= 0);
}

// Same kind and same contents, recursively for arrays.  Two lists are an internal error with the caller's
// text.
bool strictly_equal(Reporter& r, const Gen_type& a, const Gen_type& b, const char* lists_text) {
    if (a.kind() != b.kind())
        return false;
    switch (a.kind()) {
    case Value_kind::string:
        return a.text() == b.text();
    case Value_kind::integer:
        return a.integer() == b.integer();
    case Value_kind::undefined:
        return true;
    case Value_kind::array: {
        const auto& x = a.elements();
        const auto& y = b.elements();
        if (x.size() != y.size())
            return false;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!strictly_equal(r, x[i], y[i], lists_text))
                return false;
        return true;
    }
    default:
        r.fatal(lists_text);
    }
}

struct Loose_texts {
    const char* scalar_full;
    const char* scalar_brief;
    const char* lists;
};

const Loose_texts loose_eq_texts = {"~==: can't compare array with scalar type; comparison FALSE",
                                    "~==: compare array with scalar; FALSE",
                                    "Gen_type::==|~==: Internal error"};
const Loose_texts loose_neq_texts = {"~!=: can't compare array with scalar type; comparison TRUE",
                                     "~!=: compare array with scalar; TRUE", "Gen_type::!=: Internal error"};

// The text a scalar stands for when compared with a string (undefined is the empty text).
std::string loose_text(const Gen_type& v) {
    return v.is_int() ? int_to_text(v.integer()) : v.text();
}

bool loosely_equal(Reporter& r, const Gen_type& a, const Gen_type& b, const Loose_texts& texts) {
    if (a.kind() == b.kind() && !a.is_array())
        return strictly_equal(r, a, b, texts.lists);
    if (a.is_array() && b.is_array()) {
        const auto& x = a.elements();
        const auto& y = b.elements();
        if (x.size() != y.size())
            return false;
        for (std::size_t i = 0; i < x.size(); ++i)
            if (!loosely_equal(r, x[i], y[i], texts))
                return false;
        return true;
    }
    if (a.is_array() || b.is_array()) {
        r.warning(texts.scalar_full, texts.scalar_brief);
        return false;
    }
    if (a.is_list() || b.is_list())
        r.fatal("Gen_type::~==: Internal error");
    // Two scalars of different kinds: integer, string, undefined.
    if (a.is_string() || b.is_string())
        return loose_text(a) == loose_text(b);
    const int32_t x = a.is_int() ? a.integer() : 0;
    const int32_t y = b.is_int() ? b.integer() : 0;
    return x == y;
}

} // namespace

Gen_type greater(Reporter& r, const Gen_type& a, const Gen_type& b) {
    return order(r, a, b, Order::greater);
}

Gen_type less(Reporter& r, const Gen_type& a, const Gen_type& b) {
    return order(r, a, b, Order::less);
}

Gen_type greater_equal(Reporter& r, const Gen_type& a, const Gen_type& b) {
    return order(r, a, b, Order::greater_equal);
}

Gen_type less_equal(Reporter& r, const Gen_type& a, const Gen_type& b) {
    return order(r, a, b, Order::less_equal);
}

Gen_type equal(Reporter& r, const Gen_type& a, const Gen_type& b) {
    return truth(strictly_equal(r, a, b, "Gen_type::==|~==: Internal error"));
}

Gen_type not_equal(Reporter& r, const Gen_type& a, const Gen_type& b) {
    return truth(!strictly_equal(r, a, b, "Gen_type::!=: Internal error"));
}

Gen_type loose_eq(Reporter& r, const Gen_type& a, const Gen_type& b) {
    return truth(loosely_equal(r, a, b, loose_eq_texts));
}

Gen_type loose_neq(Reporter& r, const Gen_type& a, const Gen_type& b) {
    return truth(!loosely_equal(r, a, b, loose_neq_texts));
}
