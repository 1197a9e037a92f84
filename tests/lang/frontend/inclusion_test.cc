#include <dirent.h>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "front_test_support.h"
#include "grammar.h"
#include "lang/eval/dependency_collector.h"
#include "lang/frontend/parser.h"
#include "lang/frontend/scanner.h"
#include "support/test_support.h"
#include "tovik/makefile_writer.h"

namespace {

int open_fds() {
    int n = 0;
    if (DIR* d = opendir("/proc/self/fd")) {
        while (readdir(d))
            ++n;
        closedir(d);
    }
    return n;
}

// Each test works in a fresh directory, with the sources written there.
class InclusionTest : public ft::Front_test {
protected:
    InclusionTest() : cd_(dir_.path()), home_(ft::cwd()), fds_(open_fds()) {}
    void SetUp() override {
        Front_test::SetUp();
        deps_.set_directory("main.vrn");
        use(&deps_);
    }
    void write(const std::string& name, const std::string& text) { ts::write_file(dir_ / name, text); }
    ft::Outcome parse_main(const std::string& text) {
        write("main.vrn", text);
        rep = Reporter();
        rep.set_file("main.vrn");
        return ft::parse_path(parser, "main.vrn");
    }
    // Whatever way a parse ended, nothing of it is left over.
    void expect_clean() {
        EXPECT_EQ(ft::cwd(), home_);
        EXPECT_EQ(parser.includes.depth(), 0);
        EXPECT_EQ(rep.include_depth(), 0u);
        EXPECT_EQ(parser.values.live_count(), 0u);
        EXPECT_EQ(open_fds(), fds_);
    }
    std::set<std::string> dependencies(std::initializer_list<const char*> names) {
        return std::set<std::string>(names.begin(), names.end());
    }
    // The collector's dependencies, as the makefile names them.
    std::set<std::string> found() const {
        const std::vector<std::string> names = prerequisite_names(deps_);
        return std::set<std::string>(names.begin(), names.end());
    }

    ts::Temp_dir dir_;
    ft::Cwd cd_;
    std::string home_;
    int fds_;
    Dependency_collector deps_{rep, "html"};
    ft::Keep_context keep_{rep};
};

TEST_F(InclusionTest, IncludedFileIsReadInPlace) {
    keep_.exec = true;
    use(&keep_);
    write("a.vrn", "y;");
    ft::Outcome o = parse_main("<vorn>include(\"a.vrn\"); x;</vorn>");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "");
    // The inclusion starts before the token after its ";" is read: x follows the included block.
    EXPECT_EQ(ft::dump_all(keep_), "N_stmt(N_stmt(N_include(\"a.vrn\"), y), N_eof) | x | N_end");
    expect_clean();
}

TEST_F(InclusionTest, IncludedFileContinuesTheIncludingMode) {
    keep_.exec = true;
    use(&keep_);
    write("b.vrn", "</vorn>B<vorn>");
    write("a.vrn", "x; include('b.vrn', 1, 2);");
    ft::Outcome o = parse_main("a<vorn>include('a.vrn');</vorn>c");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(keep_.text(), "aBc");
    EXPECT_EQ(ft::dump_all(keep_), "N_stmt(N_stmt(N_stmt(N_include(\"a.vrn\"), x), "
                                   "N_stmt(N_stmt(N_arg_include(\"b.vrn\"), N_end), N_eof)), N_eof) | N_end");
    expect_clean();
}

TEST_F(InclusionTest, LineCommentMayEndAnIncludedFile) {
    keep_.exec = true;
    use(&keep_);
    write("a.vrn", "x; // the end");
    ft::Outcome o = parse_main("<vorn>include('a.vrn'); y;</vorn>");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(ft::dump_all(keep_), "N_stmt(N_stmt(N_include(\"a.vrn\"), x), N_eof) | y | N_end");
}

TEST_F(InclusionTest, DependenciesFollowTheIncludedFilesDirectories) {
    ts::make_dirs(dir_ / "sub");
    write("sub/a.vrn", "include('b.vrn');\nverbatim(\"../top.txt\"); // __DEP__ dep.txt\n");
    write("sub/b.vrn", "x;");
    ft::Outcome o = parse_main("<vorn>\ninclude(\"sub/a.vrn\");\nfsize('logo.png', '');\n</vorn>");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(found(), dependencies({"sub/a.vrn", "sub/b.vrn", "top.txt", "sub/dep.txt", "logo.png"}));
    EXPECT_EQ(deps_.current_dir(), "");
    deps_.on_marker(Marker::no_output, ""); // no longer in the main file only
    EXPECT_FALSE(deps_.take_no_output());
    expect_clean();
}

TEST_F(InclusionTest, UnusedArgumentStillRecordsItsDependency) {
    ft::Outcome o = parse_main("<vorn>findlastnotof(a, b, fsize('x.png', ''));</vorn>");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(found(), dependencies({"x.png"}));
}

TEST_F(InclusionTest, MessagesNameTheIncludeChain) {
    ts::make_dirs(dir_ / "sub");
    write("sub/b.vrn", "\n\ninclude('c.vrn');");
    write("sub/c.vrn", "include('d.vrn');");
    write("sub/d.vrn", "x;\n#");
    ft::Outcome o = parse_main("<vorn>\ninclude('sub/b.vrn');\n</vorn>");
    EXPECT_EQ(o.exit, 1);
    EXPECT_EQ(o.err, "In file included from main.vrn:2,\n"
                     "                 from sub/b.vrn:3,\n"
                     "                 from sub/c.vrn:1:\n"
                     "sub/d.vrn:2: Parse error; unrecognized token #\n");
    expect_clean();
}

TEST_F(InclusionTest, AbandonedParseLeavesNoIncludedFileOpen) {
    rep.set_policy(Policy::ignore_errors);
    ts::make_dirs(dir_ / "sub/deeper");
    write("sub/a.vrn", "include('deeper/b.vrn');");
    write("sub/deeper/b.vrn", "<vorn> x y;");
    write("main.vrn", "<vorn>\ninclude('sub/a.vrn');</vorn>");
    rep.set_file("main.vrn");
    ft::Outcome o = ft::parse_path(parser, "main.vrn");
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(o.err, "In file included from main.vrn:2,\n"
                     "                 from sub/a.vrn:1:\n"
                     "sub/deeper/b.vrn:1: syntax error before `y'\n");
    expect_clean();
    EXPECT_EQ(rep.scan_location().file, "main.vrn");
    EXPECT_EQ(parser.scanner.nested_tags.size(), 1u);
    // The next source starts from nothing.
    deps_.end_source();
    deps_.set_directory("other.vrn");
    write("other.vrn", "<vorn>include('sub/deeper/c.vrn');</vorn>");
    write("sub/deeper/c.vrn", "fsize('f', '');");
    rep.set_file("other.vrn");
    o = ft::parse_path(parser, "other.vrn");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(found(), dependencies({"sub/deeper/c.vrn", "sub/deeper/f"}));
    expect_clean();
}

TEST_F(InclusionTest, FatalErrorInsideAnIncludedFileFreesEverything) {
    ts::make_dirs(dir_ / "sub");
    write("sub/a.vrn", "x = {1, 2};\nif (x) { verbatim(5); }");
    ft::Outcome o = parse_main("<vorn>{ a; include('sub/a.vrn'); }</vorn>");
    EXPECT_EQ(o.exit, 1);
    EXPECT_EQ(o.err, "In file included from main.vrn:1:\n"
                     "sub/a.vrn:2: fatal: N_dep::deps () -- Internal Error\n");
    expect_clean();
}

// Two scans alive at once keep apart: one left inside an included file while the other parses a source with
// inclusions of its own, each gives what it gives alone.
TEST_F(InclusionTest, TwoScansAliveAtOnceKeepApart) {
    keep_.exec = true;
    use(&keep_);
    write("a.vrn", "y;");
    write("b.vrn", "p q");
    Source_scan other(rep);
    other.work_for(&keep_);
    // Its tokens up to the end of its source, the names of identifiers for them.
    auto tokens = [&other](int count) {
        std::string out;
        for (Scanned_token t; count-- != 0 && (t = next_token(other)).code != 0;)
            out += (t.code == T_IDENT ? t.name : std::string(token_name(t.code))) + " ";
        return out;
    };
    scanner_begin_bytes(other, "<vorn x r />");
    EXPECT_EQ(tokens(1), "x ");
    ASSERT_EQ(push_include(other, "b.vrn"), 0);
    EXPECT_EQ(tokens(1), "p ");

    ft::Outcome o = parse_main("<vorn>include(\"a.vrn\"); w;</vorn>");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(ft::dump_all(keep_), "N_stmt(N_stmt(N_include(\"a.vrn\"), y), N_eof) | w | N_end");

    EXPECT_EQ(tokens(10), "q T_INCLUDE_END '}' r ");
    scanner_finish(other);
    expect_clean();
}

// A name held by a variable that the page sets as it runs has no value here: the inclusion is not followed.
TEST_F(InclusionTest, NameThatIsNoStringIsNotFollowed) {
    ft::Outcome o = parse_main("<vorn>include(x); verbatim('kept.txt');</vorn>");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "main.vrn:1: warning: unable to get dependency\n"
                     "main.vrn:1: warning: variable `x' not defined\n");
    EXPECT_EQ(found(), dependencies({"kept.txt"}));
    expect_clean();
}

// main.vrn includes f1.vrn, which includes f2.vrn, and so on down to f<n>.vrn.
void write_chain(ts::Temp_dir& dir, int n) {
    for (int i = 1; i < n; ++i)
        ts::write_file(dir / ("f" + std::to_string(i) + ".vrn"),
                       "include('f" + std::to_string(i + 1) + ".vrn');");
    ts::write_file(dir / ("f" + std::to_string(n) + ".vrn"), "x;");
}

TEST_F(InclusionTest, HundredNestedInclusionsAreAllowed) {
    write_chain(dir_, 100);
    ft::Outcome o = parse_main("<vorn>include('f1.vrn');</vorn>");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(deps_.dependencies().size(), 100u);
    expect_clean();
}

TEST_F(InclusionTest, HundredAndFirstNestedInclusionIsFatal) {
    write_chain(dir_, 101);
    ft::Outcome o = parse_main("<vorn>include('f1.vrn');</vorn>");
    EXPECT_EQ(o.exit, 1);
    std::string expected = "In file included from main.vrn:1,\n";
    for (int i = 1; i < 100; ++i)
        expected += "                 from f" + std::to_string(i) + ".vrn:1,\n";
    expected += "                 from f100.vrn:1:\nf100.vrn:1: fatal: include nested too deep\n";
    EXPECT_EQ(o.err, expected);
    expect_clean();
}

TEST_F(InclusionTest, MissingFile) {
    ft::Outcome o = parse_main("<vorn>\ninclude('nope.vrn');</vorn>");
    EXPECT_EQ(o.exit, 1);
    // The including file's position is saved before the file is opened, so the failure already names it.
    EXPECT_EQ(o.err, "In file included from main.vrn:2:\n"
                     "main.vrn:2: can't open file nope.vrn; No such file or directory\n");
    expect_clean();
    // With errors ignored nothing is included and the block is closed at once.
    rep = Reporter();
    rep.set_policy(Policy::ignore_errors);
    rep.set_brief();
    keep_.exec = true;
    use(&keep_);
    rep.set_file("main.vrn");
    o = ft::parse_path(parser, "main.vrn");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err,
              "In file included from main.vrn:2:\nmain.vrn:2: open nope.vrn; No such file or directory\n");
    EXPECT_EQ(ft::dump_all(keep_), "N_include(\"nope.vrn\") | N_end");
    expect_clean();
}

TEST_F(InclusionTest, FastModeDoesNotReadIncludedFiles) {
    deps_.set_scan_mode(Scan_mode::fast);
    write("a.vrn", "# not even Vorn (");
    ft::Outcome o = parse_main("<vorn>include('a.vrn'); x;</vorn>");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(found(), dependencies({"a.vrn"}));
    deps_.on_marker(Marker::no_output, "");
    EXPECT_FALSE(deps_.take_no_output());
    expect_clean();
    o = parse_main("<vorn>\ninclude('nope.vrn');</vorn>");
    EXPECT_EQ(o.exit, 1);
    EXPECT_EQ(o.err, "main.vrn:2: fatal: nope.vrn: No such file or directory; No such file or directory\n");
    expect_clean();
}

TEST_F(InclusionTest, UnclosedTagsAreReportedAtTheMainFileEndOnly) {
    write("a.vrn", "<vorn> x;");
    ft::Outcome o = parse_main("<vorn>include('a.vrn');</vorn>");
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.err, "main.vrn:1: warning: found unclosed vorn tags\n");
}

TEST_F(InclusionTest, NoOutputMarkerCountsOnlyBeforeTheFirstInclusion) {
    write("a.vrn", "// __NO_OUTPUT__\n");
    parse_main("<vorn>include('a.vrn'); // __NO_OUTPUT__\n</vorn>");
    EXPECT_FALSE(deps_.take_no_output());
    deps_.set_directory("main.vrn");
    parse_main("<vorn>// __NO_OUTPUT__\ninclude('a.vrn');</vorn>");
    EXPECT_TRUE(deps_.take_no_output());
}

} // namespace
