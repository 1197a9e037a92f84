#include "diag/reporter.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

// Each test works on the process-wide reporter, reset before and after.
class ReporterTest : public ::testing::Test {
protected:
    void SetUp() override { reporter().reset(); }
    void TearDown() override { reporter().reset(); }
    Reporter& r = reporter();
};

// Runs a report, returning what it printed and the status it ended the process with (-1: it did not).
template <class F> std::pair<std::string, int> report(F f) {
    ts::Exit_trap trap;
    ts::Stderr_capture cap;
    int status = -1;
    try {
        f();
    } catch (const ts::Process_ended& e) {
        status = e.status;
    }
    return {cap.text(), status};
}

TEST_F(ReporterTest, FreshReporterActsLikeNormal) {
    r.set_program_name("vorn-tovik");
    EXPECT_EQ(report([&] { r.info("hello"); }), std::make_pair(std::string("vorn-tovik: info: hello\n"), -1));
    EXPECT_EQ(report([&] { r.verbose_info("hidden"); }).first, "");
    EXPECT_EQ(report([&] { r.warning("w"); }), std::make_pair(std::string("vorn-tovik: warning: w\n"), -1));
    EXPECT_EQ(report([&] { r.error("e"); }), std::make_pair(std::string("vorn-tovik: e\n"), 1));
    EXPECT_EQ(report([&] { r.fatal("f"); }), std::make_pair(std::string("vorn-tovik: fatal: f\n"), 1));
}

TEST_F(ReporterTest, WithoutProgramNameOrFileNothingStandsFirst) {
    EXPECT_EQ(report([&] { r.info("x"); }).first, "info: x\n");
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
        r.reset();
        r.set_program_name("p");
        r.set_verbosity(c.v);
        r.set_policy(c.p);
        auto got = report([&] {
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
        EXPECT_EQ(got.first, c.printed) << c.op;
        EXPECT_EQ(got.second, c.status) << c.op;
    }
}

TEST_F(ReporterTest, BriefTextReplacesFullTextWhenNotEmpty) {
    r.set_program_name("p");
    r.set_brief();
    EXPECT_EQ(report([&] { r.warning("variable `x' not defined", "x not def"); }).first,
              "p: warning: x not def\n");
    EXPECT_EQ(report([&] { r.warning("full only", ""); }).first, "p: warning: full only\n");
}

TEST_F(ReporterTest, FileLineAndErrorAdjustment) {
    r.set_program_name("vorn-tovik");
    r.set_policy(Policy::ignore_errors);
    r.set_file("sub/page.vrn");
    r.add_lines(11);
    EXPECT_EQ(report([&] { r.error("array index must be an integer"); }).first,
              "sub/page.vrn:12: array index must be an integer\n");
    r.add_lines(-2);
    EXPECT_EQ(report([&] { r.error_at(2, "syntax error"); }).first, "sub/page.vrn:8: syntax error\n");
}

TEST_F(ReporterTest, IncludeChainOfOneAndOfThree) {
    r.set_program_name("vorn-tovik");
    r.set_file("sub/page.vrn");
    r.add_lines(6);
    r.save_location();
    r.set_file("inc/head.vrn");
    r.add_lines(3);
    EXPECT_EQ(report([&] { r.warning("variable `x' not defined", "x not def"); }).first,
              "In file included from sub/page.vrn:7:\n"
              "sub/inc/head.vrn:4: warning: variable `x' not defined\n");
    r.reset();
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
    EXPECT_EQ(report([&] { r.fatal("N_dep::deps () -- Internal Error"); }),
              std::make_pair(std::string("In file included from a.vrn:3,\n"
                                         "                 from b.vrn:9,\n"
                                         "                 from c.vrn:2:\n"
                                         "d.vrn:5: fatal: N_dep::deps () -- Internal Error\n"),
                             1));
    r.restore_location();
    EXPECT_EQ(r.scan_location().file, "c.vrn");
    EXPECT_EQ(r.scan_location().line, 2);
}

TEST_F(ReporterTest, ErrnoTextsAppendedToBothForms) {
    r.set_program_name("p");
    errno = ENOENT;
    std::string sys = std::strerror(ENOENT);
    EXPECT_EQ(report([&] { r.fatal_errno("can't change directory to site/", "site/"); }),
              std::make_pair("p: fatal: can't change directory to site/; " + sys + "\n", 1));
    r.set_brief();
    errno = ENOENT;
    EXPECT_EQ(report([&] { r.fatal_errno("can't change directory to site/", "site/"); }).first,
              "p: fatal: site/; " + sys + "\n");
    errno = ENOENT;
    EXPECT_EQ(report([&] { r.fatal_errno("Can't get current dir", ""); }).first, "p: fatal: ; " + sys + "\n");
}

TEST_F(ReporterTest, ExecutionLocationUsedWhileExecuting) {
    r.set_program_name("p");
    r.set_file("scan.vrn");
    Src_name n{"dir/", "run.vrn"};
    r.set_exec_location(&n, 9);
    r.set_executing(true);
    EXPECT_EQ(report([&] { r.warning("w"); }).first, "dir/run.vrn:9: warning: w\n");
    r.set_executing(false);
    EXPECT_EQ(report([&] { r.warning("w"); }).first, "scan.vrn:1: warning: w\n");
}

TEST_F(ReporterTest, ClearedScanLocationFallsBackToProgramName) {
    r.set_program_name("vorn-tovik");
    r.set_file("x/index.vrn");
    r.clear_scan_location();
    EXPECT_EQ(report([&] { r.info("No source file found .. creating empty makefile"); }).first,
              "vorn-tovik: info: No source file found .. creating empty makefile\n");
}

TEST_F(ReporterTest, AnyTextIsPrintedAsBytes) {
    std::string odd("\x00\xff\xc3\xa9 end", 8);
    std::string longtext(100000, 'x');
    EXPECT_EQ(report([&] { r.warning(odd); }).first, "warning: " + odd + "\n");
    EXPECT_EQ(report([&] { r.warning(longtext); }).first, "warning: " + longtext + "\n");
    EXPECT_EQ(report([&] { r.warning(""); }).first, "warning: \n");
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
