#include "os/work_dir.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#ifdef __linux__
#include <sys/syscall.h>
#endif

#include "base/paths.h"
#include "diag/reporter.h"

namespace {

std::string text; // the working directory, valid while known
Dir_id text_id;   // the directory the text names, valid while id_known
bool known = false;
bool id_known = false;
int trust = 0; // Dir_trust objects alive
// The directory shown instead while an inclusion is read from it (show_dir_within): as given, and the text
// made from it when first asked for.
std::string within;
std::string within_text;
bool within_made = false;

bool identity(const char* path, Dir_id& id) {
    struct stat st;
    if (stat(path, &st) != 0)
        return false;
    id = Dir_id{st.st_dev, st.st_ino};
    return true;
}

// The system's answer, however long the path (the C library then climbs the tree itself, slowly).
std::string ask_system() {
    std::vector<char> buf(100);
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            reporter().fatal_errno("Can't get current dir", "");
        buf.resize(buf.size() * 2);
    }
    return std::string(buf.data());
}

// The system's answer when the kernel gives it at once; false for a path too long for it.
bool ask_kernel(std::string& out) {
#if defined(__linux__) && defined(SYS_getcwd)
    char buf[PATH_MAX + 1];
    long n = syscall(SYS_getcwd, buf, sizeof buf);
    if (n <= 0 || buf[0] != '/')
        return false;
    out.assign(buf);
    return true;
#else
    std::vector<char> buf(PATH_MAX + 1);
    if (getcwd(buf.data(), buf.size()) == nullptr)
        return false;
    out.assign(buf.data());
    return true;
#endif
}

bool plain_name(const std::string& path) {
    return !path.empty() && path != "." && path != ".." && path.find('/') == std::string::npos;
}

// `path` applied to `base` as text: "." stays, ".." takes back one name.
std::string join(std::string base, const std::string& path) {
    if (!path.empty() && path[0] == '/')
        base.clear();
    for (std::size_t pos = 0; pos <= path.size();) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string::npos)
            slash = path.size();
        const std::string part = path.substr(pos, slash - pos);
        pos = slash + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            base.erase(base.rfind('/') == std::string::npos ? 0 : base.rfind('/'));
            continue;
        }
        base += "/" + part;
    }
    return base.empty() ? "/" : base;
}

// Where the program made the change itself and nobody else changes the directory, the identity is only
// taken when a mark needs it.
void set_text(std::string value) {
    text = std::move(value);
    known = true;
    id_known = false;
    if (trust == 0)
        known = id_known = identity(".", text_id);
}

bool ensure_id() {
    if (!id_known)
        id_known = identity(".", text_id);
    return id_known;
}

// The real working directory (current_dir shows another while an inclusion is read).
const std::string& real_dir() {
    if (known && trust > 0)
        return text;
    Dir_id now;
    if (!known || !identity(".", now) || !ensure_id() || !(now == text_id))
        set_text(ask_system());
    return text;
}

} // namespace

const std::string& current_dir() {
    if (!within.empty()) {
        if (!within_made) {
            std::string base = within[0] == '/' ? std::string() : real_dir();
            if (!base.empty() && base != "/")
                base += '/';
            within_text = base + within;
            while (within_text.size() > 1 && within_text.back() == '/')
                within_text.pop_back();
            within_made = true;
        }
        return within_text;
    }
    return real_dir();
}

bool current_dir_id(Dir_id& id) {
    real_dir();
    if (!ensure_id())
        return false;
    id = text_id;
    return true;
}

void show_dir_within(const std::string& path) {
    within = path;
    within_made = false;
}

Dir_trust::Dir_trust() {
    real_dir();
    ++trust;
}

Dir_trust::~Dir_trust() {
    if (--trust == 0 && known && !ensure_id())
        known = false;
}

bool change_dir(const std::string& path) {
    real_dir();
    if (chdir(path.c_str()) != 0)
        return false;
    if (plain_name(path)) {
        // Extended in place: a deep walk does not copy its ever longer path at every step.
        if (text != "/")
            text += '/';
        text += path;
        id_known = false;
        if (trust == 0)
            known = id_known = identity(".", text_id);
        return true;
    }
    std::string now;
    set_text(ask_kernel(now) ? std::move(now) : join(text, path));
    return true;
}

Dir_mark mark_dir() {
    Dir_mark mark;
    mark.length = real_dir().size();
    ensure_id();
    mark.id = text_id;
    return mark;
}

std::string marked_path(const Dir_mark& mark) {
    return text.substr(0, mark.length);
}

bool return_to(const Dir_mark& mark) {
    Dir_id up;
    if (chdir("..") == 0 && identity(".", up) && up == mark.id) {
        text.resize(mark.length);
        text_id = up;
        known = id_known = true;
        return true;
    }
    const std::string path = marked_path(mark);
    if (chdir(path.c_str()) != 0)
        return false;
    set_text(path);
    return true;
}

Dir_return::Dir_return() : path_(real_dir()) {
#ifdef O_PATH
    fd_ = open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
    fd_ = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
}

Dir_return::~Dir_return() {
    close_fd();
}

Dir_return::Dir_return(Dir_return&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

Dir_return& Dir_return::operator=(Dir_return&& other) noexcept {
    if (this != &other) {
        close_fd();
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

void Dir_return::close_fd() {
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
}

bool Dir_return::go_back() const {
    if (fd_ >= 0 ? fchdir(fd_) != 0 : chdir(path_.c_str()) != 0)
        return false;
    set_text(path_);
    return true;
}

// Followed as text: a deep walk never asks the system for a path it cannot give.
std::string working_dir() {
    return current_dir();
}

std::string absolute_path(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    return working_dir() + "/" + path;
}

int path_depth(const std::string& path) {
    std::string n = normalize_path(absolute_path(path), true);
    return static_cast<int>(std::count(n.begin(), n.end(), '/'));
}

int cwd_depth() {
    std::string w = working_dir();
    return static_cast<int>(std::count(w.begin(), w.end(), '/')) + 1;
}

bool enter_dir_part(const std::string& path) {
    std::string dir = dir_part(path);
    if (dir.empty())
        return false;
    return !change_dir(dir);
}
