// The files vorn-tovik writes at the end of a run: the makefile, its ".sources" list and the empty
// makefile, compared byte for byte, and how a failed write leaves the previous files alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

// A site in a directory named "site" (its name appears in the archive rule), run from that directory.
struct Site {
    ts::Temp_dir tmp;
    std::string dir = tmp / "site";

    Site() { ts::make_dirs(dir); }
    std::string path(const std::string& rel) const { return dir + "/" + rel; }
    void write(const std::string& rel, const std::string& text) const { ts::write_file(path(rel), text); }
    std::string read(const std::string& rel) const { return ts::read_file(path(rel)); }
    bool has(const std::string& rel) const { return ts::exists(path(rel)); }

    ts::Run_result tovik(std::vector<std::string> args = {}) const {
        args.insert(args.begin(), TOVIK_BIN);
        ts::Run_options o;
        o.cwd = dir;
        o.argv0 = "vorn-tovik";
        return ts::run(args, o);
    }

    // Runs vorn-tovik from bash after `prelude` (ulimit, umask ...), still named vorn-tovik.
    ts::Run_result tovik_after(const std::string& prelude, std::vector<std::string> args = {}) const {
        std::vector<std::string> argv = {"/bin/bash", "-c", prelude + "; exec -a vorn-tovik \"$0\" \"$@\"",
                                         TOVIK_BIN};
        argv.insert(argv.end(), args.begin(), args.end());
        ts::Run_options o;
        o.cwd = dir;
        return ts::run(argv, o);
    }

    // The names in the site's top directory, sorted.
    std::vector<std::string> listing() const {
        std::vector<std::string> names;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d)) {
                std::string n = e->d_name;
                if (n != "." && n != "..")
                    names.push_back(n);
            }
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::string header(const std::string& makefile = "Makefile") {
    return "# Generated automatically from " + makefile +
           ".vt by vorn-tovik 1.12\n"
           "# Copyright (C) the authors of this site\n"
           "# This makefile is free software; you have unlimited\n"
           "# permission to copy and/or distribute it, with or without\n"
           "# modifications, as long as this notice is preserved.\n"
           "\n"
           "# This makefile is distributed in the hope that it will be \n"
           "# useful, but WITHOUT ANY WARRANTY, to the extent permitted\n"
           "# by law; without even the implied warranty of \n"
           "# MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE.\n"
           "\n"
           "\n";
}

const std::string index_rule = "$(prefix)index.html:\tindex.vrn\n"
                               "\tvorn $(__vorn_OPTS) $(main_OPTS) index.vrn $(prefix)index.html\n"
                               "\n";

std::string archive_rule(const std::string& makefile = "Makefile") {
    return "dist-noupdate:\n"
           "\ttouch site.tar.gz && cd ../ && \\\n"
           "\ttar chzf site/site.tar.gz \\\n"
           "\t-X site/" +
           makefile +
           ".sources site && \\\n"
           "\tcd site\n";
}

const std::string refusal_rule = "dist-noupdate:\n"
                                 "\t@echo \"NO ARCHIVE CREATED. This feature is only enabled when Vorn-tovik "
                                 "is run without neither --prefix nor --root-dir option\"\n";

const std::string closing = "\n"
                            "dist: all dist-noupdate\n"
                            "\n"
                            "sitedist: dist-noupdate\n"
                            "\n"
                            "\n"
                            "\n"
                            ".PHONY: all clean dist dist-noupdate sitedist\n";

// The makefile of a site holding only index.vrn, with `extra` standing for the ".add" text.
std::string one_page_makefile(const std::string& extra, const std::string& makefile = "Makefile") {
    return header(makefile) +
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
           archive_rule(makefile) + closing;
}

std::string own_files(const std::string& m = "Makefile") {
    return m + "\n" + m + "~\n" + m + ".vt\n" + m + ".vt~\n" + m + ".sources\n" + m + ".sources~\n" + m +
           ".add\n" + m + ".add~\n" + "site.tar.gz\n";
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
    EXPECT_EQ(site.read("Makefile"), header() +
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
                                         refusal_rule + closing);
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
    EXPECT_NE(text.find(refusal_rule), std::string::npos);
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

TEST(MakefileOutput, FilesGetTheModeOfANewFile) {
    Site site;
    site.write("index.vrn", "x\n");
    auto r = site.tovik_after("umask 027");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* name : {"Makefile", "Makefile.sources"}) {
        struct stat st;
        ASSERT_EQ(stat(site.path(name).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u) << name;
    }
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
    EXPECT_EQ(site.listing(), (std::vector<std::string>{"Makefile", "Makefile.sources", "index.vrn"}));
}

TEST(MakefileOutput, RenameOntoADirectoryFailsInBriefMode) {
    Site site;
    site.write("index.vrn", "x\n");
    site.write("Makefile.sources/keep", "kept\n");
    auto r = site.tovik({"-b"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: Makefile.sources; Is a directory\n");
    // Nothing else is written after a failed list.
    EXPECT_EQ(site.listing(), (std::vector<std::string>{"Makefile.sources", "index.vrn"}));
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
    auto names = site.listing();
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
    EXPECT_EQ(site.listing().size(), 62u);
}

TEST(MakefileOutput, UnwritableDirectoryCannotBeOpened) {
    if (geteuid() == 0 && access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs setpriv to drop root's rights";
    Site site;
    site.write("index.vrn", "x\n");
    site.write("Makefile", "old makefile\n");
    std::vector<std::string> argv;
    if (geteuid() == 0) {
        // Root writes anywhere: run as nobody in a directory nobody may read but not write.
        chmod(site.tmp.path().c_str(), 0755);
        argv = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    }
    chmod(site.dir.c_str(), 0555);
    argv.insert(argv.end(), {"/bin/bash", "-c", "exec -a vorn-tovik \"$0\" \"$@\"", TOVIK_BIN});
    ts::Run_options o;
    o.cwd = site.dir;
    auto r = ts::run(argv, o);
    chmod(site.dir.c_str(), 0755);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: Can't open sources file Makefile.sources\n");
    EXPECT_EQ(site.read("Makefile"), "old makefile\n");
    EXPECT_EQ(site.listing(), (std::vector<std::string>{"Makefile", "index.vrn"}));
}

} // namespace
