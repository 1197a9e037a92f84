#include "support/test_support.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/process_end.h"

extern char** environ;

namespace ts {

Temp_dir::Temp_dir() {
    const char* base = std::getenv("TMPDIR");
    std::string templ = std::string(base && *base ? base : "/tmp") + "/vt-test-XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

Temp_dir::~Temp_dir() {
    remove_tree(path_);
}

void make_dirs(const std::string& path) {
    for (std::size_t pos = 1; pos <= path.size(); ++pos) {
        if (pos == path.size() || path[pos] == '/') {
            std::string part = path.substr(0, pos);
            if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
                throw std::runtime_error("mkdir " + part + ": " + std::strerror(errno));
        }
    }
}

void write_file(const std::string& path, const std::string& content) {
    std::size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0)
        make_dirs(path.substr(0, slash));
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f)
        throw std::runtime_error("cannot write " + path);
    f.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

std::string read_file(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string current_dir() {
    char buf[PATH_MAX];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

bool exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> list_dir(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..")
                names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void remove_tree(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        chmod(path.c_str(), 0700);
        for (const auto& n : list_dir(path))
            remove_tree(path + "/" + n);
        rmdir(path.c_str());
    } else {
        unlink(path.c_str());
    }
}

namespace {
void walk(const std::string& root, const std::string& rel, std::map<std::string, std::string>& out) {
    for (const auto& n : list_dir(rel.empty() ? root : root + "/" + rel)) {
        std::string r = rel.empty() ? n : rel + "/" + n;
        struct stat st;
        if (lstat((root + "/" + r).c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            walk(root, r, out);
        else if (S_ISREG(st.st_mode))
            out[r] = read_file(root + "/" + r);
    }
}
} // namespace

std::map<std::string, std::string> read_tree(const std::string& dir) {
    std::map<std::string, std::string> out;
    walk(dir, "", out);
    return out;
}

Run_result run(const std::vector<std::string>& argv, const Run_options& options) {
    int in_pipe[2], out_pipe[2], err_pipe[2];
    if (pipe(in_pipe) || pipe(out_pipe) || pipe(err_pipe))
        throw std::runtime_error("pipe failed");
    std::vector<std::string> env_strings;
    if (options.env.empty() || options.inherit_env)
        for (char** e = environ; *e; ++e)
            env_strings.push_back(*e);
    for (const auto& e : options.env) {
        std::string name = e.substr(0, e.find('='));
        for (auto it = env_strings.begin(); it != env_strings.end();)
            it = it->compare(0, name.size() + 1, name + "=") == 0 ? env_strings.erase(it) : it + 1;
        env_strings.push_back(e);
    }
    std::vector<char*> envp;
    for (auto& e : env_strings)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = argv;
    if (!options.argv0.empty())
        args[0] = options.argv0;
    std::vector<char*> argp;
    for (auto& a : args)
        argp.push_back(a.data());
    argp.push_back(nullptr);

    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        dup2(in_pipe[0], 0);
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]})
            close(fd);
        if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0)
            _exit(126);
        if (options.time_limit > 0)
            alarm(options.time_limit); // kept across execve
        execve(argv[0].c_str(), argp.data(), envp.data());
        _exit(127);
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[1]);

    Run_result r;
    std::size_t written = 0;
    int in_fd = in_pipe[1];
    if (options.input.empty()) {
        close(in_fd);
        in_fd = -1;
    } else {
        fcntl(in_fd, F_SETFL, O_NONBLOCK);
    }
    bool out_open = true, err_open = true;
    char buf[65536];
    while (out_open || err_open || in_fd >= 0) {
        pollfd fds[3];
        int n = 0;
        if (out_open)
            fds[n++] = {out_pipe[0], POLLIN, 0};
        if (err_open)
            fds[n++] = {err_pipe[0], POLLIN, 0};
        if (in_fd >= 0)
            fds[n++] = {in_fd, POLLOUT, 0};
        if (poll(fds, n, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < n; ++i) {
            if (!fds[i].revents)
                continue;
            if (fds[i].fd == in_fd) {
                ssize_t w = write(in_fd, options.input.data() + written, options.input.size() - written);
                if (w > 0)
                    written += static_cast<std::size_t>(w);
                if (w < 0 || written == options.input.size()) {
                    close(in_fd);
                    in_fd = -1;
                }
                continue;
            }
            ssize_t got = read(fds[i].fd, buf, sizeof buf);
            if (got <= 0) {
                if (fds[i].fd == out_pipe[0])
                    out_open = false;
                else
                    err_open = false;
                continue;
            }
            (fds[i].fd == out_pipe[0] ? r.out : r.err).append(buf, static_cast<std::size_t>(got));
        }
    }
    close(out_pipe[0]);
    close(err_pipe[0]);
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0 && errno == EINTR) {
    }
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    return r;
}

Run_result sh(const std::string& command, const std::string& cwd) {
    Run_options o;
    o.cwd = cwd;
    return run({"/bin/sh", "-c", command}, o);
}

namespace {
int redirect(int fd, std::string& path) {
    std::fflush(fd == 1 ? stdout : stderr);
    char templ[] = "/tmp/vt-capture-XXXXXX";
    int tmp = mkstemp(templ);
    if (tmp < 0)
        throw std::runtime_error("mkstemp failed");
    path = templ;
    int saved = dup(fd);
    dup2(tmp, fd);
    close(tmp);
    return saved;
}
void restore(int fd, int saved, const std::string& path) {
    std::fflush(fd == 1 ? stdout : stderr);
    dup2(saved, fd);
    close(saved);
    unlink(path.c_str());
}
} // namespace

Stderr_capture::Stderr_capture() : saved_fd_(redirect(2, path_)) {}
Stderr_capture::~Stderr_capture() {
    restore(2, saved_fd_, path_);
}
std::string Stderr_capture::text() {
    std::fflush(stderr);
    return read_file(path_);
}

Stdout_capture::Stdout_capture() : saved_fd_(redirect(1, path_)) {}
Stdout_capture::~Stdout_capture() {
    restore(1, saved_fd_, path_);
}
std::string Stdout_capture::text() {
    std::fflush(stdout);
    return read_file(path_);
}

} // namespace ts
