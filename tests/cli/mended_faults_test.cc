// Behaviour that a literal reading of the rules gets wrong, and what vorn-tovik does instead.
#include <ctime>
#include <gtest/gtest.h>

#include "support/site.h"

namespace {

// The rules of a one-source site: the text between the `all` line and the trailing blank lines.
std::string rules_of(const std::string& makefile) {
    std::size_t start = makefile.find("all: $(TARGETS)");
    std::size_t end = makefile.find("\n\n\n\n", start);
    return makefile.substr(start, end - start);
}

TEST(MendedFaults, ShortFastOptionWorksLikeTheLongOne) {
    ts::Site site;
    site.write("index.vrn", "<vorn> include(\"head.inc\"); </vorn>\n");
    site.write("head.inc", "x = 1;\n");
    ASSERT_EQ(site.tovik({"--fast"}).status, 0);
    std::string long_form = site.read("Makefile");
    EXPECT_NE(long_form.find("index.vrn:\t \\\n\thead.inc\n"), std::string::npos) << long_form;
    ts::Run_result r = site.tovik({"-f"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(site.read("Makefile"), long_form);
}

TEST(MendedFaults, SiteOfAlwaysRebuiltPagesKeepsItsRules) {
    ts::Site site;
    site.write("news.vrn", "<vorn> // __ALWAYS__\n</vorn>");
    ts::Run_result r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    std::string mk = site.read("Makefile");
    EXPECT_NE(mk.find("TARGETS = \nall: $(TARGETS) always\n"), std::string::npos) << mk;
    EXPECT_NE(mk.find("always: \n\tvorn $(__vorn_OPTS) $(main_OPTS) news.vrn $(prefix)news.html"),
              std::string::npos)
        << mk;

    // Sources left out of both lists still give the empty makefile.
    ts::Site hidden;
    hidden.write("part.vrn", "<vorn> // __NO_OUTPUT__\n</vorn>");
    r = hidden.tovik();
    EXPECT_EQ(r.err, "vorn-tovik: info: No source file found .. creating empty makefile\n");
    EXPECT_EQ(hidden.read("Makefile"), "");
}

TEST(MendedFaults, EmptyTranslationEntriesAreDropped) {
    for (const char* line : {"translations: it,\n", "translations: it,,\n", "translations: ,it\n"}) {
        ts::Site site;
        site.write("Makefile.vt", line);
        site.write("index.vrn", "page\n");
        ASSERT_EQ(site.tovik().status, 0) << line;
        EXPECT_EQ(
            rules_of(site.read("Makefile")),
            "all: $(TARGETS)\n\n"
            "$(prefix)index.html:\tindex.vrn\n"
            "\tvorn $(__vorn_OPTS) $(main_OPTS) index.vrn $(prefix)index.html\n\n"
            "$(prefix)it/index.html:\tindex.vrn\n"
            "\tvorn $(__vorn_OPTS) $(main_OPTS)  -p -D_LANG=it -D_REVERT index.vrn $(prefix)it/index.html")
            << line;
    }
}

TEST(MendedFaults, BranchDirectoriesWithoutTrailingSlash) {
    ts::Site site;
    site.write("Makefile.vt", "*branch*src*en\nvorn-option:-x\nend-branch\n");
    site.write("src/page.vrn", "page\n");
    site.write("src/notovik", "");
    ASSERT_EQ(site.tovik().status, 0);
    std::string mk = site.read("Makefile");
    EXPECT_NE(mk.find("\nen_OPTS = --parents  -x \n"), std::string::npos) << mk;
    EXPECT_NE(mk.find("$(prefix)en/page.html:\tsrc/page.vrn\n"
                      "\tvorn $(__vorn_OPTS) $(en_OPTS) src/page.vrn $(prefix)en/page.html\n"),
              std::string::npos)
        << mk;
}

TEST(MendedFaults, ArchiveHoldsPathsLongerThan99Bytes) {
    ts::Site site;
    const std::string deep = std::string(60, 'a') + "/" + std::string(60, 'b') + "/data-file.txt";
    site.write(deep, "kept\n");
    site.write("index.vrn", "page\n");
    ASSERT_EQ(site.tovik().status, 0);
    EXPECT_NE(site.read("Makefile").find("\ttar chzf site.tar.gz "), std::string::npos);
    ts::Run_result made = site.shell("make dist-noupdate");
    EXPECT_EQ(made.status, 0) << made.err;
    ts::Run_result list = ts::sh("tar tzf site/site.tar.gz | grep data-file", site.tmp.path());
    EXPECT_EQ(list.out, "site/" + deep + "\n");
}

} // namespace

namespace {

// inputfile() and outputfile() already name files from the run directory: in a subdirectory they are not
// prefixed again (sub/sub/page.vrn), neither in the rule nor when vorn runs the page.
TEST(MendedFaults, InputFileNamesInSubdirectoriesAreNotPrefixedTwice) {
    ts::Site site;
    const std::string source = "<vorn>echo(fsize(inputfile(), \"#b\")); verbatim(inputfile(\"./\"));</vorn>";
    site.write("sub/page.vrn", source);
    ASSERT_EQ(site.tovik().status, 0);
    std::string mk = site.read("Makefile");
    EXPECT_NE(mk.find("$(prefix)sub/page.html:\tsub/page.vrn \\\n\tsub/page.vrn\n"), std::string::npos) << mk;

    ts::Run_options o;
    o.cwd = site.dir;
    o.argv0 = "vorn";
    ts::Run_result r = ts::run({VORN_BIN, "sub/page.vrn", "-"}, o);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, std::to_string(source.size()) + source);
}

// What code writes while vorn-tovik evaluates the name of an inclusion (print, the output of cmd) belongs to
// no page: none of it reaches the makefile, which make then reads.
TEST(MendedFaults, WhatCodeWritesWhileANameIsEvaluatedStaysOutOfTheMakefile) {
    ts::Make_site site;
    site.write("inc/nooutput", "");
    site.write("inc/a.inc", "x = 1;\n");
    site.write("index.vrn", "<vorn>include(print(\"inc/a.inc\")); include(cmd(\"echo stray\"));</vorn>\n");
    ts::Run_result r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "index.vrn:1: warning: unable to get dependency\n"
                     "index.vrn:1: warning: unable to get dependency\n");
    EXPECT_EQ(rules_of(site.read("Makefile")),
              "all: $(TARGETS)\n\n"
              "$(prefix)index.html:\tindex.vrn\n"
              "\tvorn $(__vorn_OPTS) $(main_OPTS) index.vrn $(prefix)index.html");
    EXPECT_EQ(site.make().status, 0);
}

// A name made with the clock or a file's size is evaluated as vorn evaluates it: the inclusion is followed
// (it once ended the whole run with an internal error).
TEST(MendedFaults, NamesMadeWithDateOrSizeAreFollowed) {
    ts::Make_site site;
    site.write("inc/nooutput", "");
    site.write("inc/a.inc", "x = 1;\n");
    site.write("inc/n7.inc", "verbatim(\"data.txt\");\n");
    site.write("inc/data.txt", "d\n");
    const std::time_t now = std::time(nullptr);
    site.write("inc/" + std::to_string(std::localtime(&now)->tm_year + 1900) + ".inc", "y = 2;\n");
    site.write("index.vrn", "<vorn>include(\"inc/n\" + fsize(\"inc/a.inc\", \"#b\") + \".inc\");"
                            " include(\"inc/\" + date(\"#y\") + \".inc\");</vorn>\n");
    ts::Run_result r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "index.vrn:1: warning: unable to get dependency\n"
                     "index.vrn:1: warning: unable to get dependency\n");
    EXPECT_EQ(rules_of(site.read("Makefile")),
              "all: $(TARGETS)\n\n"
              "$(prefix)index.html:\tindex.vrn \\\n\tinc/a.inc \\\n\tinc/data.txt\n"
              "\tvorn $(__vorn_OPTS) $(main_OPTS) index.vrn $(prefix)index.html");
    EXPECT_EQ(site.make().status, 0);
}

} // namespace
