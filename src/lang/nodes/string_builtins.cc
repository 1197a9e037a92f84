// The string functions.  Text arguments are converted with arrays refused (an array counts as the empty
// text after the error); integer arguments are not converted and must already be integers.
#include "lang/nodes/string_builtins.h"

#include <cctype>
#include <limits>

#include "base/fuzz_budget.h"
#include "diag/reporter.h"

namespace {

std::string text_arg(Node* n) {
    return n->exec().to_string(n->reporter(), true);
}

// A byte offset as the functions' integer result; npos becomes -1.
Gen_type position(std::size_t pos) {
    if (pos == std::string::npos)
        return Gen_type(-1);
    return Gen_type(static_cast<int32_t>(pos));
}

Gen_type count(std::size_t n) {
    constexpr std::size_t max = static_cast<std::size_t>(std::numeric_limits<int32_t>::max());
    return Gen_type(static_cast<int32_t>(n > max ? max : n));
}

Gen_type empty_text() {
    return Gen_type(std::string());
}

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

} // namespace

Gen_type N_substr::exec() {
    locate();
    Reporter& r = reporter();
    std::string text = text_arg(a_.get());
    Gen_type start = b_->exec();
    if (!start.is_int()) {
        r.error("substring() second parameter must be an integer");
        return empty_text();
    }
    if (start.integer() < 0) {
        r.error("substring() second parameter can't be negative");
        return empty_text();
    }
    const std::size_t from = static_cast<std::size_t>(start.integer());
    std::size_t length;
    if (c_) {
        Gen_type len = c_->exec();
        if (!len.is_int()) {
            r.error("substring() third parameter must be an integer");
            return empty_text();
        }
        if (len.integer() < 0) {
            r.error("substring() third  parameter can't be negative");
            return empty_text();
        }
        // A start beyond the end with a length given is no error: there is nothing to take, so the result
        // is the empty string.
        if (from > text.size())
            return empty_text();
        length = static_cast<std::size_t>(len.integer());
    } else {
        if (from > text.size()) {
            r.error("substring() third  parameter can't be negative");
            return empty_text();
        }
        length = text.size() - from;
    }
    return Gen_type(text.substr(from, length));
}

// find: the first match at or after start (default 0); a negative start or one beyond the end finds
// nothing.  rfind: the last match beginning at or before start (default the end); a negative start is no
// limit.  An empty pattern matches at the start position itself.
Gen_type N_find::exec() {
    locate();
    std::string text = text_arg(a_.get());
    std::string pattern = text_arg(b_.get());
    int64_t start = reverse_ ? -1 : 0;
    if (c_) {
        Gen_type s = c_->exec();
        if (!s.is_int()) {
            reporter().error("find() third parameter must be an integer");
            return Gen_type(-1);
        }
        start = s.integer();
    }
    if (reverse_)
        return position(text.rfind(pattern, start < 0 ? std::string::npos : static_cast<std::size_t>(start)));
    if (start < 0 || static_cast<std::size_t>(start) > text.size())
        return Gen_type(-1);
    return position(text.find(pattern, static_cast<std::size_t>(start)));
}

Gen_type N_find_match::exec() {
    locate();
    std::string text = text_arg(a_.get());
    std::string set = text_arg(b_.get());
    if (last_)
        return position(negated_ ? text.find_last_not_of(set) : text.find_last_of(set));
    return position(negated_ ? text.find_first_not_of(set) : text.find_first_of(set));
}

Gen_type N_char::exec() {
    locate();
    Reporter& r = reporter();
    std::string text = text_arg(a_.get());
    Gen_type index = b_->exec();
    if (!index.is_int()) {
        r.error("char() second parameter must be an integer");
        return empty_text();
    }
    if (index.integer() < 0) {
        r.error("char() negative index not allowed");
        return empty_text();
    }
    if (static_cast<std::size_t>(index.integer()) >= text.size()) {
        r.error("char() index beyond string bounds");
        return empty_text();
    }
    return Gen_type(std::string(1, text[static_cast<std::size_t>(index.integer())]));
}

Gen_type N_startswith::exec() {
    locate();
    std::string text = text_arg(a_.get());
    std::string prefix = text_arg(b_.get());
    return Gen_type(prefix.size() <= text.size() && text.compare(0, prefix.size(), prefix) == 0 ? 1 : 0);
}

Gen_type N_endswith::exec() {
    locate();
    std::string text = text_arg(a_.get());
    std::string suffix = text_arg(b_.get());
    if (suffix.size() > text.size())
        return Gen_type(0);
    return Gen_type(text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0 ? 1 : 0);
}

// The inserted text is evaluated before the index.  An index at the end is refused: insert cannot append.
// A negative index shares char()'s message.
Gen_type N_insert::exec() {
    locate();
    Reporter& r = reporter();
    std::string text = text_arg(a_.get());
    std::string inserted = text_arg(c_.get());
    Gen_type index = b_->exec();
    if (!index.is_int()) {
        r.error("insert() second parameter must be an integer");
        return empty_text();
    }
    if (index.integer() < 0) {
        r.error("char() negative index not allowed");
        return empty_text();
    }
    if (static_cast<std::size_t>(index.integer()) >= text.size()) {
        r.error("insert(): index beyond string bounds");
        return empty_text();
    }
    return Gen_type(text.insert(static_cast<std::size_t>(index.integer()), inserted));
}

// An empty searched text leaves the text as it is without evaluating the replacement.  replaceall resumes
// the search after each replacement, so a replacement is never searched again.
Gen_type N_replace::exec() {
    locate();
    std::string text = text_arg(a_.get());
    std::string searched = text_arg(b_.get());
    if (searched.empty())
        return Gen_type(std::move(text));
    std::string replacement = text_arg(c_.get());
    std::size_t pos = text.find(searched);
    if (pos == std::string::npos) {
        const std::string name = all_ ? "replaceall ()" : "replace ()";
        reporter().verbose_info(name + "; couldn't find " + searched + " within " + text,
                                name + "; no replacement");
        return Gen_type(std::move(text));
    }
    std::string out;
    std::size_t done = 0;
    do {
        out.append(text, done, pos - done);
        out += replacement;
        fuzz_budget_grow(out.size());
        done = pos + searched.size();
        pos = all_ ? text.find(searched, done) : std::string::npos;
    } while (pos != std::string::npos);
    out.append(text, done, std::string::npos);
    return Gen_type(std::move(out));
}

Gen_type N_trim::exec() {
    locate();
    std::string text = text_arg(a_.get());
    std::size_t first = 0, end = text.size();
    while (first < end && is_blank(text[first]))
        ++first;
    while (end > first && is_blank(text[end - 1]))
        --end;
    return Gen_type(text.substr(first, end - first));
}

Gen_type N_ltrim::exec() {
    locate();
    std::string text = text_arg(a_.get());
    std::size_t first = 0;
    while (first < text.size() && is_blank(text[first]))
        ++first;
    return Gen_type(text.substr(first));
}

Gen_type N_rtrim::exec() {
    locate();
    std::string text = text_arg(a_.get());
    std::size_t end = text.size();
    while (end > 0 && is_blank(text[end - 1]))
        --end;
    text.resize(end);
    return Gen_type(std::move(text));
}

// Byte by byte with the C library's mapping in the process's locale.
Gen_type N_ch_case::exec() {
    locate();
    std::string text = text_arg(a_.get());
    for (char& c : text) {
        const int b = static_cast<unsigned char>(c);
        c = static_cast<char>(lower_ ? std::tolower(b) : std::toupper(b));
    }
    return Gen_type(std::move(text));
}

// An integer's length is that of its decimal text, sign included.
Gen_type N_length::exec() {
    locate();
    Gen_type v = a_->exec();
    switch (v.kind()) {
    case Value_kind::array:
        return count(v.elements().size());
    case Value_kind::string:
        return count(v.text().size());
    case Value_kind::integer:
        return count(int_to_text(v.integer()).size());
    case Value_kind::undefined:
        return Gen_type(0);
    default:
        reporter().fatal("N_length::exec () -- Internal Error");
    }
}

// Splits at each match of the separator.  The search resumes one byte after a match while the next segment
// starts after the whole separator, so overlapping matches give a segment running to the end of the text;
// an empty separator matches everywhere and splits the text into its bytes between two empty elements.
Gen_type N_tok::exec() {
    locate();
    std::string text = text_arg(a_.get());
    Gen_type result = Gen_type::empty_array();
    Gen_type sep_value = b_->exec();
    if (!sep_value.is_string()) {
        reporter().error("tokenize; Separator must be a string");
        return result;
    }
    const std::string& sep = sep_value.text();
    std::vector<Gen_type>& parts = result.elements();
    std::size_t p = 0, s = 0;
    bool found = false;
    for (std::size_t m; (m = text.find(sep, s)) != std::string::npos;) {
        found = true;
        parts.emplace_back(m >= p ? text.substr(p, m - p) : text.substr(p));
        p = m + sep.size();
        s = m + 1;
    }
    parts.emplace_back(found ? text.substr(p) : std::move(text));
    return result;
}

// The separator is evaluated only for an array; elements are written with nested arrays in braces.
Gen_type N_join::exec() {
    locate();
    Gen_type array = a_->exec();
    if (!array.is_array()) {
        reporter().error("join requires an array as first variable");
        return Gen_type(-1);
    }
    std::string sep = text_arg(b_.get());
    std::string out;
    const std::vector<Gen_type>& elements = array.elements();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (i != 0)
            out += sep;
        out += elements[i].to_string(reporter(), false);
        fuzz_budget_grow(out.size());
    }
    return Gen_type(std::move(out));
}
