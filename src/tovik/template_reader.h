// The site's template file (the makefile's name + ".vt"): its scanner's entry points and the reader that
// merges its settings into the options under the command line's precedence rules.
#pragma once

#include <cstdio>
#include <string>

#include "tovik/options.h"

class Reporter;

// Token codes of the template scanner.  The numbers are fixed; template_scanner.l returns them.
enum Template_token : int {
    tmpl_end = 0,
    tmpl_brief = 1,
    tmpl_fatal_warnings = 2,
    tmpl_ignore_errors = 3,
    tmpl_quiet = 4,
    tmpl_silent = 5,
    tmpl_verbose = 6,
    tmpl_prefix = 7,
    tmpl_source_ext = 8,
    tmpl_target_ext = 9,
    tmpl_vorn_option = 10,
    tmpl_branch = 11,
    tmpl_main = 12,
    tmpl_translations = 13,
    tmpl_fast = 14,
    tmpl_self_update = 15,
    tmpl_exact_deps = 16,
};

// What the template scanner keeps besides flex's own state.
struct Template_scan_state {
    std::string value;            // text of the last token 7 to 13
    std::string accumulator;      // "SRC*DST*" of the open branch section, empty for the main section
    std::string section_options;  // the open section's vorn options
    Reporter* reporter = nullptr; // the run's, for a template it cannot read
};

// The scanner (template_scanner.l), on an open file or on a text: call next() until it returns tmpl_end.
// Tokens 7 to 13 leave their text in value().  Refused input ends the process with "Wrong template file".
class Template_scanner {
public:
    Template_scanner(Reporter& reporter, std::FILE* file);
    Template_scanner(Reporter& reporter, const std::string& text);
    ~Template_scanner();
    Template_scanner(const Template_scanner&) = delete;
    Template_scanner& operator=(const Template_scanner&) = delete;

    int next();
    const std::string& value() const { return state_.value; }

private:
    Template_scan_state state_;
    void* flex_ = nullptr; // the flex scanner (yyscan_t), its extra data state_
};

// Reads the template of the makefile named in the options, from the command line's root directory, and
// merges it into the options and the pending settings.  A missing template changes nothing.
void read_template(Reporter& reporter, Tovik_opt& options, Pending_settings& pending);

// The same for a template given as text.
void merge_template_text(Reporter& reporter, Tovik_opt& options, Pending_settings& pending,
                         const std::string& text);
