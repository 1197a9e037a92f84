// The engine embeds: the entries of both programs run in the test's own process, sites and runs interleaved,
// a failed run among them, and each run gives exactly what the program gives for the same work.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

#include "support/site.h"
#include "tovik/run.h"
#include "vorn/render.h"

namespace {

// What a run gave: its status, its messages and the files it was asked for.
struct Outcome {
    int status = -1;
    std::string err;
    std::string out;
    std::vector<std::string> files;
    bool operator==(const Outcome& o) const {
        return status == o.status && err == o.err && out == o.out && files == o.files;
    }
    friend std::ostream& operator<<(std::ostream& out, const Outcome& o) {
        out << "status " << o.status << ", err \"" << o.err << "\", out \"" << o.out << "\"";
        for (const std::string& f : o.files)
            out << ", file \"" << f << "\"";
        return out;
    }
};

std::vector<std::string> take_files(const ts::Site& site, const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const std::string& name : names) {
        out.push_back(site.has(name) ? site.read(name) : "(none)");
        unlink(site.path(name).c_str());
    }
    return out;
}

// The program itself, run in the site.
Outcome by_program(const ts::Site& site, bool tovik, const std::vector<std::string>& args,
                   const std::vector<std::string>& files) {
    const ts::Run_result r = tovik ? site.tovik(args) : ts::run_vorn(site.dir, args);
    return Outcome{r.status, r.err, r.out, take_files(site, files)};
}

// The program's entry, called in this process in the site.
Outcome in_process(const ts::Site& site, bool tovik, std::vector<std::string> args,
                   const std::vector<std::string>& files) {
    args.insert(args.begin(), tovik ? "vorn-tovik" : "vorn");
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    char here[4096];
    EXPECT_NE(getcwd(here, sizeof here), nullptr);
    EXPECT_EQ(chdir(site.dir.c_str()), 0);
    Outcome o;
    int returned = -1;
    {
        ts::Stdout_capture out;
        const ts::Reported r = ts::capture(
            [&] { returned = (tovik ? tovik_main : vorn_main)(static_cast<int>(args.size()), argv.data()); });
        o.status = r.status != -1 ? r.status : returned;
        o.err = r.err;
        o.out = out.text();
    }
    EXPECT_EQ(chdir(here), 0);
    o.files = take_files(site, files);
    return o;
}

struct Two_sites : ::testing::Test {
    ts::Site a, b;
    Two_sites() {
        a.write("inc/head.inc", "<vorn>title = \"A: \" + name; echo(\"<h1>\" + title + \"</h1>\");</vorn>\n");
        a.write("one.vrn", "<vorn>name = \"one\"; include(\"inc/head.inc\");\nraisewarning(\"careful\", "
                           "\"c!\");</vorn>\ntext one\n");
        a.write("two.vrn", "<vorn>include(\"inc/fail.inc\");</vorn>\n");
        a.write("inc/fail.inc", "<vorn>echo(\"x\");\nraiseerror(\"broken\", \"b\"); echo(\"y\");</vorn>\n");
        a.write("three.vrn", "<vorn>name = \"three\"; include(\"inc/head.inc\");</vorn>\n");
        b.write("sub/p.vrn",
                "<vorn>n = 3; while (n > 0) { echo(n); n = n - 1; } z = {1}; print(z[3]);</vorn>\nbee\n");
        b.write("q.vrn", "<vorn>echo(inputfile() + \" to \" + outputfile());</vorn>\n");
    }
};

// Pages of two sites, one after the other in one process, the first with brief messages and a failure
// inside an included file between them: each page, record and message is what vorn gives for it.
TEST_F(Two_sites, VornPagesInterleaved) {
    struct Page {
        const ts::Site* site;
        std::vector<std::string> args;
        std::vector<std::string> files;
    };
    const std::vector<Page> pages = {
        {&a, {"-b", "--deps", "one.d", "one.vrn", "one.html"}, {"one.html", "one.d"}},
        {&b, {"sub/p.vrn", "sub/p.html"}, {"sub/p.html"}},
        {&a, {"two.vrn", "two.html"}, {"two.html"}},
        {&b, {"-v", "q.vrn", "q.html"}, {"q.html"}},
        {&a, {"-D", "name=x", "three.vrn", "-"}, {}},
        {&b, {"sub/p.vrn", "sub/p.html"}, {"sub/p.html"}},
    };
    std::vector<Outcome> expected;
    for (const Page& p : pages)
        expected.push_back(by_program(*p.site, false, p.args, p.files));
    for (std::size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(in_process(*pages[i].site, false, pages[i].args, pages[i].files), expected[i])
            << "page " << i;
}

// Two dependency scans of two sites in one process, a failed scan between them: each makefile and .sources
// is what vorn-tovik writes for the site.
TEST_F(Two_sites, TovikScansInterleaved) {
    ts::Site c;
    c.write("page.vrn", "<vorn>include(\"loop.inc\");</vorn>\n");
    c.write("loop.inc", "<vorn>include(\"loop.inc\");</vorn>\n");
    const std::vector<std::string> files = {"Makefile", "Makefile.sources"};
    const Outcome want_a = by_program(a, true, {"-b"}, files);
    const Outcome want_b = by_program(b, true, {"--fast"}, files);
    const Outcome want_c = by_program(c, true, {}, files);
    const ts::Site empty;
    const Outcome want_empty = by_program(empty, true, {}, files);
    EXPECT_NE(want_a.files[0], "(none)");
    EXPECT_EQ(want_c.status, 1);
    EXPECT_EQ(in_process(a, true, {"-b"}, files), want_a);
    EXPECT_EQ(in_process(c, true, {}, files), want_c);
    EXPECT_EQ(in_process(empty, true, {}, files), want_empty);
    EXPECT_EQ(in_process(b, true, {"--fast"}, files), want_b);
    EXPECT_EQ(in_process(a, true, {"-b"}, files), want_a);
}

} // namespace
