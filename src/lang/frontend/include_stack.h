// What the source scanner reads from: the main source at the bottom and the included files open above it,
// innermost last.  Entering an included file reads it (whole where it can), has the scanner push an input
// buffer over it and enters its directory; leaving it goes back.  In a pass over a site, an included file
// read whole is made again from a record of what reading it did to the dependency collector
// (lang/frontend/include_memo.h) instead of being scanned, or scanned and recorded.  Nothing here touches
// flex: the scanner's buffers are its own (Scanner_hooks).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "os/work_dir.h"

// Where an inclusion stands in the parse: the height on the parser's stack of the state the block that the
// scanner opened for it put the parser in, and that state.  A file included from an unknown point is never
// made again from a record (lang/frontend/include_memo.h).
struct Include_point {
    long block = -1;
    int state = -1;
};

namespace include_stack {

// What the include stack asks of the scanner.
struct Scanner_hooks {
    // What decides how a file is scanned besides its text: the mode, the modes it returns to, the
    // type-capture flag.
    std::string (*state)();
    // Pushes an input buffer over the open `file`, or, when it is null, over `text` (the whole file with
    // flex's two end marks, scanned in place).
    void (*push_buffer)(std::FILE* file, std::vector<char>& text);
    // Pops the innermost input buffer.
    void (*pop_buffer)();
};

// The text of the main source when it is read whole, with flex's two end marks; kept from one source to the
// next.
std::vector<char>& main_text();

// Switches the input to the file `path` (an inclusion) and the working directory to the file's directory;
// during a pass over a site (while included files are kept), the file is followed without entering its
// directory.  0 on success; 1 (after the error) when the file cannot be opened; fatal when the inclusions
// nest too deep or the directory cannot be entered.  `tokens_pending`: tokens wait to be handed out before
// the file's own, which are then not all it gives: it is not made again from a record.
int enter(const std::string& path, Include_point at, bool tokens_pending, const Scanner_hooks& scanner);
// Called before the first token of a file just entered is scanned: true when its changes to the dependency
// collector were made again from a record (the file is then to be left at once, unread); otherwise the file
// starts being recorded, if it is to be.
bool replay_entered();
// Back to the including file: its location, its input, its directory.  The stacks are popped before the
// directory change, which may end the run.
void leave(const Scanner_hooks& scanner);
// Number of included files open.
int depth();

// Leaves every included file still open (a parse ended early): closes them and forgets the levels and the
// records begun.  Returns the directory that was current when the first of them was entered, if one was,
// for the scanner to go back to with return_to once it has forgotten its own state.
std::optional<Dir_return> close_all(const Scanner_hooks& scanner);
// Fatal when the directory cannot be entered again.
void return_to(const std::optional<Dir_return>& start);
// Frees the texts kept from one source to the next.
void release_texts();

} // namespace include_stack
