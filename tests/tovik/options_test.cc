#include "tovik/options.h"

#include <gtest/gtest.h>

#include "tovik/parse_options.h"
#include "tovik/texts.h"

namespace {

TEST(OptionStore, SetAddGetJoinWithOneBlank) {
    Tovik_opt o;
    EXPECT_EQ(o.get(Option_id::vorn_options), "");
    o.add(Option_id::vorn_options, " -x ");
    o.add(Option_id::vorn_options, " -y ");
    // Each -O value carries its own blanks: three blanks stand between the words.
    EXPECT_EQ(o.get(Option_id::vorn_options), " -x   -y ");
    o.set(Option_id::vorn_options, "z");
    EXPECT_EQ(o.get(Option_id::vorn_options), "z");
    o.add(Option_id::vorn_options, "");
    o.add(Option_id::vorn_options, "w");
    EXPECT_EQ(o.get(Option_id::vorn_options), "z  w");
    // Other ids are untouched by set.
    EXPECT_EQ(o.get(Option_id::makefile), "Makefile");
}

TEST(NextBranch, TakesBranchesFromTheEnd) {
    Tovik_opt o;
    o.set(Option_id::section_options, " -main ");
    o.set(Option_id::opts_variable, "main_OPTS");
    o.branches.push_back({"src/a", "out/a/", "--parents  -x "});
    o.branches.push_back({"b", "b-out", "--parents "});
    o.branches.push_back({"c", "c//", "--parents "});

    ASSERT_TRUE(o.next_branch());
    // Only one trailing "/" is removed for the variable's name.
    EXPECT_EQ(o.get(Option_id::opts_variable), "c/_OPTS");
    EXPECT_EQ(o.get(Option_id::branch_prefix), "c//");

    ASSERT_TRUE(o.next_branch());
    EXPECT_EQ(o.get(Option_id::branch_root), "b");
    EXPECT_EQ(o.get(Option_id::branch_prefix), "b-out");
    EXPECT_EQ(o.get(Option_id::opts_variable), "b-out_OPTS");
    EXPECT_EQ(o.get(Option_id::section_options), "--parents ");

    ASSERT_TRUE(o.next_branch());
    EXPECT_EQ(o.get(Option_id::branch_root), "src/a");
    EXPECT_EQ(o.get(Option_id::branch_prefix), "out/a/");
    EXPECT_EQ(o.get(Option_id::opts_variable), "out/a_OPTS");
    EXPECT_EQ(o.get(Option_id::section_options), "--parents  -x ");
    EXPECT_TRUE(o.branches.empty());

    EXPECT_FALSE(o.next_branch());
    EXPECT_EQ(o.get(Option_id::branch_root), "src/a");
    EXPECT_EQ(o.get(Option_id::opts_variable), "out/a_OPTS");
}

TEST(Translations, SplitAtEveryComma) {
    struct Case {
        const char* text;
        std::vector<std::string> list; // after the leading empty entry
    };
    const Case cases[] = {
        {"en, it", {"en", "it"}}, {" en ,\tit\t, fr", {"en", "it", "fr"}},
        {"en,", {"en"}},          {",", {}},
        {"en,,it", {"en", "it"}}, {" en\t", {"en"}},
        {"en it", {"en it"}},     {" \t ", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> list{""};
        split_translations(c.text, list);
        std::vector<std::string> expected{""};
        expected.insert(expected.end(), c.list.begin(), c.list.end());
        EXPECT_EQ(list, expected) << "text: " << c.text;
    }
}

TEST(Texts, UsageLinesAroundTheProgramName) {
    EXPECT_EQ(usage_line("vt"), "Usage: vt [OPTION] ... [Makefile]\n");
    EXPECT_EQ(try_help_line("vt"), "Try `vt --help' for more information.\n");
}

// The help and accessibility texts whole, byte for byte: the blanks at the ends of lines included, which an
// editor or formatter might drop.
TEST(Texts, HelpAndAccessibilityWhole) {
    EXPECT_EQ(help_text(),
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
              "Report problems to the Vorn-tovik authors through the package's issue tracker.\n");
    EXPECT_EQ(accessibility_text(),
              "Vorn-tovik is a command line tool and its output is not visually formatted\n"
              "with ASCII characters so accessibility problems should be minimal.\n"
              "The --brief option forces Vorn-tovik to display output in a compact format.\n"
              "amount of messages won't change, they will only be shorter. Visually\n"
              "impaired users relying on a speech version of shell's output may find this\n"
              "flag useful since large amounts of output can slow down work. \n"
              "Also remember that when building your site with Make, you can use `make -s'\n"
              "instead of `make': the former won't print the commands as they are executed\n"
              "reducing the amount of output on your screen.\n");
}

TEST(Texts, Version) {
    EXPECT_EQ(version_text().rfind("Vorn-tovik for Vorn version 1.12\n", 0), 0u);
    EXPECT_NE(version_text().find("GNU General Public License, version 3 or later, found in the file\n"
                                  "named COPYING.\n"),
              std::string::npos);
}

} // namespace
