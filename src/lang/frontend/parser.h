// Parsing Vorn sources for the current store (g_store): every node the parser builds is registered with the
// store at once, and every completed top-level statement is handed to it (on_statement_complete).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "lang/frontend/include_stack.h"
#include "lang/frontend/parse_values.h"
#include "lang/frontend/scanner.h"

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
// without one reads every included file again and enters its directory.  The parts are the front end's own.
class Source_scan {
public:
    explicit Source_scan(Site_cache* site = nullptr);
    ~Source_scan();
    Source_scan(const Source_scan&) = delete;
    Source_scan& operator=(const Source_scan&) = delete;

    // Parses the main source read from `f`, starting in plain-text mode.  The caller has set g_store,
    // pointed the reporter at the source (set_file) and, for the dependency store, set its directory and
    // names.  Returns 0 when the source was accepted, 1 when the parse stopped on a syntax error or a full
    // parser stack; a parse that stopped has already been abandoned (abandon).
    int parse_file(std::FILE* f);
    // The same for a main source held in a string (tests, fuzzing).
    int parse_string(const std::string& text);

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
    void begin();
    int run();

    std::size_t base_depth_ = 0; // the reporter's include-stack depth when the main source started
};
