// Every rule lists every file its page depends on: included files, verbatim copies, files whose size or
// date a page prints, executed scripts and the names given by __DEP__, plus the markers that change a
// page's rule.  Each site is run through vorn-tovik and its makefile, ".sources" list and messages are
// compared whole; the last tests run GNU make on the result.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sys/stat.h>

#include "support/makefile_header.h"
#include "support/site.h"

namespace {

using ts::own_files;
using ts::Site;

// What one source puts into the makefile: its rules, and its entries in the target list, the always list
// and the always recipes.
struct Group {
    std::string rules, targets, always_list, always_recipes;
    std::string ext = "html"; // the extension of its pages
};

std::string recipe(const std::string& source, const std::string& output, const std::string& options = "") {
    return "\n\tvorn $(__vorn_OPTS) $(main_OPTS) " + options + source + " " + output;
}

std::string entries(const std::vector<std::string>& deps) {
    std::string text;
    for (const std::string& d : deps)
        text += " \\\n\t" + d;
    return text;
}

// A rule in normal mode; `deps` in the order they must appear.
std::string rule(const std::string& output, const std::string& source, const std::vector<std::string>& deps,
                 const std::string& options = "") {
    return output + ":\t" + source + entries(deps) + recipe(source, output, options) + "\n\n";
}

// The group of a source with one output, listed in the target list (or, with `always`, the always list).
Group page(const std::string& output, const std::string& source, const std::vector<std::string>& deps,
           bool always = false) {
    Group g;
    g.rules = rule(output, source, deps);
    g.ext = output.substr(output.rfind('.') + 1);
    (always ? g.always_list : g.targets) = output + "\\\n";
    if (always)
        g.always_recipes = recipe(source, output);
    return g;
}

// The whole makefile of a default run in the directory "site", the groups in this order.
std::string makefile_of(const std::vector<Group>& groups) {
    Group all;
    std::set<std::string> exts;
    for (const Group& g : groups) {
        exts.insert(g.ext);
        all.rules += g.rules;
        all.targets += g.targets;
        all.always_list += g.always_list;
        all.always_recipes += g.always_recipes;
    }
    if (all.targets.empty() && all.always_list.empty())
        return "";
    const bool always = !all.always_list.empty();
    return ts::makefile_header() +
           "prefix = ./\n\n__vorn_OPTS = \nmain_OPTS = \n\n\n"
           "TARGETS = " +
           all.targets + "\nall: $(TARGETS)" + (always ? " always" : "") + "\n\n" + all.rules + "\n\n" +
           (always ? "always: " + all.always_recipes : "") + "\n\nclean:\n\trm -f $(TARGETS) " +
           all.always_list + "\n\n" +
           ts::makefile_closing(ts::archive_recipe("site", "Makefile", {exts.begin(), exts.end()})) +
           (always ? " always" : "") + "\n";
}

struct Case {
    const char* name;
    std::map<std::string, std::string> files;
    std::vector<std::string> args;
    int status;
    std::string err;
    std::vector<Group> groups; // none: no makefile is written
    std::string sources = "";  // the ".sources" list when it is written
};

void run_cases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Site site;
        for (const auto& [rel, text] : c.files)
            site.write(rel, text);
        auto r = site.tovik(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.err, c.err);
        if (c.groups.empty()) {
            EXPECT_FALSE(site.has("Makefile"));
            EXPECT_FALSE(site.has("Makefile.sources"));
            continue;
        }
        EXPECT_TRUE(ts::in_some_order(site.read("Makefile"), c.groups, makefile_of));
        if (!c.sources.empty())
            EXPECT_EQ(site.read("Makefile.sources"), c.sources);
    }
}

TEST(Deps, EachKindOfDependency) {
    run_cases({
        {"an included file's own names are taken from its directory",
         {{"sub/index.vrn", "<h1>Hi</h1>\n<vorn>include(\"parts/head.inc\");</vorn>\n"},
          {"sub/parts/head.inc", "verbatim(\"banner.txt\");\nfsize(\"../logo.png\", \"#b\");\n"}},
         {},
         0,
         "",
         {page("$(prefix)sub/index.html", "sub/index.vrn",
               {"sub/logo.png", "sub/parts/banner.txt", "sub/parts/head.inc"})},
         own_files() + "sub/index.vrn\nsub/index.vrn~\n\n"},
        {"an include chain through directories, and back",
         {{"index.vrn", "<vorn>include(\"a/one.inc\"); verbatim(\"top.txt\");</vorn>\n"},
          {"a/one.inc", "include(\"../b/two.inc\");\nverbatim(\"after.txt\");\n"},
          {"b/two.inc", "include(\"c/three.inc\");\nverbatim(\"two.txt\");\n"},
          {"b/c/three.inc", "// __DEP__ three.dat\n"}},
         {},
         0,
         "",
         {page("$(prefix)index.html", "index.vrn",
               {"a/after.txt", "a/one.inc", "b/c/three.dat", "b/c/three.inc", "b/two.inc", "b/two.txt",
                "top.txt"})}},
        {"a CRLF source: a CR ending a line is a blank, and no part of a marker's text",
         {{"index.vrn", "<vorn\r\n>\r\ninclude(\"head.inc\");\r\n// __DEP__ style.css\r\n"
                        "/* __EXT__ php */ verbatim(\"a.txt\");\r\n</vorn>\r\n"},
          {"head.inc", "// __DEP__ inc.css \r\n"}},
         {},
         0,
         "",
         {page("$(prefix)index.php", "index.vrn", {"a.txt", "head.inc", "inc.css", "style.css"})}},
        {"fast mode follows no inclusion",
         {{"index.vrn", "<vorn>include(\"a/one.inc\"); verbatim(\"top.txt\");</vorn>\n"},
          {"a/one.inc", "verbatim(\"after.txt\");\n"}},
         {"--fast"},
         0,
         "",
         {{"$(prefix)index.html:\tindex.vrn" + recipe("index.vrn", "$(prefix)index.html") +
               "\n\nindex.vrn:\t" + entries({"a/one.inc", "top.txt"}) + "\n\n",
           "$(prefix)index.html\\\n"}}},
        {"absolute names, normalised names and duplicates",
         {{"sub/page.vrn", "<vorn>verbatim(\"/etc/motd\"); verbatim(\"/etc/./x/../motd\");\n"
                           "verbatim(\"./notes/../notes.txt\"); fdate(\"notes.txt\", \"%d\");\n"
                           "// __DEP__ ../sub/notes.txt\n</vorn>"}},
         {},
         0,
         "",
         {page("$(prefix)sub/page.html", "sub/page.vrn", {"/etc/motd", "sub/notes.txt"})}},
        {"entries come in byte order, not in source order",
         {{"index.vrn", "<vorn>verbatim(\"b.txt\"); verbatim(\"caf\xc3\xa9.txt\"); verbatim(\"B.txt\");\n"
                        "fsize(\"a.txt\", \"#b\"); verbatim(\"b.txt\");</vorn>"}},
         {},
         0,
         "",
         {page("$(prefix)index.html", "index.vrn", {"B.txt", "a.txt", "b.txt", "caf\xc3\xa9.txt"})}},
        {"the input file is a fixed name",
         {{"index.vrn", "<vorn>echo(fsize(inputfile(), \"#b\")); echo(fdate(inputfile(), \"%d\"));</vorn>"}},
         {},
         0,
         "",
         {page("$(prefix)index.html", "index.vrn", {"index.vrn"})}},
        {"scripts: the dependency is prefixed, the archive entry is not",
         {{"sub/page.vrn", "<vorn>exec(\"tools/gen.sh\"); echo(evalexec(\"/usr/bin/true\", 1, \"a\"));\n"
                           "exec(\"tools/gen.sh\");</vorn>"}},
         {},
         0,
         "",
         {page("$(prefix)sub/page.html", "sub/page.vrn", {"/usr/bin/true", "sub/tools/gen.sh"})},
         "/usr/bin/true\n/usr/bin/true~\n" + own_files() +
             "sub/page.vrn\nsub/page.vrn~\nsub/tools/gen.sh\nsub/tools/gen.sh~\n\n"},
        {"__DEP__ in the main file and in an included file elsewhere",
         {{"index.vrn", "<vorn>// __DEP__ data/feed.xml\ninclude(\"inc/head.inc\");\n"
                        "verbatim(\"style.css\"); // __DEP__ \t notes.txt \n</vorn>"},
          {"inc/head.inc",
           "// __DEP__ ../style.css\n// __DEP__   icons/fav.ico \t\n// __DEP__ /srv/shared.css\n"
           "// __DEP__ \t\n"}},
         {},
         0,
         "",
         // A marker followed by blanks only names nothing.
         {page("$(prefix)index.html", "index.vrn",
               {"/srv/shared.css", "data/feed.xml", "inc/head.inc", "inc/icons/fav.ico", "notes.txt",
                "style.css"})}},
    });
}

// The generator runs no statement: a name held by a variable is unknown to it, and the page's other
// dependencies are still found.
const std::string not_defined = "index.vrn:2: warning: variable `name' not defined\n";

TEST(Deps, WarningsAndInternalErrors) {
    run_cases({
        {"computed names are warned about until __ALWAYS__, which may stand in an included file",
         {{"index.vrn", "<vorn>verbatim(name);\n"
                        "fsize(\"a\" + \"b.txt\", \"#b\");\n"
                        "include(\"always.inc\");\n"
                        "verbatim(other); fdate(when, \"%d\"); verbatim(\"kept.txt\");\n</vorn>"},
          {"always.inc", "verbatim(early);\n// __ALWAYS__\nverbatim(late);\n"},
          // The marker stays with its own source.
          {"plain.vrn", "<p>plain</p>\n"}},
         {},
         0,
         "index.vrn:1: warning: unable to get dependency\n"
         "index.vrn:2: warning: unable to get dependency\n"
         "In file included from index.vrn:3:\n"
         "always.inc:1: warning: unable to get dependency\n",
         {page("$(prefix)index.html", "index.vrn", {"always.inc", "kept.txt"}, true),
          page("$(prefix)plain.html", "plain.vrn", {})}},
        {"exec of a variable",
         {{"index.vrn", "<vorn>\nexec(name); verbatim(\"kept.txt\");</vorn>"}},
         {},
         0,
         "index.vrn:2: warning: unable to get dependency\n" + not_defined,
         {page("$(prefix)index.html", "index.vrn", {"kept.txt"})}},
        {"exec of a variable after __ALWAYS__",
         {{"index.vrn", "<vorn>// __ALWAYS__\nexec(name);</vorn>"}},
         {},
         0,
         not_defined,
         {page("$(prefix)index.html", "index.vrn", {}, true)}},
        {"include of a variable: the inclusion is not followed",
         {{"index.vrn", "<vorn>name = \"head.inc\";\ninclude(name); verbatim(\"kept.txt\");</vorn>"},
          {"head.inc", "verbatim(\"never.txt\");\n"}},
         {},
         0,
         "index.vrn:2: warning: unable to get dependency\n" + not_defined,
         {page("$(prefix)index.html", "index.vrn", {"kept.txt"})}},
        {"a number where the file name belongs",
         {{"index.vrn", "<vorn>verbatim(\"a.txt\");\nverbatim (5);"}},
         {"-i"},
         1,
         "index.vrn:2: fatal: N_dep::deps () -- Internal Error\n",
         {}},
    });
}

// The group of a source without translation file: its page, and the Italian page built from the same source.
Group translated(const std::string& base, const std::string& source, const std::string& ext,
                 bool first_listed = true) {
    Group g;
    g.rules = rule("$(prefix)" + base + ext, source, {}) +
              rule("$(prefix)it/" + base + ext, source, {}, " -p -D_LANG=it -D_REVERT ");
    g.targets =
        (first_listed ? "$(prefix)" + base + ext + "\\\n" : "") + "$(prefix)it/" + base + ext + "\\\n";
    g.ext = ext;
    return g;
}

TEST(Deps, MarkersTakeEffect) {
    Group unlisted = page("$(prefix)early.html", "early.vrn", {"x.inc"});
    unlisted.targets.clear();
    run_cases({
        {"__NO_OUTPUT__ counts in the main file before its first inclusion only",
         {{"early.vrn", "<vorn>// __NO_OUTPUT__\ninclude(\"x.inc\");</vorn>"},
          {"late.vrn", "<vorn>include(\"x.inc\"); // __NO_OUTPUT__\n</vorn>"},
          {"inner.vrn", "<vorn>include(\"mark.inc\");</vorn>"},
          {"x.inc", ";\n"},
          {"mark.inc", "// __NO_OUTPUT__\n"}},
         {},
         0,
         "",
         {unlisted, page("$(prefix)late.html", "late.vrn", {"x.inc"}),
          page("$(prefix)inner.html", "inner.vrn", {"mark.inc"})}},
        {"__EXT__ changes the output and its translations, for its own source only",
         {{"Makefile.vt", "translations: it\n"},
          {"index.vrn", "<vorn>// __EXT__ \t php\n// __NO_OUTPUT__\n</vorn>"},
          {"plain.vrn", "<vorn>;</vorn>"}},
         {},
         0,
         "",
         {translated("index.", "index.vrn", "php", false), translated("plain.", "plain.vrn", "html")}},
    });
}

TEST(Deps, SyntaxErrorsKeepWhatWasCollected) {
    const std::string err = "In file included from sub/page.vrn:2:\n"
                            "sub/inc/bad.inc:3: syntax error before `;'\n";
    const std::map<std::string, std::string> files = {
        {"sub/page.vrn",
         "<vorn>verbatim(\"a.txt\");\ninclude(\"inc/bad.inc\");\nverbatim(\"b.txt\");</vorn>"},
        {"sub/inc/bad.inc", "verbatim(\"in.txt\");\n\nif (;\n"}};
    run_cases({
        {"the run stops", files, {}, 1, err, {}},
        {"with errors ignored the rule is written",
         files,
         {"-i"},
         0,
         err,
         {page("$(prefix)sub/page.html", "sub/page.vrn",
               {"sub/a.txt", "sub/inc/bad.inc", "sub/inc/in.txt"})}},
    });
}

// Dependency names are written as make reads them back, wherever they come from; a name make cannot
// express is left out with a warning, and the run goes on.  An include so named is still read; a script
// so named is still kept out of the archive, unless its name holds a control byte.
TEST(Deps, DependencyNamesAreEscapedOrLeftOut) {
    const std::map<std::string, std::string> files = {
        {"index.vrn",
         "<vorn>verbatim(\"my file.txt\");\n"
         "include(\"a$b.inc\");\n"
         "fsize(\"sub/../x*.png\", \"#b\"); fdate(\"ok.txt\", \"%d\");\n"
         "exec(\"run;me.sh\"); exec(\"ok.sh\"); exec(\"nl\" + \"\\n*\");\n"
         "/* __DEP__ notes.txt */\n"
         "// __DEP__ a:b\r\n"
         "include(\"we ird/part.inc\");\n"
         "verbatim(\"caf\xc3\xa9.txt\"); fsize(\"p(1).png\", \"#b\"); fdate(outputfile(), \"%d\");\n"
         "verbatim(\"tab\there\");</vorn>"},
        {"a$b.inc", "verbatim(\"ok.txt\");\n"},
        {"we ird/part.inc", "verbatim(\"pic;1.png\");\n"}};
    const std::string left_out = ": make cannot read this name back as a file; dependency left out\n";
    const std::string err =
        "index.vrn:4: warning: run;me.sh" + left_out +
        "index.vrn:4: warning: unable to get dependency\n"
        "In file included from index.vrn:7:\nwe ird/part.inc:1: warning: we ird/pic;1.png" +
        left_out + "index.vrn:8: warning: p(1).png" + left_out + "index.vrn:9: warning: tab\\there" +
        left_out;
    const std::vector<Group> kept = {
        page("$(prefix)index.html", "index.vrn",
             {"$(prefix)index.html", "a$$b.inc", "a\\:b", "caf\xc3\xa9.txt", "my\\ file.txt", "notes.txt",
              "ok.sh", "ok.txt", "we\\ ird/part.inc", "x\\*.png"})};
    const std::string sources =
        own_files() + "index.vrn\nindex.vrn~\nok.sh\nok.sh~\nrun;me.sh\nrun;me.sh~\n\n";
    run_cases({
        {"the run goes on", files, {}, 0, err, kept, sources},
        {"warnings made fatal", files, {"-E"}, 1, err.substr(0, err.find('\n') + 1), {}},
    });
}

// The rule of `output` in a makefile: from its line to the empty line after its recipe.
std::string rule_in(const std::string& makefile, const std::string& output) {
    std::size_t start = makefile.find("\n" + output + ":\t");
    if (start == std::string::npos)
        return "<no rule for " + output + ">";
    return makefile.substr(start + 1, makefile.find("\n\n", start) + 2 - start - 1);
}

TEST(Deps, ExampleSiteRulesListEveryDependency) {
    Site site;
    ASSERT_EQ(ts::sh("cp -R '" SOURCE_ROOT
                     "/examples/site/.' . && rm -rf Makefile Makefile.sources .Makefile.deps",
                     site.dir)
                  .status,
              0);
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string text = site.read("Makefile");
    EXPECT_EQ(rule_in(text, "$(prefix)index.html"),
              "$(prefix)index.html:\tindex.vrn \\\n"
              "\tinc/footer.vrn \\\n"
              "\tinc/header.vrn \\\n"
              "\tlogo.png \\\n"
              "\tscripts/stamp.sh \\\n"
              "\tstyle.css\n"
              "\tvorn $(__vorn_OPTS) $(main_OPTS) --deps .Makefile.deps/index.html.d index.vrn "
              "$(prefix)index.html\n\n");
    EXPECT_EQ(
        rule_in(text, "$(prefix)news/2026/item.html"),
        "$(prefix)news/2026/item.html:\tnews/2026/item.vrn \\\n"
        "\tinc/footer.vrn \\\n"
        "\tinc/header.vrn \\\n"
        "\tstyle.css\n"
        "\tvorn $(__vorn_OPTS) $(main_OPTS) --deps .Makefile.deps/news/2026/item.html.d news/2026/item.vrn "
        "$(prefix)news/2026/item.html\n\n");
}

// ---- GNU make on the rules, with a stand-in `vorn` that writes its arguments into its output file.

struct Pages_site : ts::Make_site {
    Pages_site() {
        write("a.vrn", "<vorn>include(\"inc/head.inc\");</vorn>\n");
        write("b.vrn", "<vorn>include(\"inc/wrap.inc\");</vorn>\n");
        write("c.vrn", "<vorn>verbatim(\"c.txt\");</vorn>\n");
        write("d/d.vrn", "<vorn>include(\"../inc/foot.inc\"); verbatim(\"d.txt\");</vorn>\n");
        write("inc/head.inc", ";\n");
        write("inc/wrap.inc", "include(\"head.inc\");\n");
        write("inc/foot.inc", ";\n");
        write("c.txt", "c\n");
        write("d/d.txt", "d\n");
    }

    // Every file old, the pages newer than their sources; then `touched` changes and make runs.  Returns
    // the pages that were built again.
    std::vector<std::string> rebuilt_after_touching(const std::string& touched) const {
        ts::sh("find . -type f -exec touch -d '2020-01-01 00:00:00' {} + && "
               "find . -name '*.html' -exec touch -d '2021-01-01 00:00:00' {} +",
               dir);
        EXPECT_EQ(make({"-q"}).status, 0);
        EXPECT_EQ(ts::sh("touch '" + touched + "'", dir).status, 0);
        auto r = make({"-s"});
        EXPECT_EQ(r.status, 0) << r.err;
        std::vector<std::string> rebuilt;
        for (const std::string& page : {"a.html", "b.html", "c.html", "d/d.html"}) {
            struct stat st;
            if (stat(path(page).c_str(), &st) == 0 && st.st_mtime > 1700000000)
                rebuilt.push_back(page);
        }
        EXPECT_EQ(make({"-q"}).status, 0);
        return rebuilt;
    }
};

TEST(Deps, MakeRebuildsThePagesOfAChangedDependency) {
    Pages_site site;
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0) << r.err;
    r = site.make();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(site.read("d/d.html"), "d/d.vrn ./d/d.html\n");
    r = site.make();
    EXPECT_EQ(r.out, "make: Nothing to be done for 'all'.\n");

    using Pages = std::vector<std::string>;
    EXPECT_EQ(site.rebuilt_after_touching("inc/head.inc"), (Pages{"a.html", "b.html"}));
    EXPECT_EQ(site.rebuilt_after_touching("inc/wrap.inc"), (Pages{"b.html"}));
    EXPECT_EQ(site.rebuilt_after_touching("inc/foot.inc"), (Pages{"d/d.html"}));
    EXPECT_EQ(site.rebuilt_after_touching("c.txt"), (Pages{"c.html"}));
    EXPECT_EQ(site.rebuilt_after_touching("d/d.txt"), (Pages{"d/d.html"}));
}

} // namespace
