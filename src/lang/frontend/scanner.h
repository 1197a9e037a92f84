// The source scanner's interface inside the front end: what the parser and the parse entry points ask of
// it, and a token-by-token entry point for tests.  The rules themselves are in source_scanner.l.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "lang/frontend/include_stack.h"
#include "lang/values/gen_type.h"

// The scanner's mode stack: every tag region, type block and comment opened and not yet closed, innermost
// last, above the plain text of the main source.  Modes are the scanner's start conditions.
class Nested_tags {
public:
    Nested_tags();
    // Enters a mode, remembering it.
    void push(int condition);
    // Leaves the innermost mode for the one around it.
    void restore_condition();
    // Back to plain text alone (the current mode is left as it is).
    void reset();
    // Number of entries, the plain text at the bottom included.
    std::size_t size() const { return stack_.size(); }
    const std::vector<int>& entries() const { return stack_; }

private:
    std::vector<int> stack_;
};

// Created on first use.
Nested_tags& nested_tags();

// Starts scanning a main source from a file, or from a copy of `text`, in plain-text mode, with an empty
// include stack.
void scanner_begin_file(std::FILE* f);
void scanner_begin_bytes(const std::string& text);
// Frees the main source's input buffer once its parse is over.
void scanner_finish();
// Leaves every included file still open (a parse ended early): closes them, returns to the directory that
// was current when the first of them was entered, and forgets the modes, put-back tokens and flags.  The
// message reporter's locations are the caller's business.
void scanner_unwind();
// scanner_unwind, then frees everything the generated scanner holds.
void scanner_release();

// Switches the input to the file `path` (an inclusion) and the working directory to the file's directory.
// 0 on success; 1 (after the error) when the file cannot be opened; fatal when the directory cannot be
// entered.
int push_include(const std::string& path, Include_point at = Include_point());
// Number of included files open.
int include_depth();
// A token read before anything else in the input: the "}" that closes an include block.
void put_back_token(int token, const char* text);

// The text of the token matched last, for the syntax-error report; not matched when nothing has been read
// since the source or the last included file ended.
bool last_token_matched();
std::string last_token_text();

// The type-capture flag: set by "type(NAME):", cleared by "endtype;".  While set, plain text is not written.
bool scanner_capturing();

// For tests: reads one token (0 at the end of the main source) and takes over its value.
struct Scanned_token {
    int code = 0;
    std::string name; // T_IDENT, T_TYPE_NAME
    Gen_type value;   // T_CONSTANT, T_TEXT
};
Scanned_token next_token();
// The grammar's name of a token code ("T_IDENT", "'('", "$end").
const char* token_name(int code);
