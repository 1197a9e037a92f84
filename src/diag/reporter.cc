#include "diag/reporter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "base/paths.h"
#include "base/process_end.h"

namespace {

void put(const std::string& s) {
    std::fwrite(s.data(), 1, s.size(), stderr);
}

// A text as a message shows it: every control byte in a visible form, so that no name can break a message
// into lines of its own making.
std::string visible(const std::string& text) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c != 0x7f) {
            out += static_cast<char>(c);
            continue;
        }
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            out += {'\\', 'x', hex[c >> 4], hex[c & 15]};
        }
    }
    return out;
}

std::string location_text(const Location& l) {
    return visible(l.dir + l.file) + ":" + std::to_string(l.line);
}

} // namespace

std::string Reporter::chain_text() const {
    std::string out;
    if (!include_stack_.empty()) {
        out += "In file included from " + location_text(include_stack_.front());
        for (std::size_t i = 1; i < include_stack_.size(); ++i)
            out += ",\n                 from " + location_text(include_stack_[i]);
        out += ":\n";
    }
    return out;
}

void Reporter::print(Level level, int32_t adjust, const std::string& text, const std::string& brief) {
    std::string out = executing_ ? exec_chain_ : chain_text();
    const Location& where = executing_ ? exec_ : scan_;
    out += visible(where.dir);
    if (!where.file.empty())
        out += visible(where.file) + ":";
    else if (!program_name_.empty())
        out += visible(program_name_) + ": ";
    if (where.line != 0)
        out += std::to_string(static_cast<int64_t>(where.line) - adjust) + ": ";
    switch (level) {
    case Level::info:
        out += "info: ";
        break;
    case Level::warning:
        out += "warning: ";
        break;
    case Level::fatal:
        out += "fatal: ";
        break;
    case Level::error:
        break;
    }
    out += visible((brief_ && !brief.empty()) ? brief : text);
    out += '\n';
    put(out);
    std::fflush(stderr);
}

void Reporter::info(const std::string& text, const std::string& brief) {
    ++messages_;
    if (!quiet())
        print(Level::info, 0, text, brief);
}

void Reporter::verbose_info(const std::string& text, const std::string& brief) {
    ++messages_;
    if (verbose())
        print(Level::info, 0, text, brief);
}

void Reporter::warning(const std::string& text, const std::string& brief) {
    ++messages_;
    if (!quiet())
        print(Level::warning, 0, text, brief);
    if (policy_ == Policy::fatal_warnings)
        end_process(1);
}

void Reporter::error(const std::string& text, const std::string& brief) {
    error_at(0, text, brief);
}

void Reporter::error_at(int32_t adjust, const std::string& text, const std::string& brief) {
    ++messages_;
    if (!quiet())
        print(Level::error, adjust, text, brief);
    if (policy_ != Policy::ignore_errors)
        end_process(1);
}

void Reporter::fatal(const std::string& text, const std::string& brief) {
    ++messages_;
    if (!quiet())
        print(Level::fatal, 0, text, brief);
    end_process(1);
}

void Reporter::out_of_memory() {
    ++messages_;
    if (!quiet()) {
        try {
            print(Level::fatal, 0, "out of memory", "out of memory");
        } catch (const std::bad_alloc&) {
            // Not even the message's line could be made: the fixed text alone.
            out_of_memory_unlocated();
        }
    }
    end_process(2);
}

void Reporter::out_of_memory_unlocated() {
    const char text[] = "fatal: out of memory\n";
    std::fwrite(text, 1, sizeof text - 1, stderr);
    end_process(2);
}

namespace {

// "; " and the text of the failure errno tells of.
std::string system_text() {
    return std::string("; ") + (errno == not_regular_file ? "not a regular file" : std::strerror(errno));
}

} // namespace

void Reporter::error_errno(const std::string& text, const std::string& brief) {
    const std::string sys = system_text();
    error(text + sys, brief + sys);
}

void Reporter::fatal_errno(const std::string& text, const std::string& brief) {
    const std::string sys = system_text();
    fatal(text + sys, brief + sys);
}

void Reporter::usage_error(const std::string& text) {
    ++messages_;
    if (!quiet())
        print(Level::error, 0, text, text);
}

void Reporter::set_file(const std::string& path) {
    std::size_t slash = path.rfind('/');
    scan_.file = slash == std::string::npos ? path : path.substr(slash + 1);
    scan_.dir = normalize_path(scan_.dir + dir_part(path), true);
    scan_.line = 1;
    scan_name_ = nullptr;
    plain_name_ = nullptr;
}

void Reporter::count_lines(const char* text, std::size_t length) {
    // Eight bytes at a time: a byte of x is zero exactly where the text holds a newline, and the sum below
    // sets the high bit of every byte that is not zero, without carries between bytes.
    constexpr uint64_t low7 = 0x7f7f7f7f7f7f7f7fULL;
    constexpr uint64_t newlines = 0x0a0a0a0a0a0a0a0aULL;
    int32_t n = 0;
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t word;
        std::memcpy(&word, text + i, 8);
        const uint64_t x = word ^ newlines;
        const uint64_t nonzero = ((x & low7) + low7) | x;
        // One in the low bit of each byte holding a newline; the product adds them up in the top byte.
        const uint64_t ones = (~nonzero & ~low7) >> 7;
        n += static_cast<int32_t>((ones * 0x0101010101010101ULL) >> 56);
    }
    for (; i < length; ++i)
        n += text[i] == '\n';
    scan_.line += n;
}

void Reporter::save_location() {
    include_stack_.push_back(scan_);
    scan_name_ = nullptr;
}

void Reporter::restore_location() {
    if (include_stack_.empty())
        return;
    scan_ = std::move(include_stack_.back());
    include_stack_.pop_back();
    scan_name_ = nullptr;
    plain_name_ = nullptr;
}

void Reporter::set_exec_location(const Src_name* name, int32_t line) {
    if (name) {
        exec_.dir = name->dir;
        exec_.file = name->file;
        exec_chain_ = name->chain;
    } else {
        exec_.dir.clear();
        exec_.file.clear();
        exec_chain_.clear();
    }
    exec_.line = line;
}

void Reporter::clear_scan_location() {
    scan_.dir.clear();
    scan_.file.clear();
    scan_.line = 0;
    scan_name_ = nullptr;
    plain_name_ = nullptr;
}

const Src_name* Reporter::scan_name() {
    if (!scan_name_)
        scan_name_ = intern(chain_text(), scan_.dir, scan_.file);
    return scan_name_;
}

const Src_name* Reporter::scan_plain_name() {
    if (plain_name_)
        return plain_name_;
    std::string key = scan_.dir;
    key += '\0';
    key += scan_.file;
    auto it = plain_index_.find(key);
    if (it != plain_index_.end())
        return plain_name_ = it->second;
    plain_names_.push_back(Src_name{scan_.dir, scan_.file, std::string()});
    plain_name_ = &plain_names_.back();
    plain_index_.emplace(std::move(key), plain_name_);
    return plain_name_;
}

void Reporter::forget_plain_names() {
    plain_name_ = nullptr;
    plain_index_.clear();
    plain_names_.clear();
}

const Src_name* Reporter::intern(const std::string& chain, const std::string& dir, const std::string& file) {
    std::string key = chain;
    key += '\0';
    key += dir;
    key += '\0';
    key += file;
    auto it = name_index_.find(key);
    if (it != name_index_.end())
        return it->second;
    names_.push_back(Src_name{dir, file, chain});
    const Src_name* name = &names_.back();
    name_index_.emplace(std::move(key), name);
    return name;
}
