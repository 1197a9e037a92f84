// Constants, conversions, type tests and the one-operand operators.
#include "lang/nodes/expressions.h"

#include "diag/reporter.h"

namespace {

// The escape sequences of a string constant.  Scanning resumes after each replacement, so a replaced text
// is never scanned again; a backslash before any other byte, or at the very end, stays as written.
std::string unescape(const std::string& text) {
    std::size_t pos = text.find('\\');
    if (pos == std::string::npos)
        return text;
    std::string out(text, 0, pos);
    out.reserve(text.size());
    const std::size_t n = text.size();
    while (pos < n) {
        char c = text[pos];
        if (c != '\\' || pos + 1 == n) {
            out += c;
            ++pos;
            continue;
        }
        char next = text[pos + 1];
        switch (next) {
        case '\\':
        case '"':
        case '\'':
        case '`':
            out += next;
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '\n':
            break;
        default:
            out += c;
            out += next;
            break;
        }
        pos += 2;
    }
    return out;
}

Gen_type truth(bool value) {
    return Gen_type(value ? 1 : 0);
}

} // namespace

// The escapes are processed anew at each evaluation: the node keeps the text as the source wrote it.
Gen_type N_const::exec() {
    locate();
    if (value_.is_int())
        return value_;
    if (value_.is_string())
        return Gen_type(unescape(value_.text()));
    reporter().fatal("N_const::exec () -- Internal Error");
}

Gen_type N_tobool::exec() {
    locate();
    return truth(operand_->exec().to_bool(reporter()));
}

// An array converts to its element count, but only after the error.
Gen_type N_toint::exec() {
    locate();
    Gen_type v = operand_->exec();
    if (v.is_array())
        reporter().error("can't convert array to integer");
    return Gen_type(v.to_int(reporter()));
}

Gen_type N_tostring::exec() {
    locate();
    return Gen_type(operand_->exec().to_string(reporter(), false));
}

// Undefined converts to the integer 0, not to an empty array.
Gen_type N_toarray::exec() {
    locate();
    Gen_type v = operand_->exec();
    switch (v.kind()) {
    case Value_kind::array:
        return v;
    case Value_kind::string:
    case Value_kind::integer: {
        Gen_type a = Gen_type::empty_array();
        a.elements().push_back(std::move(v));
        return a;
    }
    case Value_kind::undefined:
        return Gen_type(0);
    default:
        reporter().fatal("N_toarray::exec () -- Internal Error");
    }
}

Gen_type N_isint::exec() {
    locate();
    return truth(operand_->exec().is_int());
}

Gen_type N_isstring::exec() {
    locate();
    return truth(operand_->exec().is_string());
}

Gen_type N_isarray::exec() {
    locate();
    return truth(operand_->exec().is_array());
}

Gen_type N_not::exec() {
    locate();
    return truth(!operand_->exec().as_bool(reporter()));
}

Gen_type N_uminus::exec() {
    locate();
    return negate(reporter(), operand_->exec());
}
