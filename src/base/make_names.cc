#include "base/make_names.h"

#include <cstring>

bool unsafe_make_name(const std::string& name) {
    static const char special[] = "$#:;=%\"'`\\*?[](){}<>|&!~^";
    for (unsigned char c : name) {
        if (c <= 0x20 || c == 0x7f)
            return true;
        if (std::strchr(special, c) != nullptr)
            return true;
    }
    return false;
}

bool has_control_byte(const std::string& name) {
    for (unsigned char c : name)
        if (c < 0x20 || c == 0x7f)
            return true;
    return false;
}

bool expressible_prerequisite(const std::string& name) {
    if (has_control_byte(name) || name.find_first_of(";|=()") != std::string::npos)
        return false;
    if (!name.empty() && (name.back() == '\\' || name.find_first_not_of(' ') == std::string::npos))
        return false;
    return true;
}

namespace {

// What make's file-name expansion (glob) reads back as `name`, when it expands it at all.
std::string pattern_text(const std::string& name) {
    const bool pattern =
        name.find_first_of("*?[") != std::string::npos || name.front() == '~' || name.back() == ' ';
    if (!pattern)
        return name;
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (i == 0 && c == '~')
            out += "[~]"; // else the home directory
        else if (i + 1 == name.size() && c == ' ')
            out += "[ ]"; // else joined with the blanks of the line break after it
        else if (std::strchr("\\*?[", c) != nullptr)
            out += {'\\', c};
        else
            out += c;
    }
    return out;
}

} // namespace

std::string escaped_prerequisite(const std::string& name) {
    if (name.empty())
        return name;
    std::string out;
    std::size_t backslashes = 0;
    for (char c : pattern_text(name)) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Before a blank, "#" or ":", make halves a run of backslashes and reads the byte plainly when the
        // run was odd.
        const bool separator = c == ' ' || c == '#' || c == ':';
        out.append(separator ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        if (c == '$')
            out += '$';
        out += c;
    }
    out.append(backslashes, '\\');
    return out;
}

std::string target_text(const std::string& prerequisite) {
    std::string out;
    std::size_t backslashes = 0;
    for (char c : prerequisite) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '%' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes, '\\');
    return out;
}

bool escaped_prerequisite_text(const std::string& text) {
    if (text.empty() || has_control_byte(text) || text.find_first_of(";|=()") != std::string::npos)
        return false;
    std::size_t backslashes = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if ((c == ' ' || c == '#' || c == ':') && backslashes % 2 == 0)
            return false;
        if (c == '$' && (i + 1 == text.size() || text[++i] != '$'))
            return false;
        backslashes = 0;
    }
    return backslashes == 0;
}
