// The benchmark's generated site, seen from outside.  A small site from bench/gen_site.py pins what
// vorn-tovik writes for it, so that making the tool faster cannot change its output: the makefile in normal
// and fast mode and the archive exclude list are compared with tests/cli/data/bench_pin/, which
// bench/update_pin.sh writes.  The rules come out in directory-listing order, which differs between file
// systems, so rule blocks and targets are compared as multisets and everything else byte for byte.
//
// The other cases check the generator itself: the C tree and the read floor must mirror the Vorn site, and
// every page's rule must name the dependencies the generator put into the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>

#include "support/site.h"

namespace {

// The same numbers as in bench/update_pin.sh.
const char pin_pages[] = "60";
const char pin_seed[] = "7";

std::string pin_file(const std::string& name) {
    return std::string(SOURCE_ROOT) + "/tests/cli/data/bench_pin/" + name;
}

using ts::lines_of;

// A site-relative path joined to a relative name, with "." and ".." resolved.
std::string join_path(const std::string& dir, const std::string& rel) {
    std::vector<std::string> parts;
    std::istringstream in(dir.empty() ? rel : dir + "/" + rel);
    for (std::string part; std::getline(in, part, '/');) {
        if (part == "..")
            parts.pop_back();
        else if (!part.empty() && part != ".")
            parts.push_back(part);
    }
    std::string out;
    for (const auto& p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

std::string dir_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// One generated site, shared by every case: made once, with python3 when the machine has it.
struct Generated {
    ts::Temp_dir tmp;
    std::string out = tmp.path();
    std::string site = tmp / "site";
    std::string failure; // why the site could not be made; empty when it was

    Generated() {
        const ts::Run_result which = ts::sh("command -v python3");
        if (which.status != 0) {
            failure = "python3 not found";
            return;
        }
        const ts::Run_result r = ts::run({which.out.substr(0, which.out.find('\n')),
                                          std::string(SOURCE_ROOT) + "/bench/gen_site.py", "--pages",
                                          pin_pages, "--seed", pin_seed, "--out", out});
        if (r.status != 0)
            failure = "bench/gen_site.py failed: " + r.err;
    }

    std::string read(const std::string& rel) const { return ts::read_file(out + "/" + rel); }

    // Runs vorn-tovik in the site; the makefile and the exclude list it wrote come back in `makefile` and
    // `sources`.
    ts::Run_result tovik(const std::vector<std::string>& args, std::string& makefile,
                         std::string& sources) const {
        ts::Run_result r = ts::run_tovik(site, args);
        makefile = ts::exists(site + "/Makefile") ? ts::read_file(site + "/Makefile") : "";
        sources = ts::exists(site + "/Makefile.sources") ? ts::read_file(site + "/Makefile.sources") : "";
        return r;
    }
};

class Bench_site : public ::testing::Test {
protected:
    static void SetUpTestSuite() { generated = std::make_unique<Generated>(); }
    static void TearDownTestSuite() { generated.reset(); }

    void SetUp() override {
        if (!generated->failure.empty())
            GTEST_SKIP() << generated->failure;
    }

    static std::unique_ptr<Generated> generated;
};

std::unique_ptr<Generated> Bench_site::generated;

// A makefile cut into the parts whose order is fixed and the parts whose order follows the directory
// listing.
struct Makefile_parts {
    std::string head;                 // everything up to and including "TARGETS = "
    std::vector<std::string> targets; // the target list's entries (path, backslash, newline), sorted
    std::string all_line;             // the `all` line with the empty line after it
    std::vector<std::string> units;   // from one "$(prefix)" rule to the next (in fast mode with the source's
                                      // dependency rule and every empty line), sorted
    std::string tail;                 // from the empty lines before `clean` to the end
    std::string error;                // what did not look like a makefile of this site
};

Makefile_parts split_makefile(const std::string& mk) {
    Makefile_parts p;
    const std::string targets_key = "TARGETS = ";
    std::size_t i = mk.find(targets_key);
    const std::size_t all = mk.find("\nall: $(TARGETS)");
    const std::size_t clean = mk.rfind("\n\nclean:\n");
    if (i == std::string::npos || all == std::string::npos || clean == std::string::npos || all > clean) {
        p.error = "no TARGETS, all or clean in the makefile";
        return p;
    }
    i += targets_key.size();
    p.head = mk.substr(0, i);
    while (i < all) {
        const std::size_t end = mk.find("\\\n", i);
        if (end == std::string::npos || end > all) {
            p.error = "a target entry without its backslash";
            return p;
        }
        p.targets.push_back(mk.substr(i, end + 2 - i));
        i = end + 2;
    }
    const std::size_t rules = mk.find("\n\n", all + 1);
    p.all_line = mk.substr(all, rules + 2 - all);
    // The writer puts an empty line between the rules and what follows them; it belongs to neither rule.
    std::string text = mk.substr(rules + 2, clean - rules - 2);
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\n\n") != 0) {
        p.error = "the rules do not end with an empty line";
        return p;
    }
    text.resize(text.size() - 2);
    std::size_t start = 0;
    for (std::size_t at = 0; (at = text.find("\n$(prefix)", at)) != std::string::npos; ++at) {
        p.units.push_back(text.substr(start, at + 1 - start));
        start = at + 1;
    }
    if (start < text.size())
        p.units.push_back(text.substr(start));
    p.tail = mk.substr(clean);
    std::sort(p.targets.begin(), p.targets.end());
    std::sort(p.units.begin(), p.units.end());
    return p;
}

// What one sorted list holds and the other does not, a few entries of each.
std::string multiset_difference(const std::vector<std::string>& expected,
                                const std::vector<std::string>& actual) {
    std::vector<std::string> missing, extra;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(),
                        std::back_inserter(missing));
    std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    std::string out;
    for (std::size_t k = 0; k < missing.size() && k < 3; ++k)
        out += "missing:\n" + missing[k] + "\n";
    for (std::size_t k = 0; k < extra.size() && k < 3; ++k)
        out += "unexpected:\n" + extra[k] + "\n";
    if (!out.empty())
        out += std::to_string(missing.size()) + " missing, " + std::to_string(extra.size()) + " unexpected";
    return out;
}

void expect_same_makefile(const std::string& expected, const std::string& actual) {
    const Makefile_parts e = split_makefile(expected);
    const Makefile_parts a = split_makefile(actual);
    ASSERT_EQ(e.error, "") << "in the expected makefile";
    ASSERT_EQ(a.error, "") << "in the written makefile";
    EXPECT_EQ(a.head, e.head);
    EXPECT_EQ(multiset_difference(e.targets, a.targets), "");
    EXPECT_EQ(a.all_line, e.all_line);
    EXPECT_EQ(multiset_difference(e.units, a.units), "");
    EXPECT_EQ(a.tail, e.tail);
}

TEST_F(Bench_site, MakefilesMatchThePinnedOnes) {
    if (!ts::exists(pin_file("normal.mk")) || !ts::exists(pin_file("fast.mk")) ||
        !ts::exists(pin_file("sources")))
        GTEST_SKIP()
            << "tests/cli/data/bench_pin/ holds no expected files yet: write them with bench/update_pin.sh";
    std::string makefile, sources;

    ts::Run_result r = generated->tovik({}, makefile, sources);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    {
        SCOPED_TRACE("normal mode");
        expect_same_makefile(ts::read_file(pin_file("normal.mk")), makefile);
    }
    EXPECT_EQ(sources, ts::read_file(pin_file("sources")));

    r = generated->tovik({"--fast"}, makefile, sources);
    ASSERT_EQ(r.status, 0) << r.err;
    {
        SCOPED_TRACE("fast mode");
        expect_same_makefile(ts::read_file(pin_file("fast.mk")), makefile);
    }
    EXPECT_EQ(sources, ts::read_file(pin_file("sources")));
    // The include files hold code only: read as sources of their own, each draws the fast-mode warning.
    const std::vector<std::string> warnings = lines_of(r.err);
    EXPECT_EQ(warnings.size(), 6u) << r.err;
    for (const auto& w : warnings) {
        EXPECT_EQ(w.rfind("inc/g0", 0), 0u) << w;
        EXPECT_NE(w.find(": warning: Source file with no <vorn> tags in fast mode"), std::string::npos) << w;
    }
}

// The rules in normal mode name, for every page, exactly the files the generator wrote into it: its
// inclusions with theirs, its data files and its script.
TEST_F(Bench_site, RulesNameTheDependenciesTheGeneratorWrote) {
    std::string makefile, sources;
    const ts::Run_result r = generated->tovik({}, makefile, sources);
    ASSERT_EQ(r.status, 0) << r.err;
    if (makefile.find(":\tpage_0.vrn \\\n") == std::string::npos &&
        makefile.find("/page_0.vrn \\\n") == std::string::npos)
        GTEST_SKIP() << "vorn-tovik wrote no dependency lines: the source parser is not wired into the scan";

    std::map<std::string, std::string> rules; // source path -> its rule's dependency lines
    for (const std::string& unit : split_makefile(makefile).units) {
        const std::size_t tab = unit.find(":\t");
        const std::size_t recipe = unit.find("\n\tvorn ");
        ASSERT_NE(tab, std::string::npos) << unit;
        ASSERT_NE(recipe, std::string::npos) << unit;
        std::string head = unit.substr(tab + 2, recipe - tab - 2);
        const std::size_t end_of_source = head.find(' ');
        rules[head.substr(0, end_of_source)] =
            end_of_source == std::string::npos ? std::string() : head.substr(end_of_source);
    }
    int pages = 0;
    for (const std::string& line : lines_of(generated->read("deps.txt"))) {
        const std::size_t tab = line.find('\t');
        const std::string page = line.substr(0, tab);
        std::string expected;
        std::istringstream deps(line.substr(tab + 1));
        for (std::string dep; deps >> dep;)
            expected += " \\\n\t" + dep;
        ASSERT_TRUE(rules.count(page)) << "no rule for " << page;
        EXPECT_EQ(rules[page], expected) << page;
        ++pages;
    }
    EXPECT_EQ(pages, 60);
}

// Read again include by include from each page, the Vorn site gives the read floor's list, and the C tree
// the same files in the same order, each of the same size as its Vorn twin.
TEST_F(Bench_site, FloorAndCTreeMirrorTheSite) {
    struct Expander {
        const Generated& g;
        std::string tree;              // "site" or "ctree"
        std::string key;               // what opens an inclusion
        std::string close;             // what ends its name
        std::vector<std::string> read; // site-relative Vorn names, in reading order

        void expand(const std::string& path, const std::string& vorn_name) {
            read.push_back(vorn_name);
            const std::string text = g.read(tree + "/" + path);
            for (std::size_t at = 0; (at = text.find(key, at)) != std::string::npos;) {
                at += key.size();
                const std::string name = text.substr(at, text.find(close, at) - at);
                const std::string target = join_path(dir_of(path), name);
                std::string vorn = target;
                if (tree == "ctree")
                    vorn = target.substr(0, target.size() - 2) + ".vrn";
                expand(target, vorn);
            }
        }
    };
    Expander vorn{*generated, "site", "include(\"", "\"", {}};
    Expander c{*generated, "ctree", "#include \"", "\"", {}};
    const std::vector<std::string> pages = lines_of(generated->read("ctree.list"));
    ASSERT_EQ(pages.size(), 60u);
    for (const std::string& page : pages) {
        const std::string stem = page.substr(0, page.size() - 2);
        vorn.expand(stem + ".vrn", stem + ".vrn");
        c.expand(page, stem + ".vrn");
    }
    std::vector<std::string> floor;
    for (const std::string& line : lines_of(generated->read("floor.list")))
        floor.push_back(line.substr(std::string("site/").size()));
    EXPECT_EQ(vorn.read, floor);
    EXPECT_EQ(c.read, floor);

    std::size_t bytes = 0;
    for (const std::string& name : floor) {
        const std::string text = generated->read("site/" + name);
        const bool page = name.compare(0, 4, "inc/") != 0;
        const std::string c_name = name.substr(0, name.size() - 4) + (page ? ".c" : ".h");
        EXPECT_EQ(generated->read("ctree/" + c_name).size(), text.size()) << c_name;
        if (page)
            EXPECT_TRUE(text.size() >= 4096 && text.size() <= 8192) << name << ": " << text.size();
        bytes += text.size();
    }
    const std::string stats = generated->read("stats.json");
    EXPECT_NE(stats.find("\"floor_bytes\": " + std::to_string(bytes) + ","), std::string::npos) << stats;
}

} // namespace
