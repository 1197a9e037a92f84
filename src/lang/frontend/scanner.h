// The source scanner's interface inside the front end: what the parser and the parse entry points ask of
// it, and a token-by-token entry point for tests.  The rules themselves are in source_scanner.l; the state
// they work on is the source scan's (lang/frontend/parser.h).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "lang/frontend/include_stack.h"
#include "lang/values/gen_type.h"

class Reporter;
class Source_scan;
struct yy_buffer_state;

// The scanner's mode stack: every tag region, type block and comment opened and not yet closed, innermost
// last, above the plain text of the main source.  Modes are the scanner's start conditions; the scanner
// enters the mode each call leaves current.
class Nested_tags {
public:
    Nested_tags();
    // Remembers a mode entered.
    void push(int condition);
    // Leaves the innermost mode; returns the one around it.  Leaving the plain text is a fatal internal
    // error, reported to `reporter`.
    int restore_condition(Reporter& reporter);
    // Back to plain text alone (the current mode is left as it is).
    void reset();
    // Number of entries, the plain text at the bottom included.
    std::size_t size() const { return stack_.size(); }
    const std::vector<int>& entries() const { return stack_; }

private:
    std::vector<int> stack_;
};

// What the scanner keeps besides flex's own state.
struct Scanner_state {
    // A token handed out before the input is read again.
    struct Pending {
        int token;
        const char* text;
    };

    Nested_tags nested_tags;
    bool tags_seen = false;    // an opening tag in the file being read
    bool type_capture = false; // inside "type(NAME):" ... "endtype;"; plain text is not written then
    // The text matched last, for the syntax-error report: where it lies in the input (the input is not moved
    // before the next match replaces it), or a copy taken before its input goes away.
    const char* last_text = "";
    std::size_t last_length = 0;
    std::string last_copy;
    bool last_matched = false;
    std::vector<Pending> pending;
    int literal_return = 0; // the mode a literal matched again in LITERAL goes back to
    yy_buffer_state* main_buffer = nullptr;
};

// Makes the flex scanner of `scan` (its extra data is `scan`), and frees it with everything it holds.
void* scanner_create(Source_scan& scan);
void scanner_destroy(Source_scan& scan);

// Starts scanning a main source from a file, or from a copy of `text`, in plain-text mode, with an empty
// include stack.
void scanner_begin_file(Source_scan& scan, std::FILE* f);
void scanner_begin_bytes(Source_scan& scan, const std::string& text);
// Frees the main source's input buffer once its parse is over.
void scanner_finish(Source_scan& scan);
// Leaves every included file still open (a parse ended early): closes them, returns to the directory that
// was current when the first of them was entered, and forgets the modes, put-back tokens and flags.  The
// message reporter's locations are the caller's business.
void scanner_unwind(Source_scan& scan);

// Switches the input to the file `path` (an inclusion) and the working directory to the file's directory.
// 0 on success; 1 (after the error) when the file cannot be opened; fatal when the directory cannot be
// entered.
int push_include(Source_scan& scan, const std::string& path, Include_point at = Include_point());
// A token read before anything else in the input: the "}" that closes an include block.
void put_back_token(Source_scan& scan, int token, const char* text);

// The text of the token matched last, for the syntax-error report; not matched when nothing has been read
// since the source or the last included file ended.
bool last_token_matched(const Source_scan& scan);
std::string last_token_text(const Source_scan& scan);

// For tests: reads one token (0 at the end of the main source) and takes over its value.
struct Scanned_token {
    int code = 0;
    std::string name; // T_IDENT, T_TYPE_NAME
    Gen_type value;   // T_CONSTANT, T_TEXT
};
Scanned_token next_token(Source_scan& scan);
// The grammar's name of a token code ("T_IDENT", "'('", "$end").
const char* token_name(int code);
