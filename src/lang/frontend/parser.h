// Parsing Vorn sources for a context (Eval_context): every node the parser builds is registered with the
// context at once, and every completed top-level statement is handed to it (on_statement_complete).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "lang/frontend/include_stack.h"
#include "lang/frontend/parse_values.h"
#include "lang/frontend/scanner.h"

class Eval_context;
class Reporter;
struct Site_cache;

// The text-capture state of a "type(NAME):" block, as the grammar keeps it.
struct Capture {
    bool capturing = false;
    std::string name;
};

// The state of scanning and parsing sources one after the other: the flex scanner and the scanner's own
// state, the include stack, the values on the parser's stacks and the grammar's capture state.  Whoever
// parses makes one and parses the sources of its run with it; scans are independent of each other.  A pass
// over a site hands in what it keeps for all its sources (`site`, which must outlive the scan); a scan
// without one reads every included file again and enters its directory.  Its messages go to `reporter`, the
// reporter of the run and of the contexts it parses for.  The parts are the front end's own.
class Source_scan {
public:
    explicit Source_scan(Reporter& reporter, Site_cache* site = nullptr);
    ~Source_scan();
    Source_scan(const Source_scan&) = delete;
    Source_scan& operator=(const Source_scan&) = delete;

    // Parses the main source read from `f` for `store`, starting in plain-text mode.  The caller has
    // pointed the reporter at the source (set_file) and, for the dependency collector, set its directory and
    // names.  Returns 0 when the source was accepted, 1 when the parse stopped on a syntax error or a full
    // parser stack; a parse that stopped has already been abandoned (abandon).
    int parse_file(Eval_context& store, std::FILE* f);
    // The same for a main source held in a string (tests, fuzzing).
    int parse_string(Eval_context& store, const std::string& text);

    Reporter& reporter() const { return reporter_; }
    // Points the scan at the context its nodes, text and inclusions go to (the parse functions do it
    // themselves; a scan read token by token has none until told), or at none (null) before the context
    // goes while the scan stays.
    void work_for(Eval_context* store);
    // The context of the parse under way, or the last one (null before the first).
    Eval_context* store() const { return store_; }

    // Cleans up after a parse that stopped before the end of its source: closes the included files still
    // open, returns to the directory that was current when the main source started, takes the reporter back
    // out of the included files, forgets the scanner's modes and the type-capture state, frees the values
    // the parser still held and tells the store, which forgets the source's state
    // (Eval_context::on_parse_abandoned).  The parse functions do this themselves, also when the
    // end of the run unwinds them (tests); harmless when nothing is left to clean.
    void abandon();

    void* flex; // the flex scanner (yyscan_t), its extra data this object
    Scanner_state scanner;
    Include_stack includes;
    Parse_values values;
    Capture capture;

private:
    void begin(Eval_context& store);
    int run();

    Reporter& reporter_;
    Eval_context* store_ = nullptr;
    std::size_t base_depth_ = 0; // the reporter's include-stack depth when the main source started
};
