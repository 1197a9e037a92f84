#include "lang/frontend/include_stack.h"

#include <cerrno>
#include <utility>

#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/frontend/site_cache.h"
#include "lang/frontend/source_text.h"
#include "os/read_open.h"

namespace {

// Included files open above the main source at most.
constexpr int max_include_depth = 100;

[[noreturn]] void cannot_return(Reporter& reporter, const Dir_return& dir) {
    reporter.fatal_errno("can't change directory to " + dir.path(), dir.path());
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
void cannot_open(Reporter& reporter, const std::string& path) {
    int err = errno;
    const std::string shown =
        !path.empty() && path[0] == '/' ? path : normalize_path(reporter.scan_location().dir + path, true);
    std::string text = "can't open file " + shown;
    std::string brief = "open " + shown;
    errno = err;
    reporter.error_errno(text, brief);
}

[[noreturn]] void cannot_enter(Reporter& reporter, const std::string& dir) {
    int err = errno;
    std::string text = "can't change directory to " + dir;
    errno = err;
    reporter.fatal_errno(text, dir);
}

} // namespace

Include_stack::Include_stack(Reporter& reporter, Site_cache* site)
    : reporter_(reporter), site_(site), levels_(site ? &site->names : nullptr),
      memo_(site ? &site->records : nullptr) {}

Include_stack::~Include_stack() {
    for (std::FILE* file : files_)
        if (file)
            std::fclose(file);
}

std::vector<char>& Include_stack::whole_text(int level) {
    if (whole_texts_.size() <= static_cast<std::size_t>(level))
        whole_texts_.resize(static_cast<std::size_t>(level) + 1);
    return whole_texts_[static_cast<std::size_t>(level)];
}

// During a pass over a site, an inclusion is followed without entering its directory; otherwise the file is
// opened, then its directory entered.
int Include_stack::enter(const std::string& path, Include_point at, bool tokens_pending,
                         Scanner_hooks& scanner) {
    Reporter& r = reporter_;
    if (depth_ >= max_include_depth)
        r.fatal("include nested too deep", "include nested too deep");
    std::vector<char>& text = whole_text(depth_ + 1);
    std::FILE* file = nullptr;
    const bool within = site_ != nullptr;
    Include_levels::Opened opened = Include_levels::Opened::ok;
    std::string key;
    bool kept = false;
    if (within)
        opened = levels_.push(path, site_->contents, text, file, key, kept);
    else if (!read_included(path, text, file))
        opened = Include_levels::Opened::not_opened;
    if (opened == Include_levels::Opened::not_opened) {
        cannot_open(r, path);
        return 1;
    }
    r.set_file(path);
    if (opened == Include_levels::Opened::not_entered)
        cannot_enter(r, dir_part(path));
    files_.push_back(file);
    if (within)
        dirs_.emplace_back();
    else
        dirs_.emplace_back(std::in_place, store_->work_dir());
    scanner.push_buffer(file, text);
    ++depth_;
    memo_.reached(depth_);
    const std::string dir = dir_part(path);
    if (!within && !dir.empty() && !store_->work_dir().change_dir(dir))
        cannot_enter(r, dir);
    // In a pass over a site, a file read whole is made again from a record, or recorded.
    if (file)
        memo_.unkept();
    else if (within && !tokens_pending) {
        entered_.state = scanner.state();
        key += '\0';
        key += entered_.state;
        key.append(reinterpret_cast<const char*>(&at.state), sizeof at.state);
        entered_.records = kept ? memo_.find(key) : nullptr;
        entered_.key = std::move(key);
        entered_.block = at.block;
        entered_.pending = true;
    }
    return 0;
}

bool Include_stack::replay() {
    entered_.pending = false;
    Eval_context* store = store_;
    if (entered_.records)
        for (const include_memo::Entry& entry : *entered_.records)
            if (depth_ + entry.nested <= max_include_depth && store->changes_are_silent(entry.changes)) {
                memo_.reached(depth_ + entry.nested);
                store->make_changes(entry.changes);
                return true;
            }
    memo_.begin(*store, std::move(entered_.key), std::move(entered_.state), depth_, entered_.block,
                reporter_.messages());
    return false;
}

void Include_stack::leave(Scanner_hooks& scanner) {
    Reporter& r = reporter_;
    r.restore_location();
    std::FILE* file = files_.back();
    files_.pop_back();
    std::optional<Dir_return> dir = std::move(dirs_.back());
    dirs_.pop_back();
    --depth_;
    scanner.pop_buffer();
    if (file)
        std::fclose(file);
    if (!dir)
        levels_.pop();
    else if (!dir->go_back())
        cannot_return(r, *dir);
    if (store_)
        store_->on_include_end();
    memo_.text_ended(depth_ + 1, scanner.state(), r.messages());
}

std::optional<Dir_return> Include_stack::close_all(Scanner_hooks& scanner) {
    for (; depth_ > 0; --depth_)
        scanner.pop_buffer();
    for (std::FILE* file : files_)
        if (file)
            std::fclose(file);
    files_.clear();
    std::vector<std::optional<Dir_return>> dirs;
    dirs.swap(dirs_);
    levels_.clear();
    memo_.abandon();
    entered_.pending = false;
    if (dirs.empty())
        return std::nullopt;
    return std::move(dirs.front());
}

void Include_stack::return_to(const std::optional<Dir_return>& start) {
    if (start && !start->go_back())
        cannot_return(reporter_, *start);
}
