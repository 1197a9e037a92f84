#include "driver/makefile_writer.h"
#include "driver/replace_file.h"

#include <gtest/gtest.h>

#include "diag/reporter.h"
#include "support/makefile_header.h"
#include "support/test_support.h"
#include "values/tree.h"

namespace {

const std::string header = ts::makefile_header();

// A store holding what the scan leaves for index.vrn and for news.vrn, which is rebuilt on every run.
void fill_store(Deps_tree& store) {
    store.text() = "$(prefix)index.html:\tindex.vrn\n"
                   "\tvorn $(__vorn_OPTS) $(main_OPTS) index.vrn $(prefix)index.html\n\n"
                   "$(prefix)news.html:\tnews.vrn\n"
                   "\tvorn $(__vorn_OPTS) $(main_OPTS) news.vrn $(prefix)news.html\n\n";
    store.target_list = "$(prefix)index.html\\\n";
    store.always_list = "$(prefix)news.html\\\n";
    store.always_recipes = "\n\tvorn $(__vorn_OPTS) $(main_OPTS) news.vrn $(prefix)news.html";
}

TEST(MakefileWriter, AlwaysRebuiltOutputs) {
    Deps_tree store("html");
    fill_store(store);
    Makefile_writer writer(store, "Makefile");
    writer.begin_variables("./", "", "");
    writer.finish_archive_rule(Archive_form::archive, "site");
    EXPECT_EQ(writer.makefile_text(""),
              header + "prefix = ./\n"
                       "\n"
                       "__vorn_OPTS = \n"
                       "main_OPTS = \n"
                       "\n"
                       "\n"
                       "TARGETS = $(prefix)index.html\\\n"
                       "\n"
                       "all: $(TARGETS) always\n"
                       "\n"
                       "$(prefix)index.html:\tindex.vrn\n"
                       "\tvorn $(__vorn_OPTS) $(main_OPTS) index.vrn $(prefix)index.html\n"
                       "\n"
                       "$(prefix)news.html:\tnews.vrn\n"
                       "\tvorn $(__vorn_OPTS) $(main_OPTS) news.vrn $(prefix)news.html\n"
                       "\n"
                       "\n"
                       "\n"
                       "always: \n"
                       "\tvorn $(__vorn_OPTS) $(main_OPTS) news.vrn $(prefix)news.html\n"
                       "\n"
                       "clean:\n"
                       "\trm -f $(TARGETS) $(prefix)news.html\\\n"
                       "\n"
                       "\n"
                       "dist-noupdate:\n"
                       "\ttouch site.tar.gz && cd ../ && \\\n"
                       "\ttar chzf site/site.tar.gz \\\n"
                       "\t-X site/Makefile.sources site && \\\n"
                       "\tcd site\n"
                       "\n"
                       "dist: all dist-noupdate\n"
                       "\n"
                       "sitedist: dist-noupdate\n"
                       "\n"
                       "\n"
                       "\n"
                       ".PHONY: all clean dist dist-noupdate sitedist always\n");
}

TEST(MakefileWriter, ExtraTextWithoutFinalNewlineRunsIntoTheAlwaysRule) {
    Deps_tree store("html");
    fill_store(store);
    Makefile_writer writer(store, "Makefile");
    writer.begin_variables("./", "", "");
    writer.finish_archive_rule(Archive_form::refusal, "");
    const std::string text = writer.makefile_text("# extra");
    EXPECT_NE(text.find("$(prefix)news.html\n\n\n\n# extraalways: \n\tvorn"), std::string::npos) << text;
}

TEST(MakefileWriter, VariablesBlockAndBranches) {
    Deps_tree store("html");
    Makefile_writer writer(store, "Makefile");
    writer.begin_variables("out/", " -x   -p -d out/ ", " -m ");
    writer.add_branch_variables("en_OPTS", "--parents  -e ");
    writer.add_branch_variables("de_OPTS", "--parents ");
    EXPECT_EQ(writer.variables(), "prefix = out/\n"
                                  "\n"
                                  "__vorn_OPTS =  -x   -p -d out/ \n"
                                  "main_OPTS =  -m \n"
                                  "en_OPTS = --parents  -e \n"
                                  "de_OPTS = --parents \n");
}

TEST(MakefileWriter, ArchiveRuleForms) {
    Deps_tree store("html");
    Makefile_writer refusing(store, "Makefile");
    refusing.finish_archive_rule(Archive_form::refusal, "site");
    EXPECT_EQ(refusing.dist_noupdate(),
              "\n\ndist-noupdate:\n\t@echo \"NO ARCHIVE CREATED. This feature is only "
              "enabled when Vorn-tovik is run without neither --prefix nor --root-dir "
              "option\"");
    EXPECT_TRUE(store.archive_excludes.empty());

    Makefile_writer archiving(store, "out.mk");
    archiving.finish_archive_rule(Archive_form::archive, "www");
    EXPECT_EQ(archiving.dist_noupdate(),
              "\n\ndist-noupdate:\n\ttouch www.tar.gz && cd ../ && \\\n\ttar chzf www/www.tar.gz \\\n"
              "\t-X www/out.mk.sources www && \\\n\tcd www");
    // One entry: its lines stay together in the sorted list.
    store.archive_excludes.insert("index.vrn\nindex.vrn~\n");
    EXPECT_EQ(store.take_archive_excludes(), "index.vrn\nindex.vrn~\n"
                                             "out.mk\nout.mk~\nout.mk.vt\nout.mk.vt~\nout.mk.sources\n"
                                             "out.mk.sources~\nout.mk.add\nout.mk.add~\nwww.tar.gz\n");
}

TEST(MakefileWriter, SiteName) {
    EXPECT_EQ(site_name("/home/u/site/"), "site");
    EXPECT_EQ(site_name("/home/u/site/./"), "site");
    EXPECT_EQ(site_name("/"), "");
    ts::Temp_dir tmp;
    EXPECT_EQ(site_name(tmp.path() + "/my.site/"), "my.site");
}

TEST(ReplaceFile, ReplacesTheWholeFile) {
    ts::Temp_dir tmp;
    ts::write_file(tmp / "Makefile", "a much longer old makefile text\n");
    replace_file(tmp / "Makefile", "new\n", "Can't open output file ", "Can't write output file ");
    EXPECT_EQ(ts::read_file(tmp / "Makefile"), "new\n");
    replace_file(tmp / "Makefile", "", "Can't open output file ", "Can't write output file ");
    EXPECT_EQ(ts::read_file(tmp / "Makefile"), "");
    EXPECT_EQ(ts::list_dir(tmp.path()), std::vector<std::string>{"Makefile"});
}

TEST(ReplaceFile, FailedRenameIsFatalAndLeavesNoTemporaryFile) {
    ts::Temp_dir tmp;
    ts::write_file(tmp / "Makefile/old", "old\n");
    reporter().reset();
    reporter().set_program_name("vorn-tovik");
    reporter().set_brief();
    const ts::Reported r = ts::capture([&] {
        replace_file(tmp / "Makefile", "new\n", "Can't open output file ", "Can't write output file ");
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: " + tmp.path() + "/Makefile; Is a directory\n");
    EXPECT_EQ(ts::list_dir(tmp.path()), std::vector<std::string>{"Makefile"});
    EXPECT_EQ(ts::read_file(tmp / "Makefile/old"), "old\n");
    reporter().reset();
}

TEST(ReplaceFile, FailedCreateIsTheOpenError) {
    ts::Temp_dir tmp;
    reporter().reset();
    reporter().set_program_name("vorn-tovik");
    const ts::Reported r = ts::capture([&] {
        replace_file(tmp / "missing/Makefile.sources", "x\n", "Can't open sources file ",
                     "Can't write sources file ");
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "vorn-tovik: fatal: Can't open sources file " + tmp.path() +
                  "/missing/Makefile.sources; No such file or directory\n");
    reporter().reset();
}

} // namespace
