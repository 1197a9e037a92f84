// A file included again during a run is not read again when nothing can come out differently: what its
// first reading did to the page is done once more.  Each site here is checked against sites of one page
// each, where no file is included by two pages: every page's rule, the ".sources" list and the messages
// must come out the same.  Errors do not end these runs (-i).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>

#include "support/site.h"

namespace {

using ts::lines_of;
using ts::Site;

// The rules of `source` (one a pass), each from its output's line to the blank line after its recipe.
std::string rules_of(const std::string& makefile, const std::string& source) {
    std::string out;
    for (std::size_t at = makefile.find(":\t" + source + " "); at != std::string::npos;
         at = makefile.find(":\t" + source + " ", at + 1)) {
        const std::size_t start = makefile.rfind('\n', at) + 1;
        out += makefile.substr(start, makefile.find("\n\n", at) - start) + "\n\n";
    }
    return out;
}

void write_site(const Site& site, const std::map<std::string, std::string>& files) {
    for (const auto& [rel, text] : files)
        site.write(rel, text);
    // Other names of inc/: one whose names make reads back escaped, one whose names make cannot express.
    ASSERT_EQ(symlink("inc", site.path("odd link").c_str()), 0);
    ASSERT_EQ(symlink("inc", site.path("odd;link").c_str()), 0);
}

void expect_same_as_single_pages(const std::map<std::string, std::string>& shared,
                                 const std::map<std::string, std::string>& pages) {
    Site all;
    write_site(all, shared);
    for (const auto& [rel, text] : pages)
        all.write(rel, text);
    const auto whole = all.tovik({"-i"});
    ASSERT_TRUE(all.has("Makefile")) << whole.err;
    const std::string makefile = all.read("Makefile");

    std::vector<std::string> messages;
    std::set<std::string> sources;
    for (const auto& [rel, text] : pages) {
        SCOPED_TRACE(rel);
        Site one;
        write_site(one, shared);
        one.write(rel, text);
        const auto single = one.tovik({"-i"});
        EXPECT_EQ(single.status, 0);
        const std::string rules = rules_of(one.read("Makefile"), rel);
        EXPECT_EQ(rules_of(makefile, rel), rules);
        for (const std::string& line : lines_of(single.err))
            messages.push_back(line);
        for (const std::string& line : lines_of(one.read("Makefile.sources")))
            sources.insert(line);
    }
    EXPECT_EQ(whole.status, 0);
    std::vector<std::string> got = lines_of(whole.err);
    std::sort(got.begin(), got.end());
    std::sort(messages.begin(), messages.end());
    EXPECT_EQ(got, messages);
    std::string listed;
    for (const std::string& line : sources)
        listed += line + "\n";
    std::vector<std::string> listed_lines = lines_of(all.read("Makefile.sources"));
    EXPECT_EQ(std::set<std::string>(listed_lines.begin(), listed_lines.end()), sources);
}

TEST(RepeatedInclusions, EveryPageGetsWhatItsOwnReadingGives) {
    const std::map<std::string, std::string> shared = {
        // The pages of sub/ are read once more after all the others, by a branch.
        // sub2/ is read again next (the last branch first), then sub/.
        {"Makefile.vt", "*branch*sub/*out/sub/\nend-branch\n*branch*sub2/*out/sub2/\nend-branch\n"},
        {"sub/notes.txt", "not a source\n"},
        {"sub2/notes.txt", "not a source\n"},
        // Names, a nested inclusion, a marker and a script, all taken from the including page's path.
        {"inc/f.inc", "verbatim(\"x.txt\");\ninclude(\"g.inc\");\n// __DEP__ d.dat\nexec(\"s.sh\");\n"},
        {"inc/g.inc", "fsize(\"../data/y.bin\", \"#b\");\n// __DEP__ ../z.dat\n"},
        {"inc/h.inc", "verbatim(\"h.txt\");\n// __DEP__ hd.dat\n"},
        // A variable set in an include name outlives the file.
        {"inc/setv.inc", "// __ALWAYS__\ninclude(next = \"h.inc\");\n"},
        {"inc/setw.inc", "// __ALWAYS__\ninclude(next = \"h2.inc\");\n"},
        {"inc/h2.inc", "verbatim(\"h2.txt\");\n"},
        // Each page's own name.
        {"inc/footer.inc", "echo(fdate(inputfile(), \"%d\"));\n"},
        // Warned about, unless the page said __ALWAYS__ before.
        {"inc/u.inc", "verbatim(name);\nverbatim(\"u.txt\");\n"},
        {"inc/always.inc", "verbatim(early);\n// __ALWAYS__\nverbatim(late);\n"},
        {"inc/ext.inc", "// __EXT__ php\n"},
        // Leaves the including file in another mode, or in the same one through a text.
        {"inc/close.inc", "verbatim(\"c.txt\");\n</vorn>\n<p>tail</p>\n"},
        {"inc/open.inc", "verbatim(\"o.txt\");\n</vorn>\n<p>between</p>\n<vorn>\nverbatim(\"o2.txt\");\n"},
    };
    // No page includes a file twice, so that the pages read alone read every file once.  The pages of sub/
    // are read again after those of the top, and include what those did.
    const std::map<std::string, std::string> pages = {
        {"p1.vrn", "<vorn>include(\"inc/f.inc\"); include(\"inc/u.inc\");</vorn>\n"},
        {"pa.vrn", "<vorn>// __ALWAYS__\ninclude(\"inc/u.inc\");</vorn>\n"},
        {"sub/p2.vrn",
         "<vorn>include(\"../inc/f.inc\");\n// __ALWAYS__\ninclude(\"../inc/u.inc\");</vorn>\n"},
        {"sub/p9.vrn", "<vorn>include(\"../inc/u.inc\");</vorn>\n"},
        {"sub/deep/p3.vrn",
         "<vorn include(\"../../inc/g.inc\"); />\n<vorn>include(\"../../inc/f.inc\");</vorn>\n"},
        // Whatever follows an inclusion that leaves the code is page text: no dependency.
        {"p4.vrn", "<vorn>include(\"inc/close.inc\"); verbatim(\"after.txt\");</vorn>\n"},
        {"sub/p4.vrn", "<vorn>include(\"../inc/close.inc\"); verbatim(\"after.txt\");</vorn>\n"},
        {"p5.vrn", "<vorn>include(\"inc/ext.inc\"); include(\"inc/open.inc\");</vorn>\n"},
        {"sub/p5.vrn", "<vorn>include(\"../inc/open.inc\"); include(\"../inc/ext.inc\");</vorn>\n"},
        {"sub/p6.vrn", "<vorn>include(\"../inc/always.inc\"); include(\"../inc/u.inc\");</vorn>\n"},
        {"p0.vrn", "<vorn>include(\"inc/footer.inc\");</vorn>\n"},
        {"sub/p0.vrn", "<vorn>include(\"../inc/footer.inc\");</vorn>\n"},
        {"sub2/q1.vrn", "<vorn>include(\"../inc/setv.inc\"); include(\"../inc/setw.inc\");</vorn>\n"},
        {"sub/q2.vrn", "<vorn>include(\"../inc/setv.inc\"); include(\"../inc/\" + next);</vorn>\n"},
        {"sub/p7.vrn", "<vorn>include(\"../inc/always.inc\");</vorn>\n"},
        // The same file through names that make its own names escaped, or left out.
        {"p8.vrn", "<vorn>include(\"inc/h.inc\");</vorn>\n"},
        {"sub/p8.vrn", "<vorn>include(\"../odd;link/h.inc\");</vorn>\n"},
        {"sub2/p8.vrn", "<vorn>include(\"../odd link/h.inc\");</vorn>\n"},
    };
    expect_same_as_single_pages(shared, pages);
}

// A file whose first reading went 59 levels deep, included again 50 levels down, still meets the limit.
TEST(RepeatedInclusions, NestingLimitHoldsForAFileSeenBefore) {
    Site site;
    for (int i = 1; i <= 60; ++i)
        site.write("chain/c" + std::to_string(i) + ".inc",
                   i < 60 ? "include(\"c" + std::to_string(i + 1) + ".inc\");\n"
                          : "verbatim(\"end.txt\");\n");
    for (int i = 1; i <= 50; ++i)
        site.write("wrap/d" + std::to_string(i) + ".inc",
                   i < 50 ? "include(\"d" + std::to_string(i + 1) + ".inc\");\n"
                          : "include(\"../chain/c1.inc\");\n");
    site.write("index.vrn", "<vorn>include(\"chain/c1.inc\");\ninclude(\"wrap/d1.inc\");</vorn>\n");
    const auto r = site.tovik();
    EXPECT_EQ(r.status, 1);
    const std::string tail = "fatal: include nested too deep\n";
    ASSERT_GE(r.err.size(), tail.size());
    EXPECT_EQ(r.err.substr(r.err.size() - tail.size()), tail);
    EXPECT_FALSE(site.has("Makefile"));
}

} // namespace
