// The working directory, followed as text.  The system is asked for it once; every change a run makes goes
// through its Work_dir's change_dir, which keeps the text up to date, so that a walk thousands of
// directories deep never asks the system for a path longer than it can give (getcwd and chdir refuse paths
// beyond a few kilobytes, and getcwd slows down long before that).
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

class Reporter;

// A directory's identity: where it is stored, not how it is named.
struct Dir_id {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const Dir_id& other) const { return dev == other.dev && ino == other.ino; }
    bool operator<(const Dir_id& other) const { return dev != other.dev ? dev < other.dev : ino < other.ino; }
};

// Where a walk stood before it went down into a subdirectory by the subdirectory's plain name.
struct Dir_mark {
    std::size_t length = 0; // of the text: the marked path is a prefix of the text below it
    Dir_id id;
};

// The working directory as one program's run follows it.  Every change the run makes goes through this
// object; a change made behind its back (a test's chdir) is noticed by the directory's identity, unless a
// Dir_trust is alive.
class Work_dir {
public:
    // `reporter` says when the system cannot give the working directory.
    explicit Work_dir(Reporter& reporter) : reporter_(reporter) {}
    Work_dir(const Work_dir&) = delete;
    Work_dir& operator=(const Work_dir&) = delete;

    // The working directory, without a trailing "/" (unless it is "/").  The text is checked against the
    // directory's identity, so a change made behind the program's back is noticed and the system asked
    // again; fatal "Can't get current dir" when it cannot answer.
    const std::string& current_dir();

    // The working directory's identity; false, with errno set, when the system cannot give it.
    bool current_dir_id(Dir_id& id);

    // While a file is read from a directory the program has not entered (an inclusion followed without
    // changing the working directory), current_dir answers with that directory: the working directory
    // joined with `path`, which is relative to it or absolute, as named (the system resolves the text to
    // the same directory).  An empty path ends it.
    void show_dir_within(const std::string& path);

    // Changes the working directory; false, with errno set, when the system refuses.  After a plain name
    // the text is the old one plus the name; after any other path it is what the system reports, or the
    // lexical result when that path is too long for the system to report.
    bool change_dir(const std::string& path);

    Dir_mark mark_dir();
    // The marked directory's path, for messages.
    std::string marked_path(const Dir_mark& mark) const;
    // Goes back to the marked directory: through ".." when that leads there, otherwise (a subdirectory
    // reached through a symbolic link) by its path.  False, with errno set, when neither works.
    bool return_to(const Dir_mark& mark);

    // The working directory, without a trailing "/" (the text followed above); fatal when it cannot be had.
    std::string working_dir() { return current_dir(); }
    // A path beginning with "/" unchanged; otherwise working_dir() + "/" + path (not normalised).
    std::string absolute_path(const std::string& path);
    // The number of "/" in normalize_path(absolute_path(path), true).
    int path_depth(const std::string& path);
    // The number of "/" in working_dir(), plus one.
    int cwd_depth();
    // Changes into dir_part(path) when it is non-empty; true when that failed.
    bool enter_dir_part(const std::string& path);

    // The system's working directory changed in a way the text does not follow: asked again when next
    // needed.
    void forget() { known_ = id_known_ = false; }

private:
    friend class Dir_trust;
    friend class Dir_return;
    const std::string& real_dir();
    void set_text(std::string value);
    bool ensure_id();

    Reporter& reporter_;
    std::string text_; // the working directory, valid while known_
    Dir_id text_id_;   // the directory the text names, valid while id_known_
    bool known_ = false;
    bool id_known_ = false;
    int trust_ = 0; // Dir_trust objects alive
    // The directory shown instead while an inclusion is read from it (show_dir_within): as given, and the
    // text made from it when first asked for.
    std::string within_;
    std::string within_text_;
    bool within_made_ = false;
};

// While one exists, every change of the working directory is the run's own (through its Work_dir):
// current_dir answers from the text without checking it against the system.  Made where nothing else
// changes the directory until it ends (a pass over the site); the text is checked when it is made.
class Dir_trust {
public:
    explicit Dir_trust(Work_dir& work_dir);
    ~Dir_trust();
    Dir_trust(const Dir_trust&) = delete;
    Dir_trust& operator=(const Dir_trust&) = delete;

private:
    Work_dir& work_dir_;
};

// A directory to come back to across changes that need not be plain names (an inclusion, a run that
// enters its source's directory).  It is held open, so that the way back needs no path; when it cannot be
// opened, its path is used instead.
class Dir_return {
public:
    explicit Dir_return(Work_dir& work_dir);
    ~Dir_return();
    Dir_return(Dir_return&& other) noexcept;
    Dir_return& operator=(Dir_return&& other) noexcept;
    Dir_return(const Dir_return&) = delete;
    Dir_return& operator=(const Dir_return&) = delete;

    // False, with errno set, when the directory cannot be re-entered.
    bool go_back() const;
    const std::string& path() const { return path_; }

private:
    void close_fd();
    Work_dir* work_dir_;
    int fd_ = -1;
    std::string path_;
};

// The directory a program's run started in, entered again when the run ends, however it ends (a failure
// unwinds through here), so that the process is left where it was.  Held open; it asks the system for no
// path and reports nothing, so that it changes nothing a run shows.
class Dir_restore {
public:
    explicit Dir_restore(Work_dir& work_dir);
    ~Dir_restore();
    Dir_restore(const Dir_restore&) = delete;
    Dir_restore& operator=(const Dir_restore&) = delete;

private:
    Work_dir& work_dir_;
    int fd_;
};
