// Included files followed without changing the working directory.  During a pass over a site every page
// includes the same few files again and again; entering each inclusion's directory and coming back costs
// five system calls an inclusion.  Instead, each level of inclusion knows its directory as named from the
// working directory and by its identity, and an included file is opened through that directory: the system
// resolves the names exactly as it would after entering it.  With the included files' contents kept for
// the run (lang/frontend/source_text.h), a repeated inclusion asks the system nothing.
#pragma once

#include <cstdio>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "lang/frontend/source_text.h"
#include "os/work_dir.h"

class Eval_context;

// What a pass over a site learns of directories and files as it follows inclusions (part of its Site_cache,
// lang/frontend/site_cache.h).
struct Named_dirs {
    // The identity of a directory named from another, by the other's identity and the name.  Those named
    // from the working directory serve its pages only and are forgotten when the pages of another directory
    // are read; those named from included files' directories serve the whole pass (up to a bound).
    std::unordered_map<std::string, Dir_id> from_top;
    std::unordered_map<std::string, Dir_id> from_inner;
    Dir_id top_id;
    // The files that opened, by their directories' identity and their names.
    std::unordered_set<std::string> opened_files;
};

// The levels of inclusion of one source scan, each with its directory, while a pass over a site follows
// inclusions without entering their directories.
class Include_levels {
public:
    enum class Opened {
        ok,         // the file's text is in `text`, or `file` is open on it (no regular file, or a large one)
        not_opened, // the file cannot be opened; errno tells why
        not_entered, // the file opens, but its directory is no directory that can be entered; errno tells why
    };

    explicit Include_levels(Named_dirs* names) : names_(names) {}
    ~Include_levels() {
        if (!levels_.empty())
            clear();
    }
    Include_levels(const Include_levels&) = delete;
    Include_levels& operator=(const Include_levels&) = delete;

    // Opens `path`, named in the innermost file being read (the working directory's at the outermost
    // level), and on success makes its directory the innermost level.  `text` receives the whole file
    // followed by two NUL bytes; `file` is null then.  `key` names the file by its directory's identity and
    // its name, and `kept` tells whether its contents came from `contents`, which keeps them.
    Opened push(const std::string& path, Source_cache& contents, std::vector<char>& text, std::FILE*& file,
                std::string& key, bool& kept);
    // Back to the level of the including file.
    void pop();
    // Forgets every level (an abandoned parse).
    void clear();
    // Whether the file `path` opens for reading (errno tells why not).  During a pass, a file that opened
    // once is taken to open again without being opened.
    bool opens_for_reading(const std::string& path);
    // The context the parse under way works for, whose working directory the levels follow.
    void work_for(Eval_context* store) { store_ = store; }

private:
    struct Level {
        Dir_id id;
        std::string path; // from the working directory; empty at the outermost level, else ends with "/"
        std::string dir;  // as named from the level below
        int fd = -1;      // the directory, opened when first needed (AT_FDCWD at the outermost level)
    };
    int level_fd(std::size_t i);
    int open_in(std::size_t i, const std::string& name);
    bool top_identity(Dir_id& id);
    bool named_dir(std::unordered_map<std::string, Dir_id>& named, const Dir_id& from_id, std::size_t from,
                   const std::string& dir, Dir_id& id);
    bool file_key(const std::string& path, std::string& key);
    void set_shown_dir();
    Work_dir& work_dir();

    Eval_context* store_ = nullptr;
    Named_dirs* names_; // null outside a pass
    std::vector<Level> levels_;
};
