#include "lang/frontend/include_levels.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/paths.h"
#include "lang/eval/eval_context.h"
#include "os/read_open.h"

namespace {

constexpr std::size_t inner_bound = 1 << 16;

std::string id_key(const Dir_id& id) {
    std::string key(reinterpret_cast<const char*>(&id.dev), sizeof id.dev);
    key.append(reinterpret_cast<const char*>(&id.ino), sizeof id.ino);
    return key;
}

} // namespace

// The working directory as the run follows it, through the context being parsed for.
Work_dir& Include_levels::work_dir() {
    return store_->work_dir();
}

// The directory of level `i` as a descriptor to open names from; -1, with errno set, when it cannot be
// opened any more.
int Include_levels::level_fd(std::size_t i) {
    if (i == 0)
        return AT_FDCWD;
    Level& level = levels_[i];
    if (level.dir.empty())
        return level_fd(i - 1);
    if (level.fd == -1) {
        const int from = level_fd(i - 1);
        if (from == -1)
            return -1;
#ifdef O_PATH
        level.fd = openat(from, level.dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
        level.fd = openat(from, level.dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
    }
    return level.fd;
}

namespace {

void close_level_fd(int& fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

} // namespace

// The file `name` in the directory of level `i`, as open_for_reading would give it (os/read_open.h).
int Include_levels::open_in(std::size_t i, const std::string& name) {
    const int from = level_fd(i);
    if (from == -1)
        return -1;
    // "dir/" names the directory itself.
    return open_regular(from, name.empty() ? "." : name);
}

// The working directory's identity; the directories named from another working directory are forgotten.
bool Include_levels::top_identity(Dir_id& id) {
    if (!work_dir().current_dir_id(id))
        return false;
    if (!(id == names_->top_id)) {
        names_->from_top.clear();
        names_->top_id = id;
    }
    return true;
}

// The identity of the directory `dir` named from the directory of level `from` (whose identity is
// `from_id`), kept in `named`.  False, with errno set (ENOTDIR for a file of another kind), when it is no
// directory.
bool Include_levels::named_dir(std::unordered_map<std::string, Dir_id>& named, const Dir_id& from_id,
                               std::size_t from, const std::string& dir, Dir_id& id) {
    if (named.size() >= inner_bound)
        named.clear();
    std::string key = id_key(from_id) + dir;
    auto it = named.find(key);
    if (it != named.end()) {
        id = it->second;
        return true;
    }
    const int from_fd = level_fd(from);
    struct stat st;
    if (from_fd == -1 || fstatat(from_fd, dir.c_str(), &st, 0) != 0)
        return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    id = Dir_id{st.st_dev, st.st_ino};
    named.emplace(std::move(key), id);
    return true;
}

void Include_levels::set_shown_dir() {
    if (store_)
        work_dir().show_dir_within(levels_.size() > 1 ? levels_.back().path : std::string());
}

// A name for the file `path` names from the working directory that does not depend on how it is named:
// its directory's identity and its own name.  False when its directory cannot be found.
bool Include_levels::file_key(const std::string& path, std::string& key) {
    Dir_id id;
    if (!top_identity(id))
        return false;
    const std::string dir = dir_part(path);
    if (!dir.empty() && !named_dir(names_->from_top, id, 0, dir, id))
        return false;
    key = id_key(id);
    key.append(path, dir.size(), std::string::npos);
    return true;
}

Include_levels::Opened Include_levels::push(const std::string& path, Source_cache& contents,
                                            std::vector<char>& text, std::FILE*& file, std::string& key,
                                            bool& kept) {
    file = nullptr;
    kept = false;
    if (levels_.empty()) {
        Level top;
        if (!top_identity(top.id))
            return Opened::not_opened;
        top.fd = AT_FDCWD;
        levels_.push_back(std::move(top));
    }
    const std::size_t from = levels_.size() - 1;
    const std::string dir = dir_part(path);
    const std::string base = path.substr(dir.size());

    Dir_id id = levels_[from].id;
    if (!dir.empty() && !named_dir(from == 0 ? names_->from_top : names_->from_inner, id, from, dir, id)) {
        // Reported in the order of a plain inclusion: the file is opened first.
        const int err = errno;
        const int fd = open_in(from, path);
        if (fd >= 0)
            close(fd);
        const int open_err = errno;
        if (levels_.size() == 1)
            levels_.clear();
        errno = fd < 0 ? open_err : err;
        return fd < 0 ? Opened::not_opened : Opened::not_entered;
    }

    Level level;
    level.id = id;
    level.dir = dir;
    level.path = dir.empty() ? levels_[from].path : (dir[0] == '/' ? dir : levels_[from].path + dir);
    levels_.push_back(std::move(level));
    const std::size_t at = levels_.size() - 1;

    key = id_key(id) + base;
    if (const std::string* kept_text = contents.find(key)) {
        kept = true;
        text.assign(kept_text->begin(), kept_text->end());
        text.push_back('\0');
        text.push_back('\0');
        set_shown_dir();
        return Opened::ok;
    }
    const int fd = open_in(at, base);
    if (fd < 0) {
        const int err = errno;
        pop();
        errno = err;
        return Opened::not_opened;
    }
    if (read_whole_regular(fd, text, 2)) {
        close(fd);
        contents.keep(key, std::string(text.data(), text.size() - 2));
    } else {
        file = fdopen(fd, "r");
        if (!file) {
            const int err = errno;
            close(fd);
            pop();
            errno = err;
            return Opened::not_opened;
        }
    }
    set_shown_dir();
    return Opened::ok;
}

void Include_levels::pop() {
    if (levels_.empty())
        return;
    close_level_fd(levels_.back().fd);
    levels_.pop_back();
    if (levels_.size() == 1)
        levels_.clear();
    set_shown_dir();
}

void Include_levels::clear() {
    for (Level& level : levels_)
        close_level_fd(level.fd);
    levels_.clear();
    set_shown_dir();
}

bool Include_levels::opens_for_reading(const std::string& path) {
    std::string key;
    if (names_ && file_key(path, key) && names_->opened_files.count(key))
        return true;
    const int fd = open_regular(AT_FDCWD, path);
    if (fd < 0)
        return false;
    close(fd);
    if (names_ && !key.empty() && names_->opened_files.size() < (1u << 16))
        names_->opened_files.insert(std::move(key));
    return true;
}
