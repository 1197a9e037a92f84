// Shared helpers for the unit and end-to-end tests: temporary directories, files, running programs,
// catching the process's end and capturing the standard error stream.
#pragma once

#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "base/process_end.h"

namespace ts {

// The size of a huge input.  The sanitized build looks for memory faults on a fifth of it; the plain build
// checks the whole size, where running time would show a quadratic path.
constexpr std::size_t huge(std::size_t n) {
#ifdef VT_SANITIZED
    return n / 5;
#else
    return n;
#endif
}

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it on destruction.
class Temp_dir {
public:
    Temp_dir();
    ~Temp_dir();
    Temp_dir(const Temp_dir&) = delete;
    Temp_dir& operator=(const Temp_dir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }

private:
    std::string path_;
};

// Writes a file, creating its missing parent directories.
void write_file(const std::string& path, const std::string& content);
std::string read_file(const std::string& path);
// The lines of a text, without their newlines.
std::vector<std::string> lines_of(const std::string& text);
bool exists(const std::string& path);
// The process's working directory, as the system gives it.
std::string current_dir();
void make_dirs(const std::string& path);
void remove_tree(const std::string& path);

// The names in a directory (without "." and ".."), sorted; none when it cannot be read.
std::vector<std::string> list_dir(const std::string& dir);

// Every regular file under a directory, relative path to contents.
std::map<std::string, std::string> read_tree(const std::string& dir);

struct Run_result {
    int status = -1; // exit status, or 128 + signal number
    std::string out;
    std::string err;
};

struct Run_options {
    std::string cwd;              // empty: the current directory
    std::vector<std::string> env; // NAME=VALUE entries; empty: inherit the environment
    bool inherit_env = true;      // with env: add to (true) or replace (false) the environment
    std::string input;            // fed to standard input
    std::string argv0;            // argv[0]; empty: the program path
    unsigned time_limit = 0;      // seconds after which the program is killed (status 128 + SIGALRM); 0: none
};

// Runs a program (argv[0] is the path to execute) and collects its output and status.
Run_result run(const std::vector<std::string>& argv, const Run_options& options = Run_options());

// Runs a shell command line with /bin/sh -c.
Run_result sh(const std::string& command, const std::string& cwd = std::string());

// What ending a run throws (base/process_end.h).
using Process_ended = ::Run_end;

// While alive, everything written to file descriptor 2 is collected.
class Stderr_capture {
public:
    Stderr_capture();
    ~Stderr_capture();
    std::string text(); // what was written so far
private:
    std::string path_; // before saved_fd_: the constructor fills it while initialising saved_fd_
    int saved_fd_;
};

// The same for file descriptor 1.
class Stdout_capture {
public:
    Stdout_capture();
    ~Stdout_capture();
    std::string text();

private:
    std::string path_; // before saved_fd_: the constructor fills it while initialising saved_fd_
    int saved_fd_;
};

// What a call wrote on the standard error stream and the status it ended the process with (-1: it did not).
struct Reported {
    std::string err;
    int status = -1;
    bool operator==(const Reported& o) const { return err == o.err && status == o.status; }
    friend std::ostream& operator<<(std::ostream& out, const Reported& r) {
        return out << "status " << r.status << ", err \"" << r.err << "\"";
    }
};

// Runs `f` with the standard error stream captured, and the end of the run (Process_ended) caught.
template <class F> Reported capture(F&& f) {
    Stderr_capture cap;
    Reported r;
    try {
        f();
    } catch (const Process_ended& e) {
        r.status = e.status;
    }
    r.err = cap.text();
    return r;
}

} // namespace ts
