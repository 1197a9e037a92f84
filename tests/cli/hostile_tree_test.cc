// Trees that try to trip the walk up: symbolic links back up the walk, a tree ten thousand levels deep,
// directories standing where files are expected, a root directory that normalises to nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/site.h"

namespace {

std::string rule(const std::string& output, const std::string& source, const std::string& deps = "") {
    return output + ":\t" + source + deps + "\n\tvorn $(__vorn_OPTS) $(main_OPTS) " + source + " " + output +
           "\n\n";
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1))
        ++n;
    return n;
}

// A link to the directory itself, to its parent, to the site's top: each is reported once, by the name the
// makefile would give it, and skipped; the sources beside it keep their rules.
TEST(HostileTree, LinksBackUpTheWalk) {
    const struct {
        const char* link;
        const char* target;
    } cases[] = {{"a/self", "."}, {"a/b/up", ".."}, {"a/b/top", "../.."}, {"round", "."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        ts::Site site;
        site.write("index.vrn", "x\n");
        site.write("a/b/page.vrn", "x\n");
        ASSERT_EQ(symlink(c.target, site.path(c.link).c_str()), 0);
        const std::string link = c.link;

        auto r = site.tovik();
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "vorn-tovik: directory " + link +
                             " is a symbolic link back to a directory being scanned; skipped\n");
        EXPECT_FALSE(site.has("Makefile"));

        r = site.tovik({"-i", "-b"});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "vorn-tovik: " + link + ": link loop\n");
        const std::string text = site.read("Makefile");
        EXPECT_EQ(count(text, "\tvorn "), 2u) << text;
        EXPECT_NE(text.find(rule("$(prefix)a/b/page.html", "a/b/page.vrn")), std::string::npos) << text;
    }
}

// Ten thousand levels: far beyond what the system names in one path and what one process may hold open.
// The deepest source includes a file one level up; its rule names it, and the walk still comes back.
TEST(HostileTree, TenThousandLevels) {
    ts::Site site;
    // Deeper than the path limit: only rm takes it down.
    struct Cleanup {
        std::string dir;
        ~Cleanup() { ts::sh("rm -rf d", dir); }
    } cleanup{site.dir};
    site.write("index.vrn", "x\n");
    const int levels = 10000;
    int fd = open(site.dir.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    std::string path;
    for (int i = 0; i < levels; ++i) {
        ASSERT_EQ(mkdirat(fd, "d", 0755), 0);
        int below = openat(fd, "d", O_RDONLY | O_DIRECTORY);
        close(fd);
        ASSERT_GE(below, 0);
        fd = below;
        path += "d/";
        if (i == levels - 2) {
            int inc = openat(fd, "up.inc", O_WRONLY | O_CREAT, 0644);
            ASSERT_EQ(write(inc, "a = 1;", 6), 6);
            close(inc);
        }
    }
    const std::string source = "<vorn>include(\"../up.inc\");</vorn>\n";
    int src = openat(fd, "deep.vrn", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(write(src, source.data(), source.size()), static_cast<ssize_t>(source.size()));
    close(src);
    close(fd);

    auto r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string text = site.read("Makefile");
    const std::string above = path.substr(0, path.size() - 2);
    EXPECT_NE(
        text.find(rule("$(prefix)" + path + "deep.html", path + "deep.vrn", " \\\n\t" + above + "up.inc")),
        std::string::npos);
    EXPECT_NE(site.read("Makefile.sources").find(path + "deep.vrn\n" + path + "deep.vrn~\n"),
              std::string::npos);
}

// A directory where a file is expected opens but cannot be read: it is refused like a file that does not
// open, and the error policy decides.
TEST(HostileTree, DirectoriesWhereFilesAreExpected) {
    ts::Site site;
    ts::make_dirs(site.path("Makefile.vt"));
    ts::make_dirs(site.path("inc"));
    site.write("index.vrn", "<vorn>include(\"inc\");</vorn>\n");

    auto r = site.tovik({"-i"});
    EXPECT_EQ(r.status, 0);
    const std::string include_error = "In file included from index.vrn:1:\n"
                                      "index.vrn:1: can't open file inc; Is a directory\n";
    EXPECT_EQ(r.err, "vorn-tovik: can't open template file Makefile.vt; Is a directory\n" + include_error);
    r = site.tovik();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn-tovik: can't open template file Makefile.vt; Is a directory\n");

    r = ts::run_vorn(site.dir, {"-i", "index.vrn", "-"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, include_error);
    r = ts::run_vorn(site.dir, {"inc", "-"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn: fatal: can't open file inc; Is a directory\n");
}

// A FIFO or a device where a source, an included or copied file or a marker is expected: nothing is read from
// it and neither program waits on it.  A source is skipped with a warning, an inclusion is an error.
TEST(HostileTree, FilesThatAreNoRegularFiles) {
    ts::Site site;
    site.write("index.vrn", "<vorn>include(\"inc/part.inc\");</vorn>\n");
    site.write("copy.vrn", "<vorn>verbatim(\"inc/part.inc\");</vorn>\n");
    site.write("sub/page.vrn", "x\n");
    ts::make_dirs(site.path("inc"));
    for (const char* fifo : {"inc/part.inc", "fifo.vrn", "sub/notovik"})
        ASSERT_EQ(mkfifo(site.path(fifo).c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", site.path("zero.vrn").c_str()), 0);
    const std::string include_error = "In file included from index.vrn:1:\n"
                                      "index.vrn:1: can't open file inc/part.inc; not a regular file\n";

    auto r = ts::run_within(20, TOVIK_BIN, site.dir, {"-i"});
    EXPECT_EQ(r.status, 0);
    // In the order of the directory listing.
    std::vector<std::string> lines = ts::lines_of(r.err);
    std::vector<std::string> expected =
        ts::lines_of(include_error + "vorn-tovik: warning: source fifo.vrn is not a regular file; skipped\n"
                                     "vorn-tovik: warning: source zero.vrn is not a regular file; skipped\n");
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
    const std::string text = site.read("Makefile");
    EXPECT_EQ(count(text, "\tvorn "), 3u) << text;
    EXPECT_NE(text.find(rule("$(prefix)sub/page.html", "sub/page.vrn")), std::string::npos) << text;

    r = ts::run_within(20, VORN_BIN, site.dir, {"fifo.vrn", "-"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn: fatal: can't open file fifo.vrn; not a regular file\n");
    r = ts::run_within(20, VORN_BIN, site.dir, {"-i", "index.vrn", "-"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, include_error);
    r = ts::run_within(20, VORN_BIN, site.dir, {"-i", "copy.vrn", "-"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "copy.vrn:1: can't open file " + site.dir + "/inc/part.inc; not a regular file\n");
}

// A file that an included file cannot include is named as seen from the run directory, so that the message
// says where it was looked for.
TEST(HostileTree, MissingIncludedFileNamesTheDirectoryItWasLookedFor) {
    ts::Site site;
    site.write("sub/page.vrn", "<vorn>include(\"../lib/a.vrn\");</vorn>\n");
    site.write("lib/a.vrn", "include(\"b.vrn\");\n");
    const std::string error = "In file included from sub/page.vrn:1,\n"
                              "                 from lib/a.vrn:1:\n"
                              "lib/a.vrn:1: can't open file lib/b.vrn; No such file or directory\n";
    auto r = site.tovik();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, error);
    r = ts::run_vorn(site.dir, {"sub/page.vrn", "-"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, error);
}

// A root directory that normalises to nothing is the current directory.
TEST(HostileTree, RootDirectoryThatNormalisesToNothing) {
    ts::Site site;
    site.write("index.vrn", "x\n");
    site.write("web/page.vrn", "x\n");
    ASSERT_EQ(site.tovik().status, 0);
    const std::string plain = site.read("Makefile");
    const std::string list = site.read("Makefile.sources");
    for (const char* root : {"web/..", "web/../", "./web/.."}) {
        SCOPED_TRACE(root);
        ts::remove_tree(site.path("Makefile"));
        ts::remove_tree(site.path("Makefile.sources"));
        auto r = site.tovik({std::string("--root-dir=") + root});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(site.read("Makefile"), plain);
        EXPECT_EQ(site.read("Makefile.sources"), list);
    }
}

} // namespace
