// Arithmetic on Gen_type values: + - * / % and power.  Integer results wrap as 32-bit two's complement;
// every sum, difference and product is formed in 64 bits and cut down, so no signed overflow ever happens.
#include <algorithm>
#include <cmath>
#include <limits>

#include "base/fuzz_budget.h"
#include "diag/reporter.h"
#include "lang/values/gen_type.h"

namespace {

constexpr int32_t int_max = std::numeric_limits<int32_t>::max();
constexpr int32_t int_min = std::numeric_limits<int32_t>::min();

int32_t wrap(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

bool numeric(const Gen_type& v) {
    return v.is_int() || v.is_undefined();
}

// Undefined counts as 0.
int32_t number(const Gen_type& v) {
    return v.is_int() ? v.integer() : 0;
}

std::string repeat_text(const std::string& text, int32_t count) {
    std::string out;
    if (count < 1 || text.empty())
        return out;
    const auto times = static_cast<std::size_t>(count);
    fuzz_budget_grow(text.size() * times);
    // Doubling what is already there: one append per bit of the count, not one per copy.
    const std::size_t total = text.size() * times;
    out = text;
    if (total <= out.max_size())
        out.reserve(total);
    while (out.size() < total)
        out.append(out, 0, std::min(out.size(), total - out.size()));
    return out;
}

Gen_type repeat_elements(const Gen_type& array, int32_t count) {
    Gen_type out = Gen_type::empty_array();
    if (array.elements().empty() || count < 1)
        return out;
    // `array` is not `out`: its elements can be copied in directly, into room made once.
    const std::vector<Gen_type>& from = array.elements();
    std::vector<Gen_type>& to = out.elements();
    const std::size_t total = from.size() * static_cast<std::size_t>(count);
    fuzz_budget_grow(total * sizeof(Gen_type));
    to.reserve(total);
    for (int32_t i = 0; i < count; ++i)
        to.insert(to.end(), from.begin(), from.end());
    return out;
}

Gen_type array_of_empty_string() {
    Gen_type out = Gen_type::empty_array();
    out.elements().emplace_back(std::string());
    return out;
}

// Shared by /, % and power, which report with one set of texts.
bool division_operands(Reporter& r, const Gen_type& a, const Gen_type& b) {
    if (!numeric(a)) {
        r.error("operator /; first operand has bad type");
        return false;
    }
    if (!numeric(b)) {
        r.error("operator /; second operand has bad type");
        return false;
    }
    return true;
}

} // namespace

Gen_type plus(Reporter& r, const Gen_type& a, const Gen_type& b) {
    if (a.is_array() || a.is_list() || b.is_array() || b.is_list()) {
        Gen_type out = Gen_type::empty_array();
        out.append(a);
        out.append(b);
        return out;
    }
    if (a.is_undefined())
        return b;
    if (b.is_undefined())
        return a;
    if (a.is_int() && b.is_int())
        return Gen_type(wrap(int64_t{a.integer()} + b.integer()));
    if ((a.is_int() || a.is_string()) && (b.is_int() || b.is_string())) {
        fuzz_budget_grow(a.text().size() + b.text().size());
        return Gen_type(a.to_string(r, false) + b.to_string(r, false));
    }
    r.fatal("Gen_type::+: Internal error");
}

Gen_type minus(Reporter& r, const Gen_type& a, const Gen_type& b) {
    if (!numeric(a)) {
        r.error("operator -; first operand has bad type");
        return Gen_type(-1);
    }
    if (!numeric(b)) {
        r.error("operator -; second operand has bad type");
        return Gen_type(-1);
    }
    return Gen_type(wrap(int64_t{number(a)} - number(b)));
}

Gen_type negate(Reporter& r, const Gen_type& a) {
    switch (a.kind()) {
    case Value_kind::integer:
        return Gen_type(wrap(-int64_t{a.integer()})); // the smallest integer stays itself
    case Value_kind::undefined:
        return Gen_type();
    case Value_kind::array:
        r.error("-: Can't negate an array variable");
        return Gen_type(a.text());
    case Value_kind::string:
        r.error("-: Can't negate a string variable");
        return a;
    default:
        r.fatal("Gen_type::- Internal error");
    }
}

Gen_type multiply(Reporter& r, const Gen_type& a, const Gen_type& b) {
    auto bad_types = [&r] {
        r.error("operator *; bad type(s)");
        return Gen_type(-1);
    };
    if (a.is_list() || b.is_list()) {
        const Gen_type& other = a.is_list() ? b : a;
        if (numeric(other))
            r.fatal("Gen_type::operator*; Internal Error");
        return bad_types();
    }
    switch (a.kind()) {
    case Value_kind::integer:
        if (b.is_int())
            return Gen_type(wrap(int64_t{a.integer()} * b.integer()));
        if (b.is_string())
            return Gen_type(repeat_text(b.text(), a.integer()));
        if (b.is_array())
            return repeat_elements(b, a.integer());
        return Gen_type(0);
    case Value_kind::undefined:
        if (b.is_int())
            return Gen_type(0);
        if (b.is_array())
            return array_of_empty_string();
        return Gen_type(std::string());
    case Value_kind::string:
        if (b.is_int())
            return Gen_type(repeat_text(a.text(), b.integer()));
        if (b.is_undefined())
            return Gen_type(std::string());
        return bad_types();
    default: // array
        if (b.is_int())
            return repeat_elements(a, b.integer());
        if (b.is_undefined())
            return array_of_empty_string();
        return bad_types();
    }
}

Gen_type divide(Reporter& r, const Gen_type& a, const Gen_type& b) {
    if (!division_operands(r, a, b))
        return Gen_type(-1);
    if (number(b) == 0) {
        r.error("operator /; division by 0");
        return Gen_type(-1);
    }
    // Formed in 64 bits: the smallest integer divided by -1 wraps back to itself, like the other operations.
    return Gen_type(wrap(int64_t{number(a)} / number(b)));
}

Gen_type modulo(Reporter& r, const Gen_type& a, const Gen_type& b) {
    if (!division_operands(r, a, b))
        return Gen_type(-1);
    if (number(b) == 0) {
        r.error("operator /; division by 0");
        return Gen_type(-1);
    }
    // Formed in 64 bits: the smallest integer modulo -1 is 0 instead of a trap.
    return Gen_type(wrap(int64_t{number(a)} % number(b)));
}

Gen_type power(Reporter& r, const Gen_type& a, const Gen_type& b) {
    if (!division_operands(r, a, b))
        return Gen_type(-1);
    const double result = std::pow(static_cast<double>(number(a)), static_cast<double>(number(b)));
    // A result beyond the 32-bit range (0 to a negative power is +inf) clamps to the limit of its sign, and
    // NaN gives 0: converting such a double to an integer directly is undefined.
    if (std::isnan(result))
        return Gen_type(0);
    if (result >= 2147483648.0)
        return Gen_type(int_max);
    if (result <= -2147483649.0)
        return Gen_type(int_min);
    return Gen_type(static_cast<int32_t>(result)); // truncates toward zero
}
