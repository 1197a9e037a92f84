#include "tovik/template_reader.h"

#include <cerrno>
#include <cstdio>

#include "base/paths.h"
#include "diag/reporter.h"
#include "os/read_open.h"

namespace {

// What the template itself asked for; asking for both sides of a pair is fatal even when the command line
// settles the matter.
struct Template_requests {
    bool verbose = false;
    bool silent = false;
    bool fatal_warnings = false;
    bool ignore_errors = false;
};

// The template never overrides what the command line gave.
struct Command_line_given {
    bool prefix;
    bool source_ext;
    bool target_ext;
};

// "SRC*DST*OPTIONS", split at its first two "*".
// Both directories get a trailing "/" so that file names are never glued to them ("srcpage.vrn"); the
// options variable keeps its name (en_OPTS for en and for en/).
Branch split_branch(const std::string& text) {
    std::size_t first = text.find('*');
    std::size_t second = text.find('*', first + 1);
    return Branch{with_slash(text.substr(0, first)), with_slash(text.substr(first + 1, second - first - 1)),
                  text.substr(second + 1)};
}

void apply_token(Reporter& reporter, Tovik_opt& options, Pending_settings& pending,
                 const Command_line_given& given, Template_requests& asked, int token,
                 const std::string& value) {
    switch (token) {
    case tmpl_brief:
        reporter.set_brief();
        break;
    case tmpl_fatal_warnings:
        asked.fatal_warnings = true;
        if (pending.policy == Policy::normal)
            pending.policy = Policy::fatal_warnings;
        break;
    case tmpl_ignore_errors:
        asked.ignore_errors = true;
        if (pending.policy == Policy::normal)
            pending.policy = Policy::ignore_errors;
        break;
    case tmpl_quiet:
    case tmpl_silent:
        asked.silent = true;
        if (pending.verbosity == Verbosity::normal)
            pending.verbosity = Verbosity::quiet;
        break;
    case tmpl_verbose:
        asked.verbose = true;
        if (pending.verbosity == Verbosity::normal)
            pending.verbosity = Verbosity::verbose;
        break;
    case tmpl_prefix:
        if (!given.prefix)
            pending.prefix = value;
        break;
    case tmpl_source_ext:
        if (!given.source_ext)
            pending.source_ext = value;
        break;
    case tmpl_target_ext:
        if (!given.target_ext)
            pending.target_ext = value;
        break;
    case tmpl_vorn_option:
        options.add(Option_id::vorn_options, " " + value + " ");
        break;
    case tmpl_branch:
        options.branches.push_back(split_branch(value));
        break;
    case tmpl_main:
        options.set(Option_id::section_options, value);
        break;
    case tmpl_translations:
        pending.translations = value;
        break;
    case tmpl_fast:
        options.fast = true;
        break;
    case tmpl_self_update:
        options.self_update = true;
        break;
    case tmpl_exact_deps:
        options.exact_deps = true;
        break;
    default:
        break;
    }
}

// Runs the scan to its end, merging every token.
Template_requests merge_tokens(Reporter& reporter, Template_scanner& scanner, Tovik_opt& options,
                               Pending_settings& pending) {
    const Command_line_given given{pending.prefix.has_value(), pending.source_ext.has_value(),
                                   pending.target_ext.has_value()};
    Template_requests asked;
    for (int token; (token = scanner.next()) != tmpl_end;)
        apply_token(reporter, options, pending, given, asked, token, scanner.value());
    return asked;
}

void check_requests(Reporter& reporter, const Template_requests& asked) {
    if (asked.verbose && asked.silent)
        reporter.fatal("template: both `verbose' and `silent' set");
    if (asked.fatal_warnings && asked.ignore_errors)
        reporter.fatal("template: both `fatal-warnings' and `ignore-errors' set");
}

// Closes the template however reading ends.
class File_closer {
public:
    explicit File_closer(std::FILE* file) : file_(file) {}
    ~File_closer() {
        if (file_)
            std::fclose(file_);
    }
    File_closer(const File_closer&) = delete;
    File_closer& operator=(const File_closer&) = delete;
    void close() {
        std::fclose(file_);
        file_ = nullptr;
    }

private:
    std::FILE* file_;
};

} // namespace

void read_template(Reporter& reporter, Tovik_opt& options, Pending_settings& pending) {
    const std::string path = with_slash(pending.root_dir) + options.get(Option_id::makefile) + ".vt";
    std::FILE* file = open_for_reading(path);
    if (!file) {
        if (errno == ENOENT)
            reporter.verbose_info("template file not found", "no template");
        else
            reporter.error_errno("can't open template file " + path, path);
        return;
    }
    File_closer closer(file);
    Template_requests asked;
    {
        Template_scanner scanner(reporter, file);
        asked = merge_tokens(reporter, scanner, options, pending);
    }
    closer.close();
    check_requests(reporter, asked);
}

void merge_template_text(Reporter& reporter, Tovik_opt& options, Pending_settings& pending,
                         const std::string& text) {
    Template_scanner scanner(reporter, text);
    check_requests(reporter, merge_tokens(reporter, scanner, options, pending));
}
