#include "driver/work_dir.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#ifdef __linux__
#include <sys/syscall.h>
#endif

#include "diag/reporter.h"

namespace {

std::string text; // the working directory, valid while known
Dir_id text_id;   // the directory the text names
bool known = false;

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

void set_text(std::string value) {
    text = std::move(value);
    known = identity(".", text_id);
}

} // namespace

const std::string& current_dir() {
    Dir_id now;
    if (!known || !identity(".", now) || !(now == text_id))
        set_text(ask_system());
    return text;
}

bool change_dir(const std::string& path) {
    current_dir();
    if (chdir(path.c_str()) != 0)
        return false;
    if (plain_name(path)) {
        // Extended in place: a deep walk does not copy its ever longer path at every step.
        if (text != "/")
            text += '/';
        text += path;
        known = identity(".", text_id);
        return true;
    }
    std::string now;
    set_text(ask_kernel(now) ? std::move(now) : join(text, path));
    return true;
}

Dir_mark mark_dir() {
    Dir_mark mark;
    mark.length = current_dir().size();
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
        known = true;
        return true;
    }
    const std::string path = marked_path(mark);
    if (chdir(path.c_str()) != 0)
        return false;
    set_text(path);
    return true;
}

Dir_return::Dir_return() : path_(current_dir()) {
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
