#include "lang/frontend/include_stack.h"

#include <cerrno>
#include <utility>

#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/eval_context.h"
#include "lang/frontend/include_levels.h"
#include "lang/frontend/include_memo.h"
#include "lang/frontend/source_text.h"
#include "os/read_open.h"

namespace include_stack {

namespace {

// Included files open above the main source at most.
constexpr int max_include_depth = 100;

// One entry per included file open, innermost last.  The working directory of each inclusion is held open
// rather than named, so that the way back works however deep the directory lies; the first entry's is
// where the main source was read.
std::vector<std::FILE*> include_files; // null for a file read whole
// Empty while a pass follows inclusions without entering their directories (lang/frontend/include_levels.h).
std::vector<std::optional<Dir_return>> include_dirs;
int depth_ = 0; // input buffers pushed for included files
// The text of each source being read whole, by depth (the main source at 0), with flex's two end marks;
// the scanner works on it in place.  Kept from one source to the next.
std::vector<std::vector<char>> whole_texts;
// An included file just entered in a pass over a site (lang/frontend/include_memo.h): when the next token
// is asked for, its changes to the dependency store are made again from a record that fits instead of
// reading it, or it is read and recorded.
struct Entered {
    bool pending = false;
    const std::vector<include_memo::Entry>* records = nullptr;
    std::string key;
    std::string state;
    long block = -1;
};
Entered entered;

std::vector<char>& whole_text(int level) {
    if (whole_texts.size() <= static_cast<std::size_t>(level))
        whole_texts.resize(static_cast<std::size_t>(level) + 1);
    return whole_texts[static_cast<std::size_t>(level)];
}

[[noreturn]] void cannot_return(const Dir_return& dir) {
    reporter().fatal_errno("can't change directory to " + dir.path(), dir.path());
}

// The inclusion's file, named from the working directory: read whole into the buffer of its level, or,
// when it is no regular file or a large one, left open in `file` to be read piece by piece.  False, with
// errno set, when the file cannot be opened.
bool read_included(const std::string& path, std::vector<char>& text, std::FILE*& file) {
    file = open_for_reading(path);
    if (!file)
        return false;
    if (read_whole_regular(fileno(file), text, 2)) {
        std::fclose(file);
        file = nullptr;
    }
    return true;
}

// The file is named as seen from the run directory: the including file's directory, then the name.
void cannot_open(const std::string& path) {
    int err = errno;
    const std::string shown =
        !path.empty() && path[0] == '/' ? path : normalize_path(reporter().scan_location().dir + path, true);
    std::string text = "can't open file " + shown;
    std::string brief = "open " + shown;
    errno = err;
    reporter().error_errno(text, brief);
}

[[noreturn]] void cannot_enter(const std::string& dir) {
    int err = errno;
    std::string text = "can't change directory to " + dir;
    errno = err;
    reporter().fatal_errno(text, dir);
}

} // namespace

std::vector<char>& main_text() {
    return whole_text(0);
}

// During a pass over a site (while included files are kept), an inclusion is followed without entering its
// directory; otherwise the file is opened, then its directory entered.
int enter(const std::string& path, Include_point at, bool tokens_pending, const Scanner_hooks& scanner) {
    Reporter& r = reporter();
    if (depth_ >= max_include_depth)
        r.fatal("include nested too deep", "include nested too deep");
    std::vector<char>& text = whole_text(depth_ + 1);
    std::FILE* file = nullptr;
    const bool within = source_cache::enabled();
    include_levels::Opened opened = include_levels::Opened::ok;
    std::string key;
    bool kept = false;
    if (within)
        opened = include_levels::push(path, text, file, key, kept);
    else if (!read_included(path, text, file))
        opened = include_levels::Opened::not_opened;
    if (opened == include_levels::Opened::not_opened) {
        cannot_open(path);
        return 1;
    }
    r.set_file(path);
    if (opened == include_levels::Opened::not_entered)
        cannot_enter(dir_part(path));
    include_files.push_back(file);
    if (within)
        include_dirs.emplace_back();
    else
        include_dirs.emplace_back(std::in_place);
    scanner.push_buffer(file, text);
    ++depth_;
    include_memo::reached(depth_);
    const std::string dir = dir_part(path);
    if (!within && !dir.empty() && !change_dir(dir))
        cannot_enter(dir);
    // In a pass over a site, a file read whole is made again from a record, or recorded.
    auto* store = dynamic_cast<Dependency_collector*>(g_store);
    if (file)
        include_memo::unkept();
    else if (within && store && store->full_mode() && !tokens_pending) {
        entered.state = scanner.state();
        key += '\0';
        key += entered.state;
        key.append(reinterpret_cast<const char*>(&at.state), sizeof at.state);
        entered.records = kept ? include_memo::find(key) : nullptr;
        entered.key = std::move(key);
        entered.block = at.block;
        entered.pending = true;
    }
    return 0;
}

bool replay_entered() {
    if (!entered.pending)
        return false;
    entered.pending = false;
    auto* store = static_cast<Dependency_collector*>(g_store);
    if (entered.records)
        for (const include_memo::Entry& entry : *entered.records)
            if (depth_ + entry.nested <= max_include_depth && store->changes_are_silent(entry.changes)) {
                include_memo::reached(depth_ + entry.nested);
                store->make_changes(entry.changes);
                return true;
            }
    include_memo::begin(*store, std::move(entered.key), std::move(entered.state), depth_, entered.block,
                        reporter().messages());
    return false;
}

void leave(const Scanner_hooks& scanner) {
    Reporter& r = reporter();
    r.restore_location();
    std::FILE* file = include_files.back();
    include_files.pop_back();
    std::optional<Dir_return> dir = std::move(include_dirs.back());
    include_dirs.pop_back();
    --depth_;
    scanner.pop_buffer();
    if (file)
        std::fclose(file);
    if (!dir)
        include_levels::pop();
    else if (!dir->go_back())
        cannot_return(*dir);
    if (g_store && g_store->full_mode())
        if (auto* store = dynamic_cast<Dependency_collector*>(g_store)) {
            store->leave_include_dir();
            include_memo::text_ended(depth_ + 1, scanner.state(), r.messages());
        }
}

int depth() {
    return depth_;
}

std::optional<Dir_return> close_all(const Scanner_hooks& scanner) {
    for (; depth_ > 0; --depth_)
        scanner.pop_buffer();
    for (std::FILE* file : include_files)
        if (file)
            std::fclose(file);
    include_files.clear();
    std::vector<std::optional<Dir_return>> dirs;
    dirs.swap(include_dirs);
    include_levels::clear();
    include_memo::abandon();
    entered.pending = false;
    if (dirs.empty())
        return std::nullopt;
    return std::move(dirs.front());
}

void return_to(const std::optional<Dir_return>& start) {
    if (start && !start->go_back())
        cannot_return(*start);
}

void release_texts() {
    whole_texts.clear();
    whole_texts.shrink_to_fit();
}

} // namespace include_stack
