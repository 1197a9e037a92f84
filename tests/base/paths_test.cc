#include "base/paths.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

struct Norm_case {
    const char* in;
    const char* out;
};

TEST(NormalizePath, TableWithLeadingDotDropped) {
    const Norm_case cases[] = {
        {"./index.vrn", "index.vrn"},
        {"./", ""},
        {"./sub/./a/../page.", "sub/page."},
        {"../x/y", "../x/y"},
        {"a/../../b", "../b"},
        {"/a/../b", "/b"},
        {"$(prefix)sub/page.", "$(prefix)sub/page."},
        {"x//y", "x//y"},
        {"a/b/", "a/b/"},
        {"a/.", "a/."},
        {"../../x", "../../x"},
        {"/../a", "/../a"},
        {"/home/u/site/./", "/home/u/site/"},
        {"", ""},
        {"/", "/"},
        {"plain", "plain"},
        {"a/..", "a/.."},
        {"a/b/../../c/", "c/"},
        {"./a/./b/../../..", ".."},
        {"sub/../../../x", "../../x"},
        {"/x/../../y/z", "/../y/z"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalize_path(c.in, true), c.out) << "input: " << c.in;
}

// A doubled "/" names no directory: a ".." does not take it back, and a relative path never comes out
// absolute (found by fuzzing: "a/..//b" gave "/b").
TEST(NormalizePath, DoubledSlashes) {
    const Norm_case cases[] = {
        {"a/..//b", "b"},      {".//b", "b"},          {"x/../..//y", "..//y"}, {"a//../b", "b"},
        {"a/b//../../c", "c"}, {"a//b/../c", "a//c"},  {"/x/..//b", "//b"},     {"//b", "//b"},
        {"a//./b", "a//b"},    {"a/..//../b", "../b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(normalize_path(c.in, true), c.out) << "input: " << c.in;
    EXPECT_EQ(normalize_path(".//b", false), ".//b");
    EXPECT_EQ(normalize_path("./a/..//b", false), ".//b");
}

TEST(NormalizePath, LeadingDotKeptWhenAsked) {
    EXPECT_EQ(normalize_path("./a/../b", false), "./b");
    EXPECT_EQ(normalize_path("./a/b", false), "./a/b");
    EXPECT_EQ(normalize_path("/./a/../b", false), "/./b");
    EXPECT_EQ(normalize_path("a/./b", false), "a/b");
    EXPECT_EQ(normalize_path("./../x/y", false), "./../x/y");
}

TEST(PathParts, SlashDirAndBase) {
    EXPECT_EQ(with_slash("site"), "site/");
    EXPECT_EQ(with_slash("site/"), "site/");
    EXPECT_EQ(with_slash(""), "");
    EXPECT_EQ(dir_part("sub/page.vrn"), "sub/");
    EXPECT_EQ(dir_part("page.vrn"), "");
    EXPECT_EQ(base_name("sub/page.vrn"), "page.vrn");
    EXPECT_EQ(base_name("sub/"), "");
    EXPECT_EQ(base_name("page.vrn"), "page.vrn");
}

// Runs a body inside a directory and returns to where the test started.
class In_dir {
public:
    explicit In_dir(const std::string& dir) : back_(working_dir()) { EXPECT_EQ(chdir(dir.c_str()), 0); }
    ~In_dir() { EXPECT_EQ(chdir(back_.c_str()), 0); }

private:
    std::string back_;
};

TEST(WorkingDir, LongerThanFirstBuffer) {
    ts::Temp_dir tmp;
    std::string deep = tmp.path();
    for (int i = 0; i < 12; ++i)
        deep += "/a-directory-name-of-some-length";
    ts::make_dirs(deep);
    ASSERT_GT(deep.size(), 300u);
    In_dir in(deep);
    char real[8192];
    ASSERT_NE(getcwd(real, sizeof real), nullptr);
    EXPECT_EQ(working_dir(), real);
}

TEST(Depths, PathAndWorkingDirectoryAgree) {
    ts::Temp_dir tmp;
    ts::make_dirs(tmp / "u/site");
    In_dir in(tmp / "u/site");
    std::string wd = working_dir();
    EXPECT_EQ(absolute_path("./"), wd + "/./");
    EXPECT_EQ(normalize_path(absolute_path("./"), true), wd + "/");
    EXPECT_EQ(absolute_path("/etc/x"), "/etc/x");
    EXPECT_EQ(path_depth("./"), cwd_depth());
    EXPECT_EQ(path_depth("a/b/page.html"), cwd_depth() + 2);
    EXPECT_EQ(path_depth("../x.html"), cwd_depth() - 1);
}

TEST(EnterDirPart, ChangesOnlyWhenThereIsADirectory) {
    ts::Temp_dir tmp;
    ts::make_dirs(tmp / "sub");
    In_dir in(tmp.path());
    std::string start = working_dir();
    EXPECT_FALSE(enter_dir_part("file.vrn"));
    EXPECT_EQ(working_dir(), start);
    EXPECT_TRUE(enter_dir_part("missing/file.vrn"));
    EXPECT_EQ(working_dir(), start);
    EXPECT_FALSE(enter_dir_part("sub/file.vrn"));
    EXPECT_EQ(working_dir(), start + "/sub");
}

TEST(CanRead, ExistingAndMissing) {
    ts::Temp_dir tmp;
    ts::write_file(tmp / "f", "x");
    EXPECT_TRUE(can_read(tmp / "f"));
    EXPECT_FALSE(can_read(tmp / "g"));
}

} // namespace
