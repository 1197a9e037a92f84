#include "tovik/options.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

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

// The help keeps the blanks at the end of its option lines; an editor or formatter dropping them is caught
// here.
TEST(Texts, HelpLinesKeepTheirTrailingBlanks) {
    std::vector<std::string> lines;
    std::istringstream in(help_text());
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 48u);
    EXPECT_EQ(lines[0], "Generate makefiles for Vorn.");
    EXPECT_EQ(lines[37], "  -v, --verbose              Produce a more verbose description. ");
    // The options without a letter follow the others, and the empty line ends the list.
    EXPECT_EQ(lines[38].substr(0, 29), "      --self-update          ");
    EXPECT_EQ(lines[43].substr(0, 29), "      --exact-deps           ");
    EXPECT_EQ(lines[47], "");
    const std::vector<int> one_blank = {10, 13, 14, 15, 17, 19, 22, 23, 25, 26,
                                        27, 28, 29, 30, 31, 32, 33, 35, 38};
    for (int n = 1; n <= 38; ++n) {
        const std::string& line = lines[n - 1];
        int blanks = 0;
        for (auto it = line.rbegin(); it != line.rend() && *it == ' '; ++it)
            ++blanks;
        int expected = n == 12 ? 2 : (std::find(one_blank.begin(), one_blank.end(), n) != one_blank.end());
        EXPECT_EQ(blanks, expected) << "help line " << n << ": '" << line << "'";
    }
    EXPECT_EQ(help_text().back(), '\n');
}

TEST(Texts, AccessibilityAndVersion) {
    EXPECT_EQ(accessibility_text().size(), 623u);
    EXPECT_NE(accessibility_text().find("slow down work. \nAlso remember"), std::string::npos);
    EXPECT_EQ(accessibility_text().back(), '\n');
    EXPECT_EQ(version_text().rfind("Vorn-tovik for Vorn version 1.12\n", 0), 0u);
    EXPECT_NE(version_text().find("GNU General Public License, version 3 or later, found in the file\n"
                                  "named COPYING.\n"),
              std::string::npos);
}

} // namespace
