#include "base/paths.h"

#include <gtest/gtest.h>

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

} // namespace
