#include "tovik/texts.h"

// Several help lines end with one or two blanks; keep them.

namespace {

const char help_options[] =
    "Generate makefiles for Vorn.\n"
    "\n"
    "  -A, --accessibility        Display informations about accessibility issues\n"
    "                             related to Vorn\n"
    "  -b, --brief                Display output in a compact format. The amount\n"
    "                             of messages won't change, they will only be\n"
    "                             shorter. Visually impaired users relying on a\n"
    "                             speech version of shell's output may find this\n"
    "                             flag useful since large amounts of output can\n"
    "                             slow down work. \n"
    "  -d, --root-dir=DIRECTORY   Set site's root directory; Vorn-tovik will look\n"
    "                             for Vorn sources within this directory and  \n"
    "                             its subdirectories. \n"
    "  -E, --fatal-warnings       Stop execution after first warning (default \n"
    "                             behavior is to give an advice and continue \n"
    "                             running).\n"
    "  -f, --fast                 Use 'fast' scanning mode: vorn-tovik will be \n"
    "                             significantly faster. NOTE: this mode requires\n"
    "                             some precautions. SIMPLY USING THE '--fast' \n"
    "                             FLAG ON PREEXISTING PROJECTS CAN LEAD TO WRONG\n"
    "                             MAKEFILES. Read the documentation for details.\n"
    "  -h, --help                 Display help message and exit. \n"
    "  -i, --ignore-errors        Keep running after errors. \n"
    "  -O, --vorn-option=OPTION   When creating makefile, add OPTION to Vorn\n"
    "                             command-line options. \n"
    "  -p, --prefix=DIRECTORY     Makefile is created so that output files will \n"
    "                             be created within DIRECTORY. \n"
    "  -q, --quiet                Same as `--silent' \n"
    "  -S, --source-extension=EXTENSION  Set the extension for input files; \n"
    "                             by default Vorn-tovik looks for files \n"
    "                             with `.vrn' extension. \n"
    "  -s, --silent               Don't print informational messages \n"
    "  -t, --target-extension=EXTENSION  Set the extension for output files; \n"
    "                             by default the generated makefile creates\n"
    "                             output files with extension `.html'. \n"
    "  -V, --version              Display the version number of Vorn-tovik and\n"
    "                             exit.\n"
    "  -v, --verbose              Produce a more verbose description. \n"
    "      --self-update          The makefile remakes itself, running vorn-tovik\n"
    "                             again with the same options, when the template,\n"
    "                             a source or an included file changes, or when a\n"
    "                             page, a translation, a directory or a marker\n"
    "                             file comes or goes.\n"
    "      --exact-deps           Each page's recipe has vorn record every file\n"
    "                             the page really read, and make follows those\n"
    "                             records. With --self-update: the recommended\n"
    "                             setting.\n"
    "\n"
    // The closing paragraphs.
    "Vorn (n.): a template language for web sites; a page is written as text with\n"
    "embedded tags, and the vorn processor turns it into the finished page.\n"
    "\n"
    "Vorn-tovik is a utility that examines a directory tree looking for Vorn\n"
    "sources, parses them and generates a makefile for easy site\n"
    "updating.\n"
    "\n"
    "Vorn-tovik is part of the Vorn package; the documentation of the package,\n"
    "installed with it, describes the language, vorn and vorn-tovik in detail.\n"
    "\n"
    "Report problems to the Vorn-tovik authors through the package's issue tracker.\n";

const char accessibility[] = "Vorn-tovik is a command line tool and its output is not visually formatted\n"
                             "with ASCII characters so accessibility problems should be minimal.\n"
                             "The --brief option forces Vorn-tovik to display output in a compact format.\n"
                             "amount of messages won't change, they will only be shorter. Visually\n"
                             "impaired users relying on a speech version of shell's output may find this\n"
                             "flag useful since large amounts of output can slow down work. \n"
                             "Also remember that when building your site with Make, you can use `make -s'\n"
                             "instead of `make': the former won't print the commands as they are executed\n"
                             "reducing the amount of output on your screen.\n";

} // namespace

std::string usage_line(const std::string& program) {
    return "Usage: " + program + " [OPTION] ... [Makefile]\n";
}

std::string try_help_line(const std::string& program) {
    return "Try `" + program + " --help' for more information.\n";
}

std::string help_text() {
    return help_options;
}

std::string version_text() {
    return std::string("Vorn-tovik for Vorn version ") + VT_VERSION +
           "\n"
           "Copyright (C) the Vorn-tovik authors.\n"
           "Vorn-tovik comes with NO WARRANTY, to the extent permitted by law.\n"
           "You may redistribute copies of Vorn-tovik under the terms of the\n"
           "GNU General Public License, version 3 or later, found in the file\n"
           "named COPYING.\n";
}

std::string accessibility_text() {
    return accessibility;
}
