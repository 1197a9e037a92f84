#include "vorn/vorn_options.h"

#include <cstdio>
#include <getopt.h>

#include "base/process_end.h"
#include "diag/reporter.h"

namespace {

const char help_text[] = "Run a Vorn source and write the page it produces.\n"
                         "\n"
                         "  -D, --define=NAME[=VALUE]  Before the source runs, define the variable NAME\n"
                         "                             as the string VALUE, or as the integer 1 when\n"
                         "                             no \"=\" is given.\n"
                         "  -d, --root-dir=DIRECTORY   The site's root directory (default ./); links\n"
                         "                             made by linkadjust() and the LA variable of\n"
                         "                             scripts climb up to it.\n"
                         "  -p, --parents              Create the output file's missing parent\n"
                         "                             directories.\n"
                         "      --deps=FILE            Write to FILE, as a make rule, every file the\n"
                         "                             page read (the source, included, copied,\n"
                         "                             measured, dated, tested and run files), each\n"
                         "                             with an empty rule of its own.\n"
                         "      --noext-warning        Do not run external commands or scripts; warn.\n"
                         "      --noext-error          Do not run external commands or scripts; fail.\n"
                         "  -b, --brief                Shorter messages.\n"
                         "  -E, --fatal-warnings       Stop at the first warning.\n"
                         "  -i, --ignore-errors        Keep running after errors.\n"
                         "  -q, --quiet, -s, --silent  Print no messages.\n"
                         "  -v, --verbose              Print more messages.\n"
                         "  -h, --help                 Display this help and exit.\n"
                         "  -V, --version              Display the version and exit.\n"
                         "\n"
                         "OUTPUT - writes the page to standard output.  The page file is written only\n"
                         "when the run succeeds, through a temporary file renamed into place, so a\n"
                         "failed run never leaves a half-written page behind.\n"
                         "\n"
                         "Exit status: 0 after a completed run, 1 after a fatal error, an error that\n"
                         "was not ignored, a warning with --fatal-warnings, or a usage error.\n";

[[noreturn]] void usage(const std::string& program, int status) {
    if (status == 0) {
        std::printf("Usage: %s [OPTION]... SOURCE OUTPUT\n%s", program.c_str(), help_text);
    } else {
        std::fprintf(stderr, "Usage: %s [OPTION]... SOURCE OUTPUT\nTry `%s --help' for more information.\n",
                     program.c_str(), program.c_str());
    }
    end_process(status);
}

enum { opt_noext_warning = 256, opt_noext_error, opt_deps };

} // namespace

Vorn_options parse_vorn_options(Reporter& r, int argc, char** argv) {
    Vorn_options o;
    const std::string program = argc > 0 ? argv[0] : "vorn";
    r.set_program_name(program);

    static const option long_options[] = {
        {"define", required_argument, nullptr, 'D'},
        {"root-dir", required_argument, nullptr, 'd'},
        {"parents", no_argument, nullptr, 'p'},
        {"noext-warning", no_argument, nullptr, opt_noext_warning},
        {"noext-error", no_argument, nullptr, opt_noext_error},
        {"deps", required_argument, nullptr, opt_deps},
        {"brief", no_argument, nullptr, 'b'},
        {"fatal-warnings", no_argument, nullptr, 'E'},
        {"ignore-errors", no_argument, nullptr, 'i'},
        {"quiet", no_argument, nullptr, 'q'},
        {"silent", no_argument, nullptr, 's'},
        {"verbose", no_argument, nullptr, 'v'},
        {"help", no_argument, nullptr, 'h'},
        {"version", no_argument, nullptr, 'V'},
        {nullptr, 0, nullptr, 0},
    };
    bool quiet = false, verbose = false, fatal_warnings = false, ignore_errors = false;
    optind = 0;
    int c;
    while ((c = getopt_long(argc, argv, "D:d:pbEiqsvhV", long_options, nullptr)) != -1) {
        switch (c) {
        case 'D': {
            std::string def = optarg;
            std::size_t eq = def.find('=');
            if (eq == std::string::npos) {
                o.defines.emplace_back(def, std::string());
                o.define_is_flag.push_back(true);
            } else {
                o.defines.emplace_back(def.substr(0, eq), def.substr(eq + 1));
                o.define_is_flag.push_back(false);
            }
            break;
        }
        case 'd':
            o.root_dir = optarg;
            break;
        case 'p':
            o.parents = true;
            break;
        case opt_noext_warning:
            o.policy = Program_policy::warn;
            break;
        case opt_noext_error:
            o.policy = Program_policy::refuse;
            break;
        case opt_deps:
            o.deps = optarg;
            break;
        case 'b':
            r.set_brief();
            break;
        case 'E':
            fatal_warnings = true;
            break;
        case 'i':
            ignore_errors = true;
            break;
        case 'q':
        case 's':
            quiet = true;
            break;
        case 'v':
            verbose = true;
            break;
        case 'h':
            usage(program, 0);
        case 'V':
            std::printf("vorn (Vorn-tovik) %s\n"
                        "Copyright (C) the Vorn-tovik authors.\n"
                        "vorn comes with NO WARRANTY, to the extent permitted by law.\n"
                        "You may redistribute copies of vorn under the terms of the\n"
                        "GNU General Public License, version 3 or later, found in the file\n"
                        "named COPYING.\n",
                        VT_VERSION);
            end_process(0);
        default:
            usage(program, 1);
        }
    }
    if (quiet && verbose)
        r.fatal("incompatible options `verbose' and `silent'");
    if (fatal_warnings && ignore_errors)
        r.fatal("incompatible options `fatal-warnings' and `ignore-errors'");
    r.set_verbosity(quiet ? Verbosity::quiet : verbose ? Verbosity::verbose : Verbosity::normal);
    r.set_policy(fatal_warnings  ? Policy::fatal_warnings
                 : ignore_errors ? Policy::ignore_errors
                                 : Policy::normal);
    const int operands = argc - optind;
    if (operands != 2) {
        r.usage_error(operands == 0   ? std::string("missing SOURCE and OUTPUT operands")
                      : operands == 1 ? "missing OUTPUT operand after `" + std::string(argv[optind]) + "'"
                                      : "extra operand `" + std::string(argv[optind + 2]) + "'");
        usage(program, 1);
    }
    o.source = argv[optind];
    o.output = argv[optind + 1];
    if (o.root_dir.empty())
        o.root_dir = "./";
    return o;
}
