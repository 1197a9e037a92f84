#include "lang/frontend/include_levels.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

#include "base/paths.h"
#include "lang/frontend/include_memo.h"
#include "lang/frontend/source_text.h"
#include "os/read_open.h"
#include "os/work_dir.h"

namespace include_levels {

namespace {

struct Level {
    Dir_id id;
    std::string path; // from the working directory; empty at the outermost level, else ends with "/"
    std::string dir;  // as named from the level below
    int fd = -1;      // the directory, opened when first needed (AT_FDCWD at the outermost level)
};

std::vector<Level> levels;

// The identity of a directory named from another, by the other's identity and the name.  Those named from
// the working directory serve its pages only and are forgotten when the pages of another directory are
// read; those named from included files' directories serve the whole run (up to a bound).
std::unordered_map<std::string, Dir_id> named_from_top;
std::unordered_map<std::string, Dir_id> named_from_inner;
Dir_id top_id;
constexpr std::size_t inner_bound = 1 << 16;

std::string id_key(const Dir_id& id) {
    std::string key(reinterpret_cast<const char*>(&id.dev), sizeof id.dev);
    key.append(reinterpret_cast<const char*>(&id.ino), sizeof id.ino);
    return key;
}

// The directory of level `i` as a descriptor to open names from; -1, with errno set, when it cannot be
// opened any more.
int level_fd(std::size_t i) {
    if (i == 0)
        return AT_FDCWD;
    Level& level = levels[i];
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

void close_level(Level& level) {
    if (level.fd >= 0)
        close(level.fd);
    level.fd = -1;
}

// The file `name` in the directory of level `i`, as open_for_reading would give it (os/read_open.h).
int open_in(std::size_t i, const std::string& name) {
    const int from = level_fd(i);
    if (from == -1)
        return -1;
    // "dir/" names the directory itself.
    return open_regular(from, name.empty() ? "." : name);
}

// The working directory's identity; the directories named from another working directory are forgotten.
bool top_identity(Dir_id& id) {
    if (!current_dir_id(id))
        return false;
    if (!(id == top_id)) {
        named_from_top.clear();
        top_id = id;
    }
    return true;
}

// The identity of the directory `dir` named from the directory of level `from` (whose identity is
// `from_id`), kept in `named`.  False, with errno set (ENOTDIR for a file of another kind), when it is no
// directory.
bool named_dir(std::unordered_map<std::string, Dir_id>& named, const Dir_id& from_id, std::size_t from,
               const std::string& dir, Dir_id& id) {
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

void set_shown_dir() {
    show_dir_within(levels.size() > 1 ? levels.back().path : std::string());
}

} // namespace

bool file_key(const std::string& path, std::string& key) {
    Dir_id id;
    if (!top_identity(id))
        return false;
    const std::string dir = dir_part(path);
    if (!dir.empty() && !named_dir(named_from_top, id, 0, dir, id))
        return false;
    key = id_key(id);
    key.append(path, dir.size(), std::string::npos);
    return true;
}

Opened push(const std::string& path, std::vector<char>& text, std::FILE*& file, std::string& key,
            bool& kept) {
    file = nullptr;
    kept = false;
    if (levels.empty()) {
        Level top;
        if (!top_identity(top.id))
            return Opened::not_opened;
        top.fd = AT_FDCWD;
        levels.push_back(std::move(top));
    }
    const std::size_t from = levels.size() - 1;
    const std::string dir = dir_part(path);
    const std::string base = path.substr(dir.size());

    Dir_id id = levels[from].id;
    if (!dir.empty() && !named_dir(from == 0 ? named_from_top : named_from_inner, id, from, dir, id)) {
        // Reported in the order of a plain inclusion: the file is opened first.
        const int err = errno;
        const int fd = open_in(from, path);
        if (fd >= 0)
            close(fd);
        const int open_err = errno;
        if (levels.size() == 1)
            levels.clear();
        errno = fd < 0 ? open_err : err;
        return fd < 0 ? Opened::not_opened : Opened::not_entered;
    }

    Level level;
    level.id = id;
    level.dir = dir;
    level.path = dir.empty() ? levels[from].path : (dir[0] == '/' ? dir : levels[from].path + dir);
    levels.push_back(std::move(level));
    const std::size_t at = levels.size() - 1;

    key = id_key(id) + base;
    if (const std::string* contents = source_cache::find(key)) {
        kept = true;
        text.assign(contents->begin(), contents->end());
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
        source_cache::keep(key, std::string(text.data(), text.size() - 2));
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

void pop() {
    if (levels.empty())
        return;
    close_level(levels.back());
    levels.pop_back();
    if (levels.size() == 1)
        levels.clear();
    set_shown_dir();
}

void clear() {
    for (Level& level : levels)
        close_level(level);
    levels.clear();
    show_dir_within(std::string());
}

} // namespace include_levels

namespace {

// The files that opened, by their directories' identity and their names.
std::unordered_set<std::string>& opened_names() {
    static auto* names = new std::unordered_set<std::string>();
    return *names;
}

} // namespace

bool opens_for_reading(const std::string& path) {
    std::string key;
    if (source_cache::enabled() && include_levels::file_key(path, key) && opened_names().count(key))
        return true;
    const int fd = open_regular(AT_FDCWD, path);
    if (fd < 0)
        return false;
    close(fd);
    if (!key.empty() && opened_names().size() < (1u << 16))
        opened_names().insert(std::move(key));
    return true;
}

Source_cache_scope::Source_cache_scope() {
    source_cache::hold();
}

Source_cache_scope::~Source_cache_scope() {
    if (source_cache::release()) {
        include_memo::clear();
        opened_names().clear();
    }
}
