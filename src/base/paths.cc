#include "base/paths.h"

#include <vector>

namespace {

// A vector that keeps its first 32 elements in place.
template <class T> class Small_vector {
public:
    void push_back(const T& value) {
        if (size_ < inline_size)
            inline_[size_] = value;
        else
            more_.push_back(value);
        ++size_;
    }
    std::size_t size() const { return size_; }
    T& operator[](std::size_t i) { return i < inline_size ? inline_[i] : more_[i - inline_size]; }

private:
    static constexpr std::size_t inline_size = 32;
    T inline_[inline_size];
    std::vector<T> more_;
    std::size_t size_ = 0;
};

// True when normalising leaves the path as it is: every component before the last "/" has a name that is
// neither "." nor "..", except a run of ".." at the start of a relative path (nothing before them to take
// back).  Most names a site's rules hold are like that.
bool already_normal(const std::string& path, std::size_t last) {
    const bool relative = path[0] != '/';
    bool leading = relative;
    for (std::size_t pos = relative ? 0 : 1; pos <= last;) {
        const std::size_t slash = path.find('/', pos);
        const std::size_t len = slash - pos;
        const bool dotdot = len == 2 && path[pos] == '.' && path[pos + 1] == '.';
        if (len == 0 || (len == 1 && path[pos] == '.') || (dotdot && !leading))
            return false;
        leading = leading && dotdot;
        pos = slash + 1;
    }
    return true;
}

} // namespace

std::string normalize_path(const std::string& path, bool drop_leading_dot) {
    std::size_t last = path.rfind('/');
    if (last == std::string::npos || last == 0 || already_normal(path, last))
        return path;

    // Cut the head (up to and including the last "/") into components, each ending with its "/".
    std::size_t start = path[0] == '/' ? 1 : 0;
    // Held on the stack for the usual few components.
    Small_vector<std::pair<std::size_t, std::size_t>> parts; // offset, length
    for (std::size_t pos = start; pos <= last;) {
        std::size_t slash = path.find('/', pos);
        parts.push_back({pos, slash - pos + 1});
        pos = slash + 1;
    }

    std::string prefix = path.substr(0, start);
    Small_vector<char> keep;
    for (std::size_t i = 0; i < parts.size(); ++i)
        keep.push_back(false);
    std::size_t pending = 0;
    std::size_t first = 0; // components before this index belong to the prefix
    for (std::size_t i = parts.size(); i-- > 0;) {
        auto [off, len] = parts[i];
        bool dot = len == 2 && path[off] == '.';
        bool dotdot = len == 3 && path[off] == '.' && path[off + 1] == '.';
        // A doubled "/" gives a component with no name: it stays where it is, but it is no directory that a
        // ".." could take back ("a//../b" is b, not a/b).
        bool nameless = len == 1;
        if (dot && !drop_leading_dot && off <= 1) {
            // A leading "./" stays, with everything before it.
            prefix = path.substr(0, off + len);
            first = i + 1;
            break;
        }
        if (dot)
            continue;
        if (dotdot) {
            ++pending;
            continue;
        }
        if (nameless && pending > 0)
            continue;
        if (pending > 0) {
            --pending;
            continue;
        }
        keep[i] = true;
    }

    std::string out = prefix;
    out.reserve(path.size() + 3 * pending);
    for (std::size_t i = 0; i < pending; ++i)
        out += "../";
    for (std::size_t i = first; i < parts.size(); ++i) {
        // A nameless component at the very start would make a relative path absolute ("x/..//b" is b).
        if (keep[i] && !(parts[i].second == 1 && out.empty()))
            out.append(path, parts[i].first, parts[i].second);
    }
    out.append(path, last + 1, std::string::npos);
    return out;
}

std::string with_slash(const std::string& path) {
    if (path.empty() || path.back() == '/')
        return path;
    return path + "/";
}

std::string dir_part(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string base_name(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
