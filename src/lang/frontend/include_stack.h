// What the source scanner reads from: the main source at the bottom and the included files open above it,
// innermost last.  Entering an included file reads it (whole where it can), has the scanner push an input
// buffer over it and enters its directory; leaving it goes back.  In a pass over a site (a scan given a
// Site_cache, lang/frontend/site_cache.h), an included file read whole is made again from a record of what
// reading it did to the dependency collector (lang/frontend/include_memo.h) instead of being scanned, or
// scanned and recorded, and its directory is not entered (lang/frontend/include_levels.h).  Nothing here
// touches flex: the scanner's buffers are its own (Scanner_hooks).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "lang/frontend/include_levels.h"
#include "lang/frontend/include_memo.h"
#include "os/work_dir.h"

class Eval_context;
class Reporter;
struct Site_cache;

// Where an inclusion stands in the parse: the height on the parser's stack of the state the block that the
// scanner opened for it put the parser in, and that state.  A file included from an unknown point is never
// made again from a record (lang/frontend/include_memo.h).
struct Include_point {
    long block = -1;
    int state = -1;
};

// What the include stack asks of the scanner.
class Scanner_hooks {
public:
    // What decides how a file is scanned besides its text: the mode, the modes it returns to, the
    // type-capture flag.
    virtual std::string state() = 0;
    // Pushes an input buffer over the open `file`, or, when it is null, over `text` (the whole file with
    // flex's two end marks, scanned in place).
    virtual void push_buffer(std::FILE* file, std::vector<char>& text) = 0;
    // Pops the innermost input buffer.
    virtual void pop_buffer() = 0;

protected:
    ~Scanner_hooks() = default;
};

// The include stack of one source scan.
class Include_stack {
public:
    // Reports through `reporter`.
    Include_stack(Reporter& reporter, Site_cache* site);
    ~Include_stack();
    Include_stack(const Include_stack&) = delete;
    Include_stack& operator=(const Include_stack&) = delete;

    // The text of the main source when it is read whole, with flex's two end marks; kept from one source to
    // the next.
    std::vector<char>& main_text() { return whole_text(0); }

    // Switches the input to the file `path` (an inclusion) and the working directory to the file's
    // directory; during a pass over a site, the file is followed without entering its directory.  0 on
    // success; 1 (after the error) when the file cannot be opened; fatal when the inclusions nest too deep or
    // the directory cannot be entered.  `tokens_pending`: tokens wait to be handed out before the file's
    // own, which are then not all it gives: it is not made again from a record.
    int enter(const std::string& path, Include_point at, bool tokens_pending, Scanner_hooks& scanner);
    // Called before the first token of a file just entered is scanned: true when its changes to the
    // dependency collector were made again from a record (the file is then to be left at once, unread);
    // otherwise the file starts being recorded, if it is to be.
    bool replay_entered() { return entered_.pending && replay(); }
    // Back to the including file: its location, its input, its directory.  The stacks are popped before the
    // directory change, which may end the run.
    void leave(Scanner_hooks& scanner);
    // Number of included files open.
    int depth() const { return depth_; }

    // Leaves every included file still open (a parse ended early): closes them and forgets the levels and
    // the records begun.  Returns the directory that was current when the first of them was entered, if one
    // was, for the scanner to go back to with return_to once it has forgotten its own state.
    std::optional<Dir_return> close_all(Scanner_hooks& scanner);
    // Fatal when the directory cannot be entered again.
    void return_to(const std::optional<Dir_return>& start);

    // The records being made, for the parser to tell where included files end and blocks close.
    Include_memo& memo() { return memo_; }
    // The context the parse under way works for: it decides inclusions and follows the working directory.
    void work_for(Eval_context* store) {
        store_ = store;
        levels_.work_for(store);
    }
    // Whether the file `path` opens for reading (errno tells why not).
    bool opens_for_reading(const std::string& path) { return levels_.opens_for_reading(path); }

private:
    // An included file just entered in a pass over a site: when the next token is asked for, its changes
    // to the dependency store are made again from a record that fits instead of reading it, or it is read
    // and recorded.
    struct Entered {
        bool pending = false;
        const std::vector<include_memo::Entry>* records = nullptr;
        std::string key;
        std::string state;
        long block = -1;
    };

    std::vector<char>& whole_text(int level);
    bool replay();

    Reporter& reporter_;
    Eval_context* store_ = nullptr;
    Site_cache* site_;
    Include_levels levels_;
    Include_memo memo_;
    // One entry per included file open, innermost last.  The working directory of each inclusion is held
    // open rather than named, so that the way back works however deep the directory lies; the first entry's
    // is where the main source was read.
    std::vector<std::FILE*> files_; // null for a file read whole
    // Empty while a pass follows inclusions without entering their directories.
    std::vector<std::optional<Dir_return>> dirs_;
    int depth_ = 0; // input buffers pushed for included files
    // The text of each source being read whole, by depth (the main source at 0), with flex's two end marks;
    // the scanner works on it in place.  Kept from one source to the next.
    std::vector<std::vector<char>> whole_texts_;
    Entered entered_;
};
