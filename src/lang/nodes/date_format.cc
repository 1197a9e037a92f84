// The date and size formats of date, fdate and fsize.
//
// Both scan the format for "#" and replace a known directive (the "#" and the byte after it) by its text.
// The scan goes on at the byte just after the "#" it handled, so it resumes inside the inserted text (from
// its second byte): "##d" is "#" followed by the day.  A "#" that is the last byte of the format has no
// directive byte and stays as it is, like a "#" before any other byte.
#include <ctime>
#include <locale>
#include <sstream>

#include "lang/eval/eval_context.h"
#include "lang/nodes/file_builtins.h"

namespace {

std::string two_digits(int value) {
    std::string text = int_to_text(value);
    return value <= 9 && value >= 0 ? "0" + text : text;
}

// A day or month name: element `index` of the named array variable, read anew each time so that a source
// that redefines the names changes them.  A missing variable warns; a missing or non-string element is the
// value type's internal error.
std::string name_from(Eval_context& store, const char* variable, int index) {
    return store.get_variable_element(variable, Gen_type(index)).get_string(store.reporter());
}

// Default ostream formatting: 6 significant digits, fixed or exponent notation, whichever is shorter.
std::string stream_double(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

// Replaces each "#x" for which `directive` gives a replacement (returns false to leave both bytes).
template <class F> std::string apply_format(std::string text, F directive) {
    std::string replacement;
    for (std::size_t pos = text.find('#'); pos != std::string::npos; pos = text.find('#', pos + 1)) {
        if (pos + 1 >= text.size())
            break;
        replacement.clear();
        if (directive(text[pos + 1], replacement))
            text.replace(pos, 2, replacement);
    }
    return text;
}

} // namespace

std::string format_date(Eval_context& store, const std::string& format, long long when) {
    std::time_t t = static_cast<std::time_t>(when);
    std::tm tm{};
    // localtime (not localtime_r): it reads the time zone anew at each call.
    if (const std::tm* local = std::localtime(&t))
        tm = *local;
    return apply_format(format, [&](char c, std::string& out) {
        switch (c) {
        case 'D':
            out = name_from(store, "_days", tm.tm_wday);
            return true;
        case 'M':
            out = name_from(store, "_months", tm.tm_mon);
            return true;
        case 'd':
            out = int_to_text(tm.tm_mday);
            return true;
        case 'h':
            out = int_to_text(tm.tm_hour);
            return true;
        case 'm':
            out = int_to_text(tm.tm_mon + 1);
            return true;
        case 'n':
            out = two_digits(tm.tm_min);
            return true;
        case 's':
            out = two_digits(tm.tm_sec);
            return true;
        case 'y':
            out = int_to_text(tm.tm_year + 1900);
            return true;
        default:
            return false;
        }
    });
}

std::string format_size(const std::string& format, long long size) {
    return apply_format(format, [&](char c, std::string& out) {
        switch (c) {
        case 'b':
            out = std::to_string(size);
            return true;
        case 'k':
            out = stream_double(static_cast<double>(size) / 1024.0);
            return true;
        case 'm':
            out = stream_double(static_cast<double>(size) / 1048576.0);
            return true;
        default:
            return false;
        }
    });
}
