// A file included again during a run is not read again when nothing can come out differently: what its
// first reading did to the page is done once more.  Each site here is checked against sites of one page
// each, where no file is included by two pages: every page's rule, the ".sources" list and the messages
// must come out the same.  Errors do not end these runs (-i).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "support/random_site.h"
#include "support/site.h"

namespace {

using ts::lines_of;
using ts::Site;

// The rules of `source` (one a pass), each from its output's line to the blank line after its recipe, and in
// fast mode the rule of its dependencies.
std::string rules_of(const std::string& makefile, const std::string& source) {
    std::string out;
    for (std::size_t at = makefile.find(":\t" + source); at != std::string::npos;
         at = makefile.find(":\t" + source, at + 1)) {
        const char next = makefile[at + 2 + source.size()];
        if (next != ' ' && next != '\n')
            continue;
        const std::size_t start = makefile.rfind('\n', at) + 1;
        out += makefile.substr(start, makefile.find("\n\n", at) - start) + "\n\n";
    }
    const std::string own = "\n" + source + ":\t";
    for (std::size_t at = makefile.find(own); at != std::string::npos; at = makefile.find(own, at + 1))
        out += makefile.substr(at + 1, makefile.find("\n\n", at + 1) - at - 1) + "\n\n";
    return out;
}

void write_site(const Site& site, const std::map<std::string, std::string>& files) {
    for (const auto& [rel, text] : files) {
        site.write(rel, text);
        if (rel.size() > 3 && rel.compare(rel.size() - 3, 3, ".sh") == 0)
            chmod(site.path(rel).c_str(), 0755);
    }
    // Other names of inc/: one whose names make reads back escaped, one whose names make cannot express.
    ASSERT_EQ(symlink("inc", site.path("odd link").c_str()), 0);
    ASSERT_EQ(symlink("inc", site.path("odd;link").c_str()), 0);
}

bool is_translation(const std::string& rel) {
    return rel.size() > 3 && rel.compare(rel.size() - 3, 3, ".it") == 0;
}

// Each page (with its translation, when `pages` has one) is read alone too, once for each list of `modes`.
void expect_same_as_single_pages(const std::map<std::string, std::string>& shared,
                                 const std::map<std::string, std::string>& pages,
                                 const std::vector<std::vector<std::string>>& modes = {{"-i"}}) {
    Site all;
    write_site(all, shared);
    for (const auto& [rel, text] : pages)
        all.write(rel, text);
    std::vector<ts::Run_result> whole;
    std::vector<std::string> makefiles, listed;
    for (const auto& args : modes) {
        whole.push_back(all.tovik(args));
        ASSERT_TRUE(all.has("Makefile")) << whole.back().err;
        makefiles.push_back(all.read("Makefile"));
        listed.push_back(all.read("Makefile.sources"));
    }

    std::vector<std::vector<std::string>> messages(modes.size());
    std::vector<std::set<std::string>> sources(modes.size());
    // The shared files once, each page in turn.
    Site one;
    write_site(one, shared);
    for (const auto& [rel, text] : pages) {
        if (is_translation(rel))
            continue;
        SCOPED_TRACE(rel);
        one.write(rel, text);
        const bool translated = pages.count(rel + ".it") != 0;
        if (translated)
            one.write(rel + ".it", pages.at(rel + ".it"));
        for (std::size_t m = 0; m < modes.size(); ++m) {
            const auto single = one.tovik(modes[m]);
            EXPECT_EQ(single.status, 0);
            const std::string makefile = one.read("Makefile");
            EXPECT_EQ(rules_of(makefiles[m], rel), rules_of(makefile, rel));
            if (translated)
                EXPECT_EQ(rules_of(makefiles[m], rel + ".it"), rules_of(makefile, rel + ".it"));
            for (const std::string& line : lines_of(single.err))
                messages[m].push_back(line);
            for (const std::string& line : lines_of(one.read("Makefile.sources")))
                sources[m].insert(line);
        }
        unlink(one.path(rel).c_str());
        unlink(one.path(rel + ".it").c_str());
    }
    for (std::size_t m = 0; m < modes.size(); ++m) {
        EXPECT_EQ(whole[m].status, 0);
        std::vector<std::string> got = lines_of(whole[m].err);
        std::sort(got.begin(), got.end());
        std::sort(messages[m].begin(), messages[m].end());
        EXPECT_EQ(got, messages[m]);
        const std::vector<std::string> lines = lines_of(listed[m]);
        EXPECT_EQ(std::set<std::string>(lines.begin(), lines.end()), sources[m]);
    }
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
        // Names read from a variable that the including page sets (no warning under __ALWAYS__).
        {"inc/theme.inc", "include(\"part_\" + theme + \".inc\");\n"},
        {"inc/part_red.inc", "verbatim(\"red.txt\");\n"},
        {"inc/part_blue.inc", "verbatim(\"blue.txt\");\n"},
        {"inc/red.inc", ""},
        {"inc/blue.inc", ""},
        // Parsed whole only where a statement list holds it; a last statement without its ";".
        {"inc/brace.inc", "verbatim(\"a.txt\"); } verbatim(\"b.txt\"); {\n"},
        {"inc/nosemi.inc", "verbatim(\"m.txt\")"},
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
        {"t1.vrn",
         "<vorn>// __ALWAYS__\ninclude(\"inc/\" + (theme = \"red\") + \".inc\"); include(\"inc/theme.inc\");"
         "</vorn>\n"},
        {"sub/t2.vrn", "<vorn>// __ALWAYS__\ninclude(\"../inc/\" + (theme = \"blue\") + \".inc\");\n"
                       "include(\"../inc/theme.inc\");</vorn>\n"},
        {"b1.vrn", "<vorn>include(\"inc/brace.inc\");</vorn>\n"},
        {"sub/b2.vrn", "<vorn>if (c) include(\"../inc/brace.inc\"); else verbatim(\"e.txt\");</vorn>\n"},
        {"m1.vrn", "<vorn>include(\"inc/nosemi.inc\");</vorn>\n"},
        {"sub/m2.vrn", "<vorn>include(\"../inc/nosemi.inc\");</vorn>\n"},
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

// Seeded sites with shared, nested and computed inclusions, markers and translations.
constexpr unsigned random_sites = 8;

TEST(RepeatedInclusions, RandomSitesGiveEveryPageWhatItGetsAlone) {
    for (unsigned seed = 1; seed <= random_sites; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const ts::Random_site site = ts::random_site(seed);
        expect_same_as_single_pages(site.shared, site.pages, {{"-i"}, {"-i", "-f"}});
    }
}

struct Page_rule {
    std::string source;
    std::set<std::string> files; // the source and its dependencies
    std::string recipe;
    std::vector<std::string> args; // of vorn, without the output
};

std::vector<Page_rule> page_rules(const std::string& makefile) {
    std::vector<Page_rule> rules;
    bool in_rule = false;
    for (std::string line : lines_of(makefile)) {
        if (line.rfind("$(prefix)", 0) == 0 && line.find(":\t") != std::string::npos) {
            rules.emplace_back();
            in_rule = true;
            line = line.substr(line.find(":\t") + 1);
            rules.back().source = line.substr(1, line.find(" \\") - 1);
        }
        if (!in_rule || line.empty() || line[0] != '\t')
            continue;
        if (line.rfind("\tvorn ", 0) == 0) {
            rules.back().recipe = line;
            std::istringstream words(line.substr(line.find("$(main_OPTS)") + 12));
            for (std::string w; words >> w;)
                rules.back().args.push_back(w);
            rules.back().args.pop_back();
            in_rule = false;
        } else {
            rules.back().files.insert(line.substr(1, line.find(" \\") - 1));
        }
    }
    return rules;
}

// The pages warned about a name they compute, by the messages of a run: each message names the page first,
// or after "In file included from".
std::set<std::string> warned_pages(const std::string& err) {
    std::set<std::string> pages;
    std::string page;
    for (const std::string& line : lines_of(err)) {
        const std::string chain = "In file included from ";
        if (line.rfind(chain, 0) == 0) {
            page = line.substr(chain.size(), line.find(':', chain.size()) - chain.size());
            continue;
        }
        if (line[0] != ' ') {
            if (line.find(": warning: unable to get dependency") != std::string::npos)
                pages.insert(page.empty() ? line.substr(0, line.find(':')) : page);
            page.clear();
        }
    }
    return pages;
}

// The files a record of vorn --deps names, as it writes them: one after each blank, backslash, newline and
// tab of its first rule.
std::set<std::string> recorded_files(const std::string& record) {
    std::set<std::string> files;
    const std::string text = ts::read_file(record);
    const std::string rule = text.substr(0, text.find("\n\n"));
    for (std::size_t at = rule.find(" \\\n\t"); at != std::string::npos;) {
        const std::size_t next = rule.find(" \\\n\t", at + 4);
        files.insert(rule.substr(at + 4, next == std::string::npos ? std::string::npos : next - at - 4));
        at = next;
    }
    return files;
}

// What vorn reads, examines or starts while it makes a page (as its record of the page says, vorn --deps)
// is in the page's rule, apart from the files it reaches through names computed while the page runs
// ("c_..."), which the page is warned about unless it is rebuilt every time.  make reads the makefile,
// finding every file it names.
TEST(RepeatedInclusions, VornUsesOnlyWhatTheRuleLists) {
    for (unsigned seed = 1; seed <= random_sites; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const ts::Random_site gen = ts::random_site(seed);
        ts::Make_site site;
        write_site(site, gen.shared);
        for (const auto& [rel, text] : gen.pages)
            site.write(rel, text);
        const auto generated = site.tovik({"-i"});
        ASSERT_EQ(generated.status, 0);
        const std::set<std::string> warned = warned_pages(generated.err);
        const std::string makefile = site.read("Makefile");
        const auto made = site.make({"-n"});
        EXPECT_EQ(made.status, 0) << made.err;
        const std::size_t always = makefile.find("\nalways: ");
        for (const Page_rule& rule : page_rules(makefile)) {
            // A missing translation is the page's own source, run the same way.
            if (std::find(rule.args.begin(), rule.args.end(), "-D_REVERT") != rule.args.end())
                continue;
            SCOPED_TRACE(rule.recipe);
            ts::Temp_dir out;
            std::vector<std::string> argv = {VORN_BIN, "-i", "-q", "--deps", out / "page.d"};
            argv.insert(argv.end(), rule.args.begin(), rule.args.end());
            argv.push_back(out / "page.html");
            ts::Run_options in_site;
            in_site.cwd = site.dir;
            ASSERT_EQ(ts::run(argv, in_site).status, 0);
            const std::set<std::string> recorded = recorded_files(out / "page.d");
            EXPECT_EQ(recorded.count(rule.source), 1u);
            bool computed = false;
            for (const std::string& file : recorded) {
                if (rule.files.count(file))
                    continue;
                const bool excused = file.compare(file.rfind('/') + 1, 2, "c_") == 0;
                EXPECT_TRUE(excused) << file << " is not in the rule";
                computed = computed || excused;
            }
            if (!computed ||
                (always != std::string::npos && makefile.find(rule.recipe, always) != std::string::npos))
                continue;
            const std::string page =
                is_translation(rule.source) ? rule.source.substr(0, rule.source.size() - 3) : rule.source;
            EXPECT_TRUE(warned.count(page));
        }
    }
}

} // namespace
