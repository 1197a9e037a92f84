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

bool identity(const char* path, Dir_id& id) {
    struct stat st;
    if (stat(path, &st) != 0)
        return false;
    id = Dir_id{st.st_dev, st.st_ino};
    return true;
}

// The system's answer, however long the path (the C library then climbs the tree itself, slowly).
std::string ask_system(Reporter& reporter) {
    std::vector<char> buf(100);
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            reporter.fatal_errno("Can't get current dir", "");
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

} // namespace

// Where the program made the change itself and nobody else changes the directory, the identity is only
// taken when a mark needs it.
void Work_dir::set_text(std::string value) {
    text_ = std::move(value);
    known_ = true;
    id_known_ = false;
    if (trust_ == 0)
        known_ = id_known_ = identity(".", text_id_);
}

bool Work_dir::ensure_id() {
    if (!id_known_)
        id_known_ = identity(".", text_id_);
    return id_known_;
}

// The real working directory (current_dir shows another while an inclusion is read).
const std::string& Work_dir::real_dir() {
    if (known_ && trust_ > 0)
        return text_;
    Dir_id now;
    if (!known_ || !identity(".", now) || !ensure_id() || !(now == text_id_))
        set_text(ask_system(reporter_));
    return text_;
}

const std::string& Work_dir::current_dir() {
    if (!within_.empty()) {
        if (!within_made_) {
            std::string base = within_[0] == '/' ? std::string() : real_dir();
            if (!base.empty() && base != "/")
                base += '/';
            within_text_ = base + within_;
            while (within_text_.size() > 1 && within_text_.back() == '/')
                within_text_.pop_back();
            within_made_ = true;
        }
        return within_text_;
    }
    return real_dir();
}

bool Work_dir::current_dir_id(Dir_id& id) {
    real_dir();
    if (!ensure_id())
        return false;
    id = text_id_;
    return true;
}

void Work_dir::show_dir_within(const std::string& path) {
    within_ = path;
    within_made_ = false;
}

Dir_trust::Dir_trust(Work_dir& work_dir) : work_dir_(work_dir) {
    work_dir_.real_dir();
    ++work_dir_.trust_;
}

Dir_trust::~Dir_trust() {
    if (--work_dir_.trust_ == 0 && work_dir_.known_ && !work_dir_.ensure_id())
        work_dir_.known_ = false;
}

bool Work_dir::change_dir(const std::string& path) {
    real_dir();
    if (chdir(path.c_str()) != 0)
        return false;
    if (plain_name(path)) {
        // Extended in place: a deep walk does not copy its ever longer path at every step.
        if (text_ != "/")
            text_ += '/';
        text_ += path;
        id_known_ = false;
        if (trust_ == 0)
            known_ = id_known_ = identity(".", text_id_);
        return true;
    }
    std::string now;
    set_text(ask_kernel(now) ? std::move(now) : join(text_, path));
    return true;
}

Dir_mark Work_dir::mark_dir() {
    Dir_mark mark;
    mark.length = real_dir().size();
    ensure_id();
    mark.id = text_id_;
    return mark;
}

std::string Work_dir::marked_path(const Dir_mark& mark) const {
    return text_.substr(0, mark.length);
}

bool Work_dir::return_to(const Dir_mark& mark) {
    Dir_id up;
    if (chdir("..") == 0 && identity(".", up) && up == mark.id) {
        text_.resize(mark.length);
        text_id_ = up;
        known_ = id_known_ = true;
        return true;
    }
    const std::string path = marked_path(mark);
    if (chdir(path.c_str()) != 0)
        return false;
    set_text(path);
    return true;
}

std::string Work_dir::absolute_path(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    return working_dir() + "/" + path;
}

int Work_dir::path_depth(const std::string& path) {
    std::string n = normalize_path(absolute_path(path), true);
    return static_cast<int>(std::count(n.begin(), n.end(), '/'));
}

int Work_dir::cwd_depth() {
    std::string w = working_dir();
    return static_cast<int>(std::count(w.begin(), w.end(), '/')) + 1;
}

bool Work_dir::enter_dir_part(const std::string& path) {
    std::string dir = dir_part(path);
    if (dir.empty())
        return false;
    return !change_dir(dir);
}

namespace {

// The working directory held open: without a path, so that the way back works however deep it lies.
int open_working_dir() {
#ifdef O_PATH
    return open(".", O_PATH | O_DIRECTORY | O_CLOEXEC);
#else
    return open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
}

} // namespace

Dir_return::Dir_return(Work_dir& work_dir) : work_dir_(&work_dir), path_(work_dir.real_dir()) {
    fd_ = open_working_dir();
}

Dir_return::~Dir_return() {
    close_fd();
}

Dir_return::Dir_return(Dir_return&& other) noexcept
    : work_dir_(other.work_dir_), fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
}

Dir_return& Dir_return::operator=(Dir_return&& other) noexcept {
    if (this != &other) {
        close_fd();
        work_dir_ = other.work_dir_;
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
    work_dir_->set_text(path_);
    return true;
}

Dir_restore::Dir_restore(Work_dir& work_dir) : work_dir_(work_dir), fd_(open_working_dir()) {}

Dir_restore::~Dir_restore() {
    if (fd_ < 0)
        return;
    if (fchdir(fd_) == 0)
        work_dir_.forget();
    close(fd_);
}
