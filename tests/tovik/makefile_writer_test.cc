#include "os/replace_file.h"
#include "tovik/makefile_writer.h"

#include <gtest/gtest.h>

#include "diag/reporter.h"
#include "lang/eval/dependency_collector.h"
#include "support/makefile_header.h"
#include "support/test_support.h"

namespace {

const std::string header = ts::makefile_header();

// A page of the main section, made from `source`.
Page_rule page(const std::string& source, const std::string& output, bool always = false) {
    Page_rule p;
    p.output = output;
    p.source = source;
    p.extension = "html";
    p.options_variable = "main_OPTS";
    p.always = always;
    return p;
}

// The pages the scan finds for index.vrn and for news.vrn, which is rebuilt on every run.
void fill(Makefile_writer& writer) {
    writer.add_page(page("index.vrn", "$(prefix)index.html"));
    writer.add_page(page("news.vrn", "$(prefix)news.html", true));
}

TEST(MakefileWriter, AlwaysRebuiltOutputs) {
    Reporter rep;
    Dependency_collector store(rep, "html");
    Makefile_writer writer(store, "Makefile");
    fill(writer);
    writer.begin_variables("./", "", "");
    writer.finish_archive_rule(Archive_form::archive, "site");
    EXPECT_EQ(writer.makefile_text(""),
              header +
                  "prefix = ./\n"
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
                  "\n" +
                  ts::makefile_closing() + " always\n");
}

TEST(MakefileWriter, ExtraTextWithoutFinalNewlineRunsIntoTheAlwaysRule) {
    Reporter rep;
    Dependency_collector store(rep, "html");
    Makefile_writer writer(store, "Makefile");
    fill(writer);
    writer.begin_variables("./", "", "");
    writer.finish_archive_rule(Archive_form::refusal, "");
    const std::string text = writer.makefile_text("# extra");
    EXPECT_NE(text.find("$(prefix)news.html\n\n\n\n# extraalways: \n\tvorn"), std::string::npos) << text;
}

// Names are written as make reads them back, each once, in the byte order of what make reads; the prefix
// variable that begins a page's name stays a variable.
TEST(MakefileWriter, PrerequisiteNames) {
    Reporter rep;
    Dependency_collector store(rep, "html");
    store.add_dependency("a b", false);
    store.add_dependency("a-b", false);
    store.add_dependency("$(prefix)x.html", true);
    store.add_dependency("$y.html", false);
    store.add_dependency("$z.html", true);
    store.add_dependency("a b", false);
    EXPECT_EQ(prerequisite_names(store),
              (std::vector<std::string>{"$$y.html", "$$z.html", "$(prefix)x.html", "a-b", "a\\ b"}));
}

TEST(MakefileWriter, VariablesBlockAndBranches) {
    Reporter rep;
    Dependency_collector store(rep, "html");
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
    Reporter rep;
    Dependency_collector store(rep, "html");
    Makefile_writer refusing(store, "Makefile");
    refusing.finish_archive_rule(Archive_form::refusal, "site");
    EXPECT_EQ(refusing.dist_noupdate(),
              "\n\ndist-noupdate:\n\t@echo \"NO ARCHIVE CREATED. This feature is only "
              "enabled when Vorn-tovik is run without neither --prefix nor --root-dir "
              "option\"");
    EXPECT_EQ(store.take_archive_excludes(), "");

    Makefile_writer archiving(store, "out.mk");
    archiving.finish_archive_rule(Archive_form::archive, "www");
    EXPECT_EQ(archiving.dist_noupdate(),
              "\n\ndist-noupdate:\n\t"
              "test -r out.mk.sources && touch www.tar.gz && \\\n"
              "\tLC_ALL=C sed -e '/^$$/d' -e 's/[][*?\\\\]/\\\\&/g' -e 's/[[:space:]]$$/[&]/' -e 's|^|./|' "
              "\\\n\tout.mk.sources | \\\n"
              "\ttar chzf www.tar.gz --transform='s|^\\.|www|S' --anchored --no-wildcards-match-slash \\\n"
              "\t-X - --exclude='./.out.mk.*' .");
    // One entry: its lines stay together in the sorted list.
    store.exclude_from_archive("index.vrn\nindex.vrn~\n");
    EXPECT_EQ(store.take_archive_excludes(), "index.vrn\nindex.vrn~\n"
                                             "out.mk\nout.mk~\nout.mk.vt\nout.mk.vt~\nout.mk.sources\n"
                                             "out.mk.sources~\nout.mk.add\nout.mk.add~\nwww.tar.gz\n");
}

// Names are quoted for the shell where they need it; the pages of every extension leave their temporary
// files out.
TEST(MakefileWriter, ArchiveRuleQuotesNamesAndCoversEveryExtension) {
    Reporter rep;
    Dependency_collector store(rep, "html");
    Makefile_writer writer(store, "my (web).mk");
    writer.add_page(page("a.vrn", "$(prefix)a.html"));
    Page_rule php = page("b.vrn", "$(prefix)b.php");
    php.extension = "php";
    writer.add_page(php);
    writer.finish_archive_rule(Archive_form::archive, "my site");
    EXPECT_EQ(writer.dist_noupdate(),
              "\n\ndist-noupdate:\n\ttest -r 'my (web).mk.sources' && touch 'my site.tar.gz' && \\\n"
              "\tLC_ALL=C sed -e '/^$$/d' -e 's/[][*?\\\\]/\\\\&/g' -e 's/[[:space:]]$$/[&]/' -e 's|^|./|' "
              "\\\n\t'my (web).mk.sources' | \\\n"
              "\ttar chzf 'my site.tar.gz' --transform='s|^\\.|my site|S' --anchored "
              "--no-wildcards-match-slash \\\n"
              "\t-X - --exclude='./.my (web).mk.*' --no-anchored --exclude='.*.html.?????\?' "
              "--exclude='.*.php.?????\?' .");
}

// A name that make, the shell or tar would read specially never reaches the recipe, and a control byte
// never reaches the list.
TEST(MakefileWriter, OddNamesGetTheRefusalForm) {
    Reporter rep;
    const std::string refusal = "\n\ndist-noupdate:\n\t@echo \"NO ARCHIVE CREATED. This feature is only "
                                "enabled when Vorn-tovik is run without neither --prefix nor --root-dir "
                                "option\"";
    struct Case {
        std::string site, makefile, err, list;
    };
    const std::string w = "vorn-tovik: warning: ";
    const std::string why = "\" cannot be passed safely to make, the shell and tar; make dist will make no "
                            "archive\n";
    const std::string own = "M\nM~\nM.vt\nM.vt~\nM.sources\nM.sources~\nM.add\nM.add~\n";
    const std::vector<Case> cases = {
        {"r;touch X;x", "M", w + "site directory name \"r;touch X;x" + why, own + "r;touch X;x.tar.gz\n"},
        {"$(shell touch X)", "M", w + "site directory name \"$(shell touch X)" + why,
         own + "$(shell touch X).tar.gz\n"},
        {"`touch X`", "M", w + "site directory name \"`touch X`" + why, own + "`touch X`.tar.gz\n"},
        {"it's", "M", w + "site directory name \"it's" + why, own + "it's.tar.gz\n"},
        {"a\"b", "M", w + "site directory name \"a\"b" + why, own + "a\"b.tar.gz\n"},
        {"h#x", "M", w + "site directory name \"h#x" + why, own + "h#x.tar.gz\n"},
        {"p%x", "M", w + "site directory name \"p%x" + why, own + "p%x.tar.gz\n"},
        {"a:b", "M", w + "site directory name \"a:b" + why, own + "a:b.tar.gz\n"},
        {"-x", "M", w + "site directory name \"-x" + why, own + "-x.tar.gz\n"},
        {"a*b", "M", w + "site directory name \"a*b" + why, own + "a*b.tar.gz\n"},
        {"new\nline", "M", "", own},
        {"", "M", w + "site directory name \"" + why, own + ".tar.gz\n"},
        {"site", "M;x", w + "makefile name \"M;x" + why,
         "M;x\nM;x~\nM;x.vt\nM;x.vt~\nM;x.sources\nM;x.sources~\nM;x.add\nM;x.add~\nsite.tar.gz\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.site + " " + c.makefile);
        Dependency_collector store(rep, "html");
        Makefile_writer writer(store, c.makefile);
        rep = Reporter();
        rep.set_program_name("vorn-tovik");
        const ts::Reported r =
            ts::capture([&] { writer.finish_archive_rule(Archive_form::archive, c.site); });
        // How a control byte shows in a message is the reporter's business.
        if (c.err.empty())
            EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
        else
            EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.status, -1);
        EXPECT_EQ(writer.dist_noupdate(), refusal);
        EXPECT_EQ(writer.makefile_text("").find(c.site + ".tar.gz"), std::string::npos);
        EXPECT_EQ(store.take_archive_excludes(), c.list);
    }
}

TEST(MakefileWriter, SiteName) {
    Reporter rep;
    EXPECT_EQ(site_name("/home/u/site/"), "site");
    EXPECT_EQ(site_name("/home/u/site/./"), "site");
    EXPECT_EQ(site_name("/"), "");
    ts::Temp_dir tmp;
    EXPECT_EQ(site_name(tmp.path() + "/my.site/"), "my.site");
}

TEST(ReplaceFile, ReplacesTheWholeFile) {
    Reporter rep;
    ts::Temp_dir tmp;
    ts::write_file(tmp / "Makefile", "a much longer old makefile text\n");
    replace_file(rep, tmp / "Makefile", "new\n", "Can't open output file ", "Can't write output file ");
    EXPECT_EQ(ts::read_file(tmp / "Makefile"), "new\n");
    replace_file(rep, tmp / "Makefile", "", "Can't open output file ", "Can't write output file ");
    EXPECT_EQ(ts::read_file(tmp / "Makefile"), "");
    EXPECT_EQ(ts::list_dir(tmp.path()), std::vector<std::string>{"Makefile"});
}

TEST(ReplaceFile, FailedRenameIsFatalAndLeavesNoTemporaryFile) {
    Reporter rep;
    ts::Temp_dir tmp;
    ts::write_file(tmp / "Makefile/old", "old\n");
    rep = Reporter();
    rep.set_program_name("vorn-tovik");
    rep.set_brief();
    const ts::Reported r = ts::capture([&] {
        replace_file(rep, tmp / "Makefile", "new\n", "Can't open output file ", "Can't write output file ");
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: " + tmp.path() + "/Makefile; Is a directory\n");
    EXPECT_EQ(ts::list_dir(tmp.path()), std::vector<std::string>{"Makefile"});
    EXPECT_EQ(ts::read_file(tmp / "Makefile/old"), "old\n");
}

TEST(ReplaceFile, FailedCreateIsTheOpenError) {
    Reporter rep;
    ts::Temp_dir tmp;
    rep = Reporter();
    rep.set_program_name("vorn-tovik");
    const ts::Reported r = ts::capture([&] {
        replace_file(rep, tmp / "missing/Makefile.sources", "x\n", "Can't open sources file ",
                     "Can't write sources file ");
    });
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: Can't open sources file " + tmp.path() +
                         "/missing/Makefile.sources; No such file or directory\n");
}

} // namespace
