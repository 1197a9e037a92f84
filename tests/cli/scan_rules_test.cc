// The project scan seen from outside: which files become rules, in which form, which outputs are listed,
// what goes into the archive exclude list, and how the scan fails.  What the rules depend on is checked
// in deps_test.cc.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "support/site.h"

namespace {

using ts::in_some_order;
using ts::own_files;
using ts::Site;

// vorn-tovik where permission bits count: as nobody, owning the site, when the tests run as root.
ts::Run_result tovik_unprivileged(const Site& site, std::vector<std::string> args = {}) {
    if (geteuid() == 0)
        ts::sh("chown -R 65534:65534 site", site.tmp.path());
    return site.tovik_after("", std::move(args), true);
}

// The rules: everything between the `all` line and the empty lines before `clean` (no ".add", no always
// rule).
std::string rules_of(const std::string& makefile) {
    const std::string all = "all: $(TARGETS)\n\n";
    std::size_t start = makefile.find(all);
    std::size_t end = makefile.rfind("\n\n\n\nclean:\n");
    if (start == std::string::npos || end == std::string::npos || end < start + all.size())
        return "<no rules in:\n" + makefile + ">";
    return makefile.substr(start + all.size(), end - start - all.size());
}

std::string targets_of(const std::string& makefile) {
    const std::string head = "\n\nTARGETS = ";
    std::size_t start = makefile.find(head);
    std::size_t end = makefile.find("\n\nall: $(TARGETS)");
    if (start == std::string::npos || end == std::string::npos)
        return "<no targets in:\n" + makefile + ">";
    // The last entry's newline is the first of the two before `all`.
    return makefile.substr(start + head.size(), end + 1 - start - head.size());
}

std::string rule(const std::string& output, const std::string& source, const std::string& options = "",
                 const std::string& variable = "main_OPTS") {
    return output + ":\t" + source + "\n\tvorn $(__vorn_OPTS) $(" + variable + ") " + options + source + " " +
           output + "\n\n";
}

// index.vrn includes head.vrn and prints the size of logo.png; head.vrn, a source too, is text on its own
// and code where it is included.
void write_translated_site(const Site& site, const std::string& settings) {
    site.write("Makefile.vt", settings + "translations: it\n");
    site.write("index.vrn",
               "<vorn>include(\"head.vrn\");</vorn>\n"
               "<p>The logo weighs <vorn>echo(fsize(\"logo.png\", \"#b\"));</vorn> bytes.</p>\n");
    site.write("index.vrn.it", "<p>Il logo</p>\n");
    site.write("head.vrn", "<vorn>title = \"Home\";</vorn>\n");
    site.write("logo.png");
    site.write("sub/page.vrn", "<vorn>;</vorn><p>A page</p>\n");
}

const std::string head_rules = rule("$(prefix)head.html", "head.vrn") +
                               rule("$(prefix)it/head.html", "head.vrn", " -p -D_LANG=it -D_REVERT ");
const std::string head_targets = "$(prefix)head.html\\\n$(prefix)it/head.html\\\n";
const std::string sub_targets = "$(prefix)sub/page.html\\\n$(prefix)it/sub/page.html\\\n";
const std::string translated_sources = own_files() +
                                       "head.vrn\nhead.vrn~\nindex.vrn\nindex.vrn~\nindex.vrn.it\n"
                                       "index.vrn.it~\nsub/page.vrn\nsub/page.vrn~\n\n";

TEST(ScanRules, SourcesWithTranslations) {
    Site site;
    write_translated_site(site, "");
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string text = site.read("Makefile");
    EXPECT_TRUE(in_some_order(
        rules_of(text),
        {"$(prefix)index.html:\tindex.vrn \\\n"
         "\thead.vrn \\\n"
         "\tlogo.png\n"
         "\tvorn $(__vorn_OPTS) $(main_OPTS) index.vrn $(prefix)index.html\n"
         "\n"
         "$(prefix)it/index.html:\tindex.vrn.it \\\n"
         "\thead.vrn \\\n"
         "\tlogo.png\n"
         "\tvorn $(__vorn_OPTS) $(main_OPTS)  -p -D_LANG=it index.vrn.it $(prefix)it/index.html\n"
         "\n",
         "$(prefix)sub/page.html:\tsub/page.vrn\n"
         "\tvorn $(__vorn_OPTS) $(main_OPTS) sub/page.vrn $(prefix)sub/page.html\n"
         "\n"
         "$(prefix)it/sub/page.html:\tsub/page.vrn\n"
         "\tvorn $(__vorn_OPTS) $(main_OPTS)  -p -D_LANG=it -D_REVERT sub/page.vrn "
         "$(prefix)it/sub/page.html\n"
         "\n",
         head_rules}));
    EXPECT_TRUE(in_some_order(
        targets_of(text), {"$(prefix)index.html\\\n$(prefix)it/index.html\\\n", sub_targets, head_targets}));
    EXPECT_EQ(site.read("Makefile.sources"), translated_sources);
}

// Fast mode hangs the dependencies on the source: the included file is only checked, not read.
TEST(ScanRules, SourcesWithTranslationsInFastMode) {
    Site site;
    write_translated_site(site, "fast:\n");
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string text = site.read("Makefile");
    EXPECT_TRUE(in_some_order(
        rules_of(text),
        {"$(prefix)index.html:\tindex.vrn\n"
         "\tvorn $(__vorn_OPTS) $(main_OPTS) index.vrn $(prefix)index.html\n"
         "\n"
         "index.vrn:\t \\\n"
         "\thead.vrn \\\n"
         "\tlogo.png\n"
         "\n"
         "$(prefix)it/index.html:\tindex.vrn.it\n"
         "\tvorn $(__vorn_OPTS) $(main_OPTS)  -p -D_LANG=it index.vrn.it $(prefix)it/index.html\n"
         "\n"
         "index.vrn.it:\t \\\n"
         "\thead.vrn \\\n"
         "\tlogo.png\n"
         "\n",
         rule("$(prefix)sub/page.html", "sub/page.vrn") + "\n\n" +
             rule("$(prefix)it/sub/page.html", "sub/page.vrn", " -p -D_LANG=it -D_REVERT ") + "\n\n",
         rule("$(prefix)head.html", "head.vrn") + "\n\n" +
             rule("$(prefix)it/head.html", "head.vrn", " -p -D_LANG=it -D_REVERT ") + "\n\n"}));
    EXPECT_TRUE(in_some_order(
        targets_of(text), {"$(prefix)index.html\\\n$(prefix)it/index.html\\\n", sub_targets, head_targets}));
    EXPECT_EQ(site.read("Makefile.sources"), translated_sources);
}

TEST(ScanRules, VerboseRunNamesEveryCheck) {
    Site site;
    site.write("Makefile.vt", "translations: it, fr\n");
    site.write("sub/page.vrn");
    site.write("sub/page.vrn.fr");
    auto r = site.tovik({"-v"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "vorn-tovik: info: Checking for sub/page.vrn\n"
                     "vorn-tovik: info: Checking for sub/page.vrn.it\n"
                     "vorn-tovik: info: Missing Translation page.vrn.it\n"
                     "vorn-tovik: info: Checking for sub/page.vrn.fr\n");
    EXPECT_EQ(rules_of(site.read("Makefile")),
              rule("$(prefix)sub/page.html", "sub/page.vrn") +
                  rule("$(prefix)it/sub/page.html", "sub/page.vrn", " -p -D_LANG=it -D_REVERT ") +
                  rule("$(prefix)fr/sub/page.html", "sub/page.vrn.fr", " -p -D_LANG=fr "));
}

TEST(ScanRules, FastModeLeavesTwoBreaksAfterARuleWithoutDependencies) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--fast"}, std::vector<std::string>{}}) {
        Site site;
        site.write("Makefile.vt", args.empty() ? "fast:\ntranslations: it\n" : "translations: it\n");
        site.write("index.vrn");
        auto r = site.tovik(args);
        ASSERT_EQ(r.status, 0);
        const std::string text = site.read("Makefile");
        // Each rule is followed by three empty lines; the buffer's own two breaks follow the last.
        EXPECT_EQ(rules_of(text),
                  rule("$(prefix)index.html", "index.vrn") + "\n\n" +
                      rule("$(prefix)it/index.html", "index.vrn", " -p -D_LANG=it -D_REVERT ") + "\n\n");
        EXPECT_EQ(targets_of(text), "$(prefix)index.html\\\n$(prefix)it/index.html\\\n");
    }
}

TEST(ScanRules, BranchesAreScannedInReverseOrder) {
    Site site;
    site.write("Makefile.vt", "*main\nvorn-option:-M\nend-main\n"
                              "*branch*guide/*out-guide/\nend-branch\n"
                              "*branch*blog/*out-blog/\nvorn-option:-B\nend-branch\n");
    site.write("index.vrn");
    // Hidden from the main pass; the branch passes start inside them.
    site.write("guide/notovik", "");
    site.write("guide/start.vrn");
    site.write("blog/notovik", "");
    site.write("blog/2026/first.vrn");
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string text = site.read("Makefile");
    EXPECT_NE(text.find("\n\nprefix = ./\n\n__vorn_OPTS = \nmain_OPTS =  -M \n"
                        "out-blog_OPTS = --parents  -B \nout-guide_OPTS = --parents \n\n\nTARGETS = "),
              std::string::npos)
        << text;
    EXPECT_EQ(rules_of(text),
              rule("$(prefix)index.html", "index.vrn") +
                  rule("$(prefix)out-blog/2026/first.html", "blog/2026/first.vrn", "", "out-blog_OPTS") +
                  rule("$(prefix)out-guide/start.html", "guide/start.vrn", "", "out-guide_OPTS"));
    EXPECT_EQ(
        targets_of(text),
        "$(prefix)index.html\\\n$(prefix)out-blog/2026/first.html\\\n$(prefix)out-guide/start.html\\\n");
    EXPECT_EQ(site.read("Makefile.sources"), own_files() + "blog\n"
                                                           "blog/2026/first.vrn\nblog/2026/first.vrn~\n"
                                                           "guide\n"
                                                           "guide/start.vrn\nguide/start.vrn~\n"
                                                           "index.vrn\nindex.vrn~\n\n");
}

TEST(ScanRules, TranslationsOfABranchGoUnderThePrefix) {
    Site site;
    site.write("Makefile.vt", "translations: it\n*branch*doc/*out/doc/\nend-branch\n");
    site.write("doc/notovik", "");
    site.write("doc/a.vrn");
    site.write("doc/a.vrn.it");
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(rules_of(site.read("Makefile")),
              rule("$(prefix)out/doc/a.html", "doc/a.vrn", "", "out/doc_OPTS") +
                  rule("$(prefix)it/out/doc/a.html", "doc/a.vrn.it", " -p -D_LANG=it ", "out/doc_OPTS"));
}

TEST(ScanRules, MarkerFiles) {
    Site site;
    site.write("index.vrn");
    site.write("hidden/notovik", "");
    site.write("hidden/page.vrn");
    site.write("frag/nooutput", "");
    site.write("frag/part.vrn");
    site.write("frag/deeper/more.vrn");
    site.write("both/notovik", "");
    site.write("both/nooutput", "");
    site.write("both/page.vrn");
    // A "notovik" that is a directory marks nothing: it is scanned like any subdirectory.
    site.write("dirmark/page.vrn");
    site.write("dirmark/notovik/inner.vrn");
    site.write("dirmark/nooutput", "");
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string text = site.read("Makefile");
    EXPECT_TRUE(in_some_order(rules_of(text),
                              {rule("$(prefix)index.html", "index.vrn"),
                               rule("$(prefix)frag/part.html", "frag/part.vrn"),
                               rule("$(prefix)frag/deeper/more.html", "frag/deeper/more.vrn"),
                               rule("$(prefix)dirmark/page.html", "dirmark/page.vrn"),
                               rule("$(prefix)dirmark/notovik/inner.html", "dirmark/notovik/inner.vrn")}));
    EXPECT_TRUE(in_some_order(targets_of(text), {"$(prefix)index.html\\\n", "$(prefix)dirmark/page.html\\\n",
                                                 "$(prefix)dirmark/notovik/inner.html\\\n"}));
    EXPECT_EQ(site.read("Makefile.sources"), own_files() +
                                                 "both\n"
                                                 "dirmark/notovik/inner.vrn\ndirmark/notovik/inner.vrn~\n"
                                                 "dirmark/page.vrn\ndirmark/page.vrn~\n"
                                                 "frag\n"
                                                 "frag/deeper/more.vrn\nfrag/deeper/more.vrn~\n"
                                                 "frag/part.vrn\nfrag/part.vrn~\n"
                                                 "hidden\n"
                                                 "index.vrn\nindex.vrn~\n\n");
}

TEST(ScanRules, OnlyUnlistedOutputsGiveTheEmptyMakefile) {
    Site site;
    site.write("frag/nooutput", "");
    site.write("frag/part.vrn");
    auto r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "vorn-tovik: info: No source file found .. creating empty makefile\n");
    EXPECT_EQ(site.read("Makefile"), "");
    EXPECT_EQ(site.read("Makefile.sources"), own_files() + "frag\nfrag/part.vrn\nfrag/part.vrn~\n\n");
}

TEST(ScanRules, OddNamesAndExtensions) {
    Site site;
    site.write("vrn");            // no dot: all extension, empty base
    site.write(".vrn");           // base "."
    site.write(".dir/page.vrn");  // hidden directories are scanned
    site.write("page.VRN");       // extensions compare byte for byte
    site.write("page.vrn~");      // an editor backup
    site.write("archive.vrn.gz"); // the extension is what follows the last dot
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0);
    const std::string text = site.read("Makefile");
    EXPECT_TRUE(in_some_order(rules_of(text), {rule("$(prefix)html", "vrn"), rule("$(prefix).html", ".vrn"),
                                               rule("$(prefix).dir/page.html", ".dir/page.vrn")}));
}

TEST(ScanRules, ExtensionsFromTheCommandLine) {
    Site site;
    site.write("index.src");
    site.write("index.vrn");
    auto r = site.tovik({"-S", "src", "--target-extension=php"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(rules_of(site.read("Makefile")), rule("$(prefix)index.php", "index.src"));
}

TEST(ScanRules, RootDirectoryNamesSourcesFromTheRunDirectory) {
    Site site;
    site.write("web/index.vrn");
    site.write("web/sub/page.vrn");
    site.write("stray.vrn"); // outside the root: not scanned
    auto r = site.tovik({"-d", "web", "-p", "out"});
    ASSERT_EQ(r.status, 0);
    const std::string text = site.read("Makefile");
    EXPECT_TRUE(in_some_order(rules_of(text), {rule("$(prefix)index.html", "web/index.vrn"),
                                               rule("$(prefix)sub/page.html", "web/sub/page.vrn")}));
    EXPECT_NE(text.find("prefix = out/\n\n__vorn_OPTS =  -p -d out/ \n"), std::string::npos);
}

// ---- Failures

TEST(ScanRules, EntryWithoutStatus) {
    Site site;
    site.write("index.vrn");
    ASSERT_EQ(symlink("nowhere.vrn", site.path("broken.vrn").c_str()), 0);
    auto r = site.tovik();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: unable to get infos about file broken.vrn; No such file or directory\n");
    EXPECT_FALSE(site.has("Makefile"));
    EXPECT_FALSE(site.has("Makefile.sources"));

    r = site.tovik({"-i", "-b"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "vorn-tovik: broken.vrn; No such file or directory\n");
    EXPECT_EQ(rules_of(site.read("Makefile")), rule("$(prefix)index.html", "index.vrn"));
}

TEST(ScanRules, UnreadableSource) {
    if (!ts::can_drop_rights())
        GTEST_SKIP() << "needs setpriv to drop root's rights";
    Site site;
    site.write("Makefile.vt", "translations: it\n");
    site.write("secret.vrn");
    site.write("secret.vrn.it");
    site.write("Makefile", "old makefile\n");
    chmod(site.path("secret.vrn").c_str(), 0);
    auto r = tovik_unprivileged(site);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: can't open file secret.vrn; Permission denied\n");
    EXPECT_EQ(site.read("Makefile"), "old makefile\n");

    // Going on, the translation still gets its rule, from its own file.
    r = tovik_unprivileged(site, {"--ignore-errors"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "vorn-tovik: can't open file secret.vrn; Permission denied\n");
    const std::string text = site.read("Makefile");
    EXPECT_EQ(rules_of(text), rule("$(prefix)it/secret.html", "secret.vrn.it", " -p -D_LANG=it "));
    EXPECT_EQ(targets_of(text), "$(prefix)it/secret.html\\\n");
    EXPECT_EQ(site.read("Makefile.sources"), own_files() + "secret.vrn.it\nsecret.vrn.it~\n\n");
}

// A subdirectory that cannot be entered or listed is an error; with errors ignored the rest of the site
// gets its makefile.
TEST(ScanRules, SubdirectoryThatCannotBeRead) {
    if (!ts::can_drop_rights())
        GTEST_SKIP() << "needs setpriv to drop root's rights";
    const struct {
        mode_t mode;
        const char* err;
    } rows[] = {
        {0, "vorn-tovik: can't change directory to locked; Permission denied\n"},
        {0311, "vorn-tovik: can't open directory ./locked/\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.mode);
        Site site;
        site.write("index.vrn");
        site.write("locked/page.vrn");
        site.write("Makefile", "old makefile\n");
        site.write("Makefile.sources", "old list\n");
        chmod(site.path("locked").c_str(), row.mode);
        auto r = tovik_unprivileged(site);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, row.err);
        EXPECT_EQ(site.read("Makefile"), "old makefile\n");
        EXPECT_EQ(site.read("Makefile.sources"), "old list\n");

        r = tovik_unprivileged(site, {"-i"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, row.err);
        EXPECT_EQ(rules_of(site.read("Makefile")), rule("$(prefix)index.html", "index.vrn"));
        chmod(site.path("locked").c_str(), 0755);
    }
}

TEST(ScanRules, MissingRootDirectory) {
    Site site;
    auto r = site.tovik({"--root-dir=nowhere"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: fatal: can't change directory to nowhere/; No such file or directory\n");
    EXPECT_FALSE(site.has("Makefile"));
}

// ---- Sources whose names make or the shell would read specially are left out, with a warning; they are
// still kept out of the archive.

TEST(ScanRules, UnsafeSourceNameIsLeftOut) {
    Site site;
    site.write("index.vrn");
    site.write("$(shell touch x).vrn");
    auto r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "vorn-tovik: warning: $(shell touch x).vrn: file name holds characters that make or the "
                     "shell read specially; skipped\n");
    const std::string text = site.read("Makefile");
    EXPECT_EQ(rules_of(text), rule("$(prefix)index.html", "index.vrn"));
    EXPECT_EQ(targets_of(text), "$(prefix)index.html\\\n");
    EXPECT_EQ(site.read("Makefile.sources"),
              "$(shell touch x).vrn\n$(shell touch x).vrn~\n" + own_files() + "index.vrn\nindex.vrn~\n\n");

    site.write("Makefile", "old makefile\n");
    r = site.tovik({"--fatal-warnings", "--brief"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: warning: $(shell touch x).vrn: unsafe name\n");
    EXPECT_EQ(site.read("Makefile"), "old makefile\n");
}

TEST(ScanRules, EveryUnsafeByteIsLeftOut) {
    const std::string bytes = std::string(" \t\n\r\x01\x1f\x7f") + "$#:;=%\"'`\\*?[](){}<>|&!~^";
    for (char c : bytes) {
        SCOPED_TRACE(static_cast<int>(c));
        Site site;
        site.write("index.vrn");
        const std::string name = std::string("a") + c + "b.vrn";
        site.write(name);
        auto r = site.tovik({"-b"});
        EXPECT_EQ(r.status, 0);
        const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
        const std::string shown = c == '\n'   ? "a\\nb.vrn"
                                  : c == '\r' ? "a\\rb.vrn"
                                  : c == '\t' ? "a\\tb.vrn"
                                  : c == 1    ? "a\\x01b.vrn"
                                  : c == 0x1f ? "a\\x1fb.vrn"
                                  : c == 0x7f ? "a\\x7fb.vrn"
                                              : name;
        EXPECT_EQ(r.err, "vorn-tovik: warning: " + shown + ": unsafe name\n");
        EXPECT_EQ(rules_of(site.read("Makefile")), rule("$(prefix)index.html", "index.vrn"));
        EXPECT_EQ(site.read("Makefile.sources").find(name) == std::string::npos, control);
    }
}

TEST(ScanRules, SourceBelowAnUnsafeDirectoryIsLeftOut) {
    Site site;
    site.write("index.vrn");
    site.write("my pages/deeper/page.vrn");
    site.write("empty dir/readme.txt"); // no source: no problem
    auto r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "vorn-tovik: warning: my pages/deeper/page.vrn: file name holds characters that make or "
                     "the shell read specially; skipped\n");
    EXPECT_EQ(rules_of(site.read("Makefile")), rule("$(prefix)index.html", "index.vrn"));
}

TEST(ScanRules, PlainNamesAreAccepted) {
    Site site;
    site.write("Makefile.vt", "translations: it\n");
    site.write("caf\xc3\xa9.vrn");
    site.write("caf\xc3\xa9.vrn.it");
    site.write("a-b_c+d,e@f.vrn");
    site.write("odd dir/notes.txt");
    auto r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(in_some_order(
        rules_of(site.read("Makefile")),
        {rule("$(prefix)caf\xc3\xa9.html", "caf\xc3\xa9.vrn") +
             rule("$(prefix)it/caf\xc3\xa9.html", "caf\xc3\xa9.vrn.it", " -p -D_LANG=it "),
         rule("$(prefix)a-b_c+d,e@f.html", "a-b_c+d,e@f.vrn") +
             rule("$(prefix)it/a-b_c+d,e@f.html", "a-b_c+d,e@f.vrn", " -p -D_LANG=it -D_REVERT ")}));
}

} // namespace
