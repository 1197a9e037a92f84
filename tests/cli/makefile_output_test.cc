// The files vorn-tovik writes at the end of a run: the makefile, its ".sources" list and the empty
// makefile, compared byte for byte, and how a failed write leaves the previous files alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

#include "support/makefile_header.h"
#include "support/site.h"

namespace {

using ts::own_files;
using ts::Site;

const std::string index_rule = "$(prefix)index.html:\tindex.vrn\n"
                               "\tvorn $(__vorn_OPTS) $(main_OPTS) index.vrn $(prefix)index.html\n"
                               "\n";

const std::string refusal_recipe = "@echo \"NO ARCHIVE CREATED. This feature is only enabled when Vorn-tovik "
                                   "is run without neither --prefix nor --root-dir option\"";

// The makefile of a site holding only index.vrn, with `extra` standing for the ".add" text.
std::string one_page_makefile(const std::string& extra, const std::string& makefile = "Makefile") {
    return ts::makefile_header(makefile) +
           "prefix = ./\n"
           "\n"
           "__vorn_OPTS = \n"
           "main_OPTS = \n"
           "\n"
           "\n"
           "TARGETS = $(prefix)index.html\\\n"
           "\n"
           "all: $(TARGETS)\n"
           "\n" +
           index_rule + "\n\n" + extra +
           "\n"
           "\n"
           "clean:\n"
           "\trm -f $(TARGETS) \n"
           "\n" +
           ts::makefile_closing(ts::archive_recipe("site", makefile)) + "\n";
}

TEST(MakefileOutput, OnePageSiteByteForByte) {
    Site site;
    site.write("index.vrn", "<p>Hello</p>\n");
    auto r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(site.read("Makefile"), one_page_makefile(""));
    EXPECT_EQ(site.read("Makefile.sources"), own_files() + "index.vrn\nindex.vrn~\n\n");
}

// A makefile that remakes itself and follows vorn's records: its rule for itself with what it watches, the
// empty rules of the prerequisites, the records' directory cleaned and left out of the archive.
TEST(MakefileOutput, SelfUpdateAndRecordsByteForByte) {
    Site site;
    site.write("Makefile.vt", "self-update:\nexact-deps:\n");
    site.write("index.vrn", "<vorn>include(\"inc/head.inc\"); verbatim(\"logo.txt\");</vorn>\n");
    site.write("inc/head.inc", "x = 1;\n");
    site.write("logo.txt");
    auto r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string rule = "$(prefix)index.html:\tindex.vrn \\\n"
                             "\tinc/head.inc \\\n"
                             "\tlogo.txt\n"
                             "\tvorn $(__vorn_OPTS) $(main_OPTS) --deps .Makefile.deps/index.html.d "
                             "index.vrn $(prefix)index.html\n"
                             "\n";
    const std::string self =
        "# This makefile is made again (--self-update) when what it was made from changes: its\n"
        "# template, Makefile.add, a source or an included file; or when a page, a translation, a\n"
        "# directory or a marker file comes or goes.  Once per run of make.\n"
        "ifeq ($(MAKE_RESTARTS),)\n"
        "ifneq ($(MAKECMDGOALS),clean)\n"
        "__vt_made := \\\n"
        "\n"
        "__vt_seen := \\\n"
        "\tMakefile.vt \\\n"
        "\tinc/ \\\n"
        "\tindex.vrn \\\n"
        "\n"
        "__vt_found := $(sort $(filter-out $(__vt_made),$(wildcard Makefile.vt Makefile.add \\\n"
        "\t*vrn \\\n"
        "\t*/ \\\n"
        "\tinc/*vrn \\\n"
        "\tinc/*/ \\\n"
        "\tinc/nooutput \\\n"
        "\tinc/notovik)))\n"
        "ifneq ($(__vt_found),$(sort $(__vt_seen)))\n"
        "Makefile: __vt_tree_changed\n"
        "endif\n"
        "__vt_record_dirs := $(wildcard .Makefile.deps)\n"
        "$(__vt_record_dirs): ;\n"
        "Makefile: $(wildcard Makefile.vt Makefile.add) $(__vt_record_dirs) \\\n"
        "\tinc/head.inc \\\n"
        "\tindex.vrn\n"
        "\tvorn-tovik\n"
        "endif\n"
        "endif\n"
        ".PHONY: __vt_tree_changed\n"
        "\n"
        "inc/head.inc:\n"
        "index.vrn:\n"
        "logo.txt:\n"
        "\n";
    const std::string expected = one_page_makefile(self);
    std::string with_records = expected;
    with_records.replace(with_records.find(index_rule), index_rule.size(), rule);
    with_records.replace(with_records.find("\trm -f $(TARGETS)"), 0, "\trm -rf .Makefile.deps\n");
    EXPECT_EQ(site.read("Makefile"), with_records);
    EXPECT_EQ(site.read("Makefile.sources"), ".Makefile.deps\n" + own_files() + "index.vrn\nindex.vrn~\n\n");
}

TEST(MakefileOutput, AddTextIsCopiedExactly) {
    const std::vector<std::string> extras = {
        "# extra rules\nupload: all\n\trsync -a ./ host:/srv/www/\n",
        "upload: all\n\t@echo done", // no final newline: clean follows on its line
        "",
    };
    for (const std::string& extra : extras) {
        SCOPED_TRACE(extra);
        Site site;
        site.write("index.vrn", "x\n");
        site.write("Makefile.add", extra);
        auto r = site.tovik();
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(site.read("Makefile"), one_page_makefile(extra));
        EXPECT_EQ(site.read("Makefile.add"), extra);
    }
}

TEST(MakefileOutput, MakefileNamedOnTheCommandLine) {
    Site site;
    site.write("index.vrn", "x\n");
    site.write("out.mk.add", "# from out.mk.add\n");
    site.write("Makefile.add", "# never read\n");
    auto r = site.tovik({"out.mk"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(site.read("out.mk"), one_page_makefile("# from out.mk.add\n", "out.mk"));
    // Entries are sorted as whole texts: index.vrn's comes first here.
    EXPECT_EQ(site.read("out.mk.sources"), "index.vrn\nindex.vrn~\n" + own_files("out.mk") + "\n");
    EXPECT_FALSE(site.has("Makefile"));
    EXPECT_FALSE(site.has("Makefile.sources"));
}

TEST(MakefileOutput, VariablesBlockHoldsEveryOption) {
    Site site;
    site.write("index.vrn", "x\n");
    site.write("Makefile.vt", "*main\nvorn-option:-p -Dmain\nend-main\n");
    auto r = site.tovik({"-O", "-x", "--vorn-option=-y"});
    EXPECT_EQ(r.status, 0);
    const std::string text = site.read("Makefile");
    const std::string block =
        "\n\nprefix = ./\n\n__vorn_OPTS =  -x   -y \nmain_OPTS =  -p -Dmain \n\n\nTARGETS";
    EXPECT_NE(text.find(block), std::string::npos) << text;
}

TEST(MakefileOutput, PrefixGivesTheRefusalRuleAndNoSourcesFile) {
    Site site;
    site.write("index.vrn", "x\n");
    site.write("Makefile.sources", "old list\n");
    auto r = site.tovik({"--prefix=out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(site.read("Makefile"), ts::makefile_header() +
                                         "prefix = out/\n"
                                         "\n"
                                         "__vorn_OPTS =  -p -d out/ \n"
                                         "main_OPTS = \n"
                                         "\n"
                                         "\n"
                                         "TARGETS = $(prefix)index.html\\\n"
                                         "\n"
                                         "all: $(TARGETS)\n"
                                         "\n" +
                                         index_rule +
                                         "\n"
                                         "\n"
                                         "\n"
                                         "\n"
                                         "clean:\n"
                                         "\trm -f $(TARGETS) \n"
                                         "\n" +
                                         ts::makefile_closing(refusal_recipe) + "\n");
    // An old list is neither updated nor removed.
    EXPECT_EQ(site.read("Makefile.sources"), "old list\n");
}

TEST(MakefileOutput, RootDirectoryGivesTheRefusalRuleAndNoSourcesFile) {
    Site site;
    site.write("web/index.vrn", "x\n");
    auto r = site.tovik({"--root-dir=web"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string text = site.read("Makefile");
    EXPECT_NE(text.find("prefix = ./\n\n__vorn_OPTS =  -p -d web/ \n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n\nall: $(TARGETS)\n\n$(prefix)index.html:\tweb/index.vrn\n"
                        "\tvorn $(__vorn_OPTS) $(main_OPTS) web/index.vrn $(prefix)index.html\n\n\n\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(ts::makefile_closing(refusal_recipe)), std::string::npos);
    EXPECT_FALSE(site.has("Makefile.sources"));
}

TEST(MakefileOutput, EmptySiteGetsAnEmptyMakefileAndAMessage) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{}, "vorn-tovik: info: No source file found .. creating empty makefile\n"},
        {{"--brief"}, "vorn-tovik: info: Empty makefile created\n"},
        {{"--quiet"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        Site site;
        site.write("readme.txt", "not a page\n");
        site.write("Makefile", "old makefile\n");
        auto r = site.tovik(c.args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(site.read("Makefile"), "");
        EXPECT_EQ(site.read("Makefile.sources"), own_files() + "\n");
    }
}

TEST(MakefileOutput, EmptySiteWithPrefixWritesNoSourcesFile) {
    Site site;
    auto r = site.tovik({"-p", "out"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "vorn-tovik: info: No source file found .. creating empty makefile\n");
    EXPECT_EQ(site.read("Makefile"), "");
    EXPECT_FALSE(site.has("Makefile.sources"));
}

mode_t mode_of(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// New files get the mode of a new file; a replaced file keeps its own, a page of vorn's too.
TEST(MakefileOutput, FilesGetTheModeOfANewFileOrKeepTheirs) {
    Site site;
    site.write("index.vrn", "x\n");
    auto r = site.tovik_after("umask 027");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* name : {"Makefile", "Makefile.sources"})
        EXPECT_EQ(mode_of(site.path(name)), 0640u) << name;

    chmod(site.path("Makefile").c_str(), 0600);
    chmod(site.path("Makefile.sources").c_str(), 0604);
    site.write("index.html", "old\n");
    chmod(site.path("index.html").c_str(), 0600);
    r = site.tovik_after("umask 022");
    ASSERT_EQ(r.status, 0) << r.err;
    r = ts::run_vorn(site.dir, {"index.vrn", "index.html"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(mode_of(site.path("Makefile")), 0600u);
    EXPECT_EQ(mode_of(site.path("Makefile.sources")), 0604u);
    EXPECT_EQ(mode_of(site.path("index.html")), 0600u);
}

// ---- A failed write leaves the previous files as they were and no temporary file behind.

// Enough pages with long names that the makefile and the list pass a few kilobytes.
void add_many_pages(const Site& site) {
    for (int i = 0; i < 60; ++i)
        site.write("page-with-a-rather-long-name-number-" + std::to_string(i) + ".vrn", "x\n");
}

TEST(MakefileOutput, RenameOntoADirectoryFails) {
    Site site;
    site.write("index.vrn", "x\n");
    site.write("Makefile/keep", "kept\n");
    auto r = site.tovik();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: Can't write output file Makefile; Is a directory\n");
    EXPECT_EQ(site.read("Makefile/keep"), "kept\n");
    // The list was written before the makefile.
    EXPECT_EQ(ts::list_dir(site.dir),
              (std::vector<std::string>{"Makefile", "Makefile.sources", "index.vrn"}));
}

TEST(MakefileOutput, RenameOntoADirectoryFailsInBriefMode) {
    Site site;
    site.write("index.vrn", "x\n");
    site.write("Makefile.sources/keep", "kept\n");
    auto r = site.tovik({"-b"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: Makefile.sources; Is a directory\n");
    // Nothing else is written after a failed list.
    EXPECT_EQ(ts::list_dir(site.dir), (std::vector<std::string>{"Makefile.sources", "index.vrn"}));
}

TEST(MakefileOutput, WriteBeyondTheFileSizeLimitFails) {
    Site site;
    add_many_pages(site);
    site.write("Makefile", "old makefile\n");
    // No list with a prefix: only the makefile is written, and it is larger than the limit.
    auto r = site.tovik_after("ulimit -f 2; trap '' XFSZ", {"--prefix=out"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: Can't write output file Makefile; File too large\n");
    EXPECT_EQ(site.read("Makefile"), "old makefile\n");
    auto names = ts::list_dir(site.dir);
    EXPECT_EQ(names.size(), 61u);
    EXPECT_EQ(std::count_if(names.begin(), names.end(), [](const std::string& n) { return n[0] == '.'; }), 0);
}

TEST(MakefileOutput, ListBeyondTheFileSizeLimitFails) {
    Site site;
    add_many_pages(site);
    site.write("Makefile", "old makefile\n");
    site.write("Makefile.sources", "old list\n");
    auto r = site.tovik_after("ulimit -f 2; trap '' XFSZ");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: Can't write sources file Makefile.sources; File too large\n");
    EXPECT_EQ(site.read("Makefile"), "old makefile\n");
    EXPECT_EQ(site.read("Makefile.sources"), "old list\n");
    EXPECT_EQ(ts::list_dir(site.dir).size(), 62u);
}

TEST(MakefileOutput, UnwritableDirectoryCannotBeOpened) {
    if (!ts::can_drop_rights())
        GTEST_SKIP() << "needs setpriv to drop root's rights";
    Site site;
    site.write("index.vrn", "x\n");
    site.write("Makefile", "old makefile\n");
    // Root writes anywhere: run as nobody in a directory nobody may read but not write.
    chmod(site.dir.c_str(), 0555);
    auto r = site.tovik_after("", {}, true);
    chmod(site.dir.c_str(), 0755);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: Can't open sources file Makefile.sources; Permission denied\n");
    EXPECT_EQ(site.read("Makefile"), "old makefile\n");
    EXPECT_EQ(ts::list_dir(site.dir), (std::vector<std::string>{"Makefile", "index.vrn"}));
}

} // namespace
