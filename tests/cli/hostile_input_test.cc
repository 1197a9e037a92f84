// Sources far beyond any real page: a million statements, terms or elements, a 100 MB line, a literal that
// never ends, nesting as deep as the parser takes.  Both programs get through them without running out of
// stack, and in linear time (ctest's timeout catches a quadratic path).
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/site.h"

namespace {

std::string repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

const std::string page_rule = "$(prefix)page.html:\tpage.vrn";

struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;
    std::string page; // what vorn makes of page.vrn
};

void run_case(const Case& c) {
    ts::Site site;
    for (const auto& [name, text] : c.files)
        site.write(name, text);
    auto r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(site.read("Makefile").find(page_rule), std::string::npos);
    r = ts::run_vorn(site.dir, {"page.vrn", "-"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out == c.page) << r.out.substr(0, 200);
}

// Registered (vorn-tovik), evaluated (vorn) and destroyed (both) without recursion as deep as the chain.
// One test per case: each takes a while in a sanitized build.
class MillionFold : public ::testing::TestWithParam<int> {};

TEST_P(MillionFold, Chains) {
    const std::size_t million = ts::huge(1000000);
    const std::string statements = repeat("a=1;", million);
    const Case cases[] = {
        {"statements", {{"page.vrn", "<vorn>" + statements + "echo(a);</vorn>"}}, "1"},
        {"statements of an included file",
         {{"page.vrn", "<vorn>include(\"big.inc\");echo(a);</vorn>"}, {"big.inc", statements}},
         "1"},
        {"terms",
         {{"page.vrn", "<vorn>echo(1" + repeat("+1", million - 1) + ");</vorn>"}},
         std::to_string(million)},
        {"elements",
         {{"page.vrn", "<vorn>echo(length({1" + repeat(",1", million - 1) + "}));</vorn>"}},
         std::to_string(million)},
    };
    const Case& c = cases[GetParam()];
    SCOPED_TRACE(c.name);
    run_case(c);
}

INSTANTIATE_TEST_SUITE_P(HostileInput, MillionFold, ::testing::Range(0, 4));

// Nesting as deep as the parser's stack takes, evaluated, copied, printed and destroyed by recursion: it
// fits the stack, also in a sanitized build.
TEST(HostileInput, NestingAtTheParsersLimit) {
    const std::size_t depth = 9900;
    const Case cases[] = {
        {"operators", {{"page.vrn", "<vorn>echo(" + repeat("!", depth) + "1);</vorn>"}}, "1"},
        {"blocks",
         {{"page.vrn", "<vorn>" + repeat("{", depth) + "echo(2);" + repeat("}", depth) + "</vorn>"}},
         "2"},
        {"conditions", {{"page.vrn", "<vorn>" + repeat("if(1)", depth / 4) + "echo(3);</vorn>"}}, "3"},
        {"arrays",
         {{"page.vrn", "<vorn>a=" + repeat("{", depth) + "1" + repeat("}", depth) +
                           ";b=a;echo(length(b));echo(a);</vorn>"}},
         "1" + repeat("{ ", depth) + "1" + repeat(" }", depth)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run_case(c);
    }
}

// One line of 100 MB, with NUL bytes, bytes above 127 and a CR LF end, is page text like any other; a
// string literal that never ends is no literal, and its quote is reported.
TEST(HostileInput, HundredMegabyteLines) {
    const std::string line =
        repeat(std::string(1021, 't') + std::string("\0\xe9\xff", 3), ts::huge(std::size_t{100} << 10));
    ts::Site site;
    site.write("page.vrn", line + "\r\n<vorn>echo(1);</vorn>\r\n");
    auto r = site.tovik();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(site.read("Makefile").find(page_rule), std::string::npos);
    r = ts::run_vorn(site.dir, {"page.vrn", "-"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out == line + "\r\n1\r\n") << r.out.size();

    site.write("page.vrn", "<vorn>echo(\"" + repeat("x", ts::huge(std::size_t{100} << 20)) + "\n");
    r = site.tovik();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "page.vrn:1: Parse error; unrecognized token \"\n");
    r = ts::run_vorn(site.dir, {"page.vrn", "-"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "page.vrn:1: Parse error; unrecognized token \"\n");
}

} // namespace
