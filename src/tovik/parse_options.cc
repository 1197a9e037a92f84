#include "tovik/parse_options.h"

#include <cstdio>
#include <getopt.h>

#include "base/make_names.h"
#include "base/paths.h"
#include "diag/reporter.h"
#include "tovik/template_reader.h"

// ---- parse_options

namespace {

// No option sets a flag variable; each returns its letter.  The help has always shown "-f, --fast", so
// -f is accepted like --fast.
const char short_options[] = "Ad:O:p:qS:st:EvbhiVf";
// The long options without a letter.
enum { opt_self_update = 256, opt_exact_deps };
const option long_options[] = {
    {"accessibility", no_argument, nullptr, 'A'},
    {"brief", no_argument, nullptr, 'b'},
    {"root-dir", required_argument, nullptr, 'd'},
    {"fatal-warnings", no_argument, nullptr, 'E'},
    {"fast", no_argument, nullptr, 'f'},
    {"help", no_argument, nullptr, 'h'},
    {"ignore-errors", no_argument, nullptr, 'i'},
    {"vorn-option", required_argument, nullptr, 'O'},
    {"prefix", required_argument, nullptr, 'p'},
    {"quiet", no_argument, nullptr, 'q'},
    {"source-extension", required_argument, nullptr, 'S'},
    {"silent", no_argument, nullptr, 's'},
    {"target-extension", required_argument, nullptr, 't'},
    {"version", no_argument, nullptr, 'V'},
    {"verbose", no_argument, nullptr, 'v'},
    {"self-update", no_argument, nullptr, opt_self_update},
    {"exact-deps", no_argument, nullptr, opt_exact_deps},
    {nullptr, 0, nullptr, 0},
};

// Which of the conflicting options the command line gave.
struct Asked {
    bool verbose = false;
    bool silent = false;
    bool fatal_warnings = false;
    bool ignore_errors = false;
};

Asked read_command_line(Reporter& reporter, Tovik_opt& options, Pending_settings& pending, int argc,
                        char** argv) {
    Asked asked;
    optind = 0; // a full restart of getopt, so that parsing can run more than once in a process
    for (int c; (c = getopt_long(argc, argv, short_options, long_options, nullptr)) != -1;) {
        switch (c) {
        case 'A':
            options.accessibility();
        case 'b':
            reporter.set_brief();
            break;
        case 'd':
            pending.root_dir = optarg;
            break;
        case 'E':
            pending.policy = Policy::fatal_warnings;
            asked.fatal_warnings = true;
            break;
        case 'f':
            options.fast = true;
            break;
        case 'h':
            options.usage(0);
            break; // not reached
        case 'i':
            pending.policy = Policy::ignore_errors;
            asked.ignore_errors = true;
            break;
        case 'O':
            options.add(Option_id::vorn_options, std::string(" ") + optarg + " ");
            break;
        case 'p':
            pending.prefix = optarg;
            break;
        case 'q':
        case 's':
            pending.verbosity = Verbosity::quiet;
            asked.silent = true;
            break;
        case 'S':
            pending.source_ext = optarg;
            break;
        case 't':
            pending.target_ext = optarg;
            break;
        case 'V':
            options.version();
            break; // not reached
        case 'v':
            pending.verbosity = Verbosity::verbose;
            asked.verbose = true;
            break;
        case opt_self_update:
            options.self_update = true;
            break;
        case opt_exact_deps:
            options.exact_deps = true;
            break;
        default: // getopt_long has already printed its diagnostic
            options.usage(1);
        }
    }
    return asked;
}

// The makefile argument must name a file in the current directory.
void take_makefile_argument(Reporter& reporter, Tovik_opt& options, int argc, char** argv) {
    const int count = argc - optind;
    if (count >= 2) {
        reporter.usage_error(std::string("extra operand `") + argv[optind + 1] + "'");
        options.usage(1);
    }
    if (count == 1) {
        const std::string argument = argv[optind];
        if (normalize_path(argument, true).find('/') != std::string::npos)
            reporter.fatal("makefile must be created within current directory");
        options.set(Option_id::makefile, argument);
    }
}

// Root directory and prefix: "" , "." and "./" mean unchanged; anything else is given a trailing "/" and
// normalised.  Returns the normalised directory, or nothing when it stays unchanged -- also when it
// normalises to nothing ("site/.." is the current directory, not a directory named "").
std::optional<std::string> normalized_dir(const std::string& dir) {
    if (dir.empty() || dir == "." || dir == "./")
        return std::nullopt;
    std::string normal = normalize_path(with_slash(dir), true);
    if (normal.empty())
        return std::nullopt;
    return normal;
}

void trim(std::string& s) {
    const char* blanks = " \t\n";
    std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string::npos) {
        s.clear();
        return;
    }
    s = s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

} // namespace

void split_translations(const std::string& text, std::vector<std::string>& list) {
    if (text.find(',') == std::string::npos) {
        std::string only = text;
        trim(only);
        if (!only.empty())
            list.push_back(only);
        return;
    }
    std::size_t start = 0;
    for (;;) {
        std::size_t comma = text.find(',', start);
        std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        trim(part);
        // An empty entry would build the untranslated page a second time: the list already starts with it.
        if (!part.empty())
            list.push_back(part);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
}

void parse_options(Reporter& reporter, Tovik_opt& options, int argc, char** argv) {
    // 1. The program name, for the usage lines and for every message without a file.
    options.set_program_name(argv[0]);
    reporter.set_program_name(argv[0]);
    options.arguments.assign(argv, argv + argc);

    // 2. The command line.
    Pending_settings pending;
    const Asked asked = read_command_line(reporter, options, pending, argc, argv);

    // 3. Conflicts, before the argument count is looked at.
    if (asked.verbose && asked.silent)
        reporter.fatal("incompatible options `verbose' and `silent'");
    if (asked.fatal_warnings && asked.ignore_errors)
        reporter.fatal("incompatible options `fatal-warnings' and `ignore-errors'");

    // 4. The reporter follows the command line while the template is read.
    reporter.set_verbosity(pending.verbosity);
    reporter.set_policy(pending.policy);

    // 5. The makefile.
    take_makefile_argument(reporter, options, argc, argv);

    // 6. The template file, merged under the command line.
    read_template(reporter, options, pending);

    // 7. The template may have changed verbosity and policy.
    reporter.set_verbosity(pending.verbosity);
    reporter.set_policy(pending.policy);

    // 8-10. Root directory and prefix; vorn is told the prefix when there is one, else the root directory.
    std::optional<std::string> option_dir;
    if (auto root = normalized_dir(pending.root_dir)) {
        options.set(Option_id::root_dir, *root);
        option_dir = root;
    }
    if (auto prefix = normalized_dir(pending.prefix.value_or(""))) {
        options.set(Option_id::prefix, *prefix);
        option_dir = prefix;
    }
    if (option_dir)
        options.add(Option_id::vorn_options, " -p -d " + *option_dir + " ");

    // 11. Extensions.  They end the names of sources and pages in rules and recipes: one that make or the
    // shell would read as syntax is refused before anything is done.
    if (pending.source_ext)
        options.set(Option_id::source_ext, *pending.source_ext);
    if (pending.target_ext)
        options.set(Option_id::target_ext, *pending.target_ext);
    for (const auto& [name, id] : {std::pair{"source-extension", Option_id::source_ext},
                                   std::pair{"target-extension", Option_id::target_ext}}) {
        const std::string ext = options.get(id);
        if (unsafe_make_name(ext))
            reporter.fatal(std::string(name) + " \"" + ext +
                           "\" holds characters that make or the shell read specially");
    }

    // 12. The main section's options variable.
    options.set(Option_id::opts_variable, "main_OPTS");

    // 13. Translations: the untranslated page first, then the template's list.
    options.translations.assign(1, std::string());
    if (pending.translations)
        split_translations(*pending.translations, options.translations);

    // 14. A makefile that runs vorn-tovik again needs the command line in one recipe line.
    if (options.self_update)
        for (const std::string& argument : options.arguments)
            if (argument.find('\n') != std::string::npos)
                reporter.fatal("self-update: an argument holds a newline; the makefile could not run " +
                               options.program_name() + " again");
}
