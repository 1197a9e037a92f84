#include "diag/reporter.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

// Each test works on a fresh reporter of its own.
class ReporterTest : public ::testing::Test {
protected:
    Reporter r;
};

TEST_F(ReporterTest, FreshReporterActsLikeNormal) {
    r.set_program_name("vorn-tovik");
    EXPECT_EQ(ts::capture([&] { r.info("hello"); }), (ts::Reported{"vorn-tovik: info: hello\n", -1}));
    EXPECT_EQ(ts::capture([&] { r.verbose_info("hidden"); }).err, "");
    EXPECT_EQ(ts::capture([&] { r.warning("w"); }), (ts::Reported{"vorn-tovik: warning: w\n", -1}));
    EXPECT_EQ(ts::capture([&] { r.error("e"); }), (ts::Reported{"vorn-tovik: e\n", 1}));
    EXPECT_EQ(ts::capture([&] { r.fatal("f"); }), (ts::Reported{"vorn-tovik: fatal: f\n", 1}));
}

TEST_F(ReporterTest, WithoutProgramNameOrFileNothingStandsFirst) {
    EXPECT_EQ(ts::capture([&] { r.info("x"); }).err, "info: x\n");
}

TEST_F(ReporterTest, VerbosityAndPolicyTable) {
    struct Case {
        Verbosity v;
        Policy p;
        const char* op;
        const char* printed;
        int status;
    };
    const Case cases[] = {
        {Verbosity::quiet, Policy::normal, "info", "", -1},
        {Verbosity::quiet, Policy::normal, "warning", "", -1},
        {Verbosity::quiet, Policy::normal, "error", "", 1},
        {Verbosity::quiet, Policy::normal, "fatal", "", 1},
        {Verbosity::quiet, Policy::ignore_errors, "error", "", -1},
        {Verbosity::verbose, Policy::normal, "verbose_info", "p: info: t\n", -1},
        {Verbosity::normal, Policy::normal, "verbose_info", "", -1},
        {Verbosity::normal, Policy::fatal_warnings, "warning", "p: warning: t\n", 1},
        {Verbosity::normal, Policy::ignore_errors, "error", "p: t\n", -1},
        {Verbosity::normal, Policy::ignore_errors, "fatal", "p: fatal: t\n", 1},
        {Verbosity::normal, Policy::fatal_warnings, "error", "p: t\n", 1},
    };
    for (const auto& c : cases) {
        r = Reporter();
        r.set_program_name("p");
        r.set_verbosity(c.v);
        r.set_policy(c.p);
        auto got = ts::capture([&] {
            std::string op = c.op;
            if (op == "info")
                r.info("t");
            else if (op == "verbose_info")
                r.verbose_info("t");
            else if (op == "warning")
                r.warning("t");
            else if (op == "error")
                r.error("t");
            else
                r.fatal("t");
        });
        EXPECT_EQ(got.err, c.printed) << c.op;
        EXPECT_EQ(got.status, c.status) << c.op;
    }
}

TEST_F(ReporterTest, BriefTextReplacesFullTextWhenNotEmpty) {
    r.set_program_name("p");
    r.set_brief();
    EXPECT_EQ(ts::capture([&] { r.warning("variable `x' not defined", "x not def"); }).err,
              "p: warning: x not def\n");
    EXPECT_EQ(ts::capture([&] { r.warning("full only", ""); }).err, "p: warning: full only\n");
}

TEST_F(ReporterTest, FileLineAndErrorAdjustment) {
    r.set_program_name("vorn-tovik");
    r.set_policy(Policy::ignore_errors);
    r.set_file("sub/page.vrn");
    r.add_lines(11);
    EXPECT_EQ(ts::capture([&] { r.error("array index must be an integer"); }).err,
              "sub/page.vrn:12: array index must be an integer\n");
    r.add_lines(-2);
    EXPECT_EQ(ts::capture([&] { r.error_at(2, "syntax error"); }).err, "sub/page.vrn:8: syntax error\n");
}

TEST_F(ReporterTest, IncludeChainOfOneAndOfThree) {
    r.set_program_name("vorn-tovik");
    r.set_file("sub/page.vrn");
    r.add_lines(6);
    r.save_location();
    r.set_file("inc/head.vrn");
    r.add_lines(3);
    EXPECT_EQ(ts::capture([&] { r.warning("variable `x' not defined", "x not def"); }).err,
              "In file included from sub/page.vrn:7:\n"
              "sub/inc/head.vrn:4: warning: variable `x' not defined\n");
    r = Reporter();
    r.set_file("a.vrn");
    r.add_lines(2);
    r.save_location();
    r.set_file("b.vrn");
    r.add_lines(8);
    r.save_location();
    r.set_file("c.vrn");
    r.add_lines(1);
    r.save_location();
    r.set_file("d.vrn");
    r.add_lines(4);
    EXPECT_EQ(ts::capture([&] { r.fatal("N_dep::deps () -- Internal Error"); }),
              (ts::Reported{"In file included from a.vrn:3,\n"
                            "                 from b.vrn:9,\n"
                            "                 from c.vrn:2:\n"
                            "d.vrn:5: fatal: N_dep::deps () -- Internal Error\n",
                            1}));
    r.restore_location();
    EXPECT_EQ(r.scan_location().file, "c.vrn");
    EXPECT_EQ(r.scan_location().line, 2);
}

TEST_F(ReporterTest, ErrnoTextsAppendedToBothForms) {
    r.set_program_name("p");
    errno = ENOENT;
    std::string sys = std::strerror(ENOENT);
    EXPECT_EQ(ts::capture([&] { r.fatal_errno("can't change directory to site/", "site/"); }),
              (ts::Reported{"p: fatal: can't change directory to site/; " + sys + "\n", 1}));
    r.set_brief();
    errno = ENOENT;
    EXPECT_EQ(ts::capture([&] { r.fatal_errno("can't change directory to site/", "site/"); }).err,
              "p: fatal: site/; " + sys + "\n");
    errno = ENOENT;
    EXPECT_EQ(ts::capture([&] { r.fatal_errno("Can't get current dir", ""); }).err,
              "p: fatal: ; " + sys + "\n");
}

TEST_F(ReporterTest, ExecutionLocationUsedWhileExecuting) {
    r.set_program_name("p");
    r.set_file("scan.vrn");
    Src_name n{"dir/", "run.vrn"};
    r.set_exec_location(&n, 9);
    r.set_executing(true);
    EXPECT_EQ(ts::capture([&] { r.warning("w"); }).err, "dir/run.vrn:9: warning: w\n");
    r.set_executing(false);
    EXPECT_EQ(ts::capture([&] { r.warning("w"); }).err, "scan.vrn:1: warning: w\n");
}

TEST_F(ReporterTest, ClearedScanLocationFallsBackToProgramName) {
    r.set_program_name("vorn-tovik");
    r.set_file("x/index.vrn");
    r.clear_scan_location();
    EXPECT_EQ(ts::capture([&] { r.info("No source file found .. creating empty makefile"); }).err,
              "vorn-tovik: info: No source file found .. creating empty makefile\n");
}

// Bytes above 127 are printed as they are; control bytes are shown, so that no text (a file name) can
// make a line of its own.
TEST_F(ReporterTest, AnyTextIsPrintedAsBytesControlBytesVisibly) {
    const std::pair<std::string, std::string> rows[] = {
        {std::string("\x00\xff\xc3\xa9 end", 8), "\\0\xff\xc3\xa9 end"},
        {"a\nb\r\nc\td\x1b[1m\x7f\\n", "a\\nb\\r\\nc\\td\\x1b[1m\\x7f\\n"},
        {std::string(100000, 'x'), std::string(100000, 'x')},
        {"", ""},
    };
    for (const auto& [text, shown] : rows)
        EXPECT_EQ(ts::capture([&] { r.warning(text); }).err, "warning: " + shown + "\n");
    r.set_program_name("p\n");
    EXPECT_EQ(ts::capture([&] { r.info("x"); }).err, "p\\n: info: x\n");
    r.set_file("d\r/in\nc.vrn");
    r.save_location();
    r.set_file("x\ty.vrn");
    EXPECT_EQ(ts::capture([&] { r.warning("w"); }).err,
              "In file included from d\\r/in\\nc.vrn:1:\nd\\r/x\\ty.vrn:1: warning: w\n");
}

TEST_F(ReporterTest, SetFileJoinsDirectoriesOfNestedFiles) {
    r.set_file("sub/page.vrn");
    r.save_location();
    r.set_file("../inc/h.vrn");
    EXPECT_EQ(r.scan_location().dir, "inc/");
    EXPECT_EQ(r.scan_location().file, "h.vrn");
    r.count_lines(std::string("a\nb\n\n"));
    EXPECT_EQ(r.scan_location().line, 4);
    const Src_name* n1 = r.scan_name();
    EXPECT_EQ(n1->dir, "inc/");
    r.restore_location();
    const Src_name* n2 = r.scan_name();
    EXPECT_EQ(n2->dir, "sub/");
    EXPECT_EQ(n2->file, "page.vrn");
    r.save_location();
    r.set_file("../inc/h.vrn");
    EXPECT_EQ(r.scan_name(), n1); // interned once
}

} // namespace
