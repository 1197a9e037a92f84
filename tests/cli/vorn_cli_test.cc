// vorn's command line: help and usage, definitions, the output file and what a failed run leaves behind.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/site.h"

namespace {

const std::string usage_error = "Usage: vorn [OPTION]... SOURCE OUTPUT\n"
                                "Try `vorn --help' for more information.\n";

class VornCli : public ::testing::Test {
protected:
    ts::Run_result vorn(std::vector<std::string> args) { return ts::run_vorn(dir.path(), std::move(args)); }
    void write(const std::string& name, const std::string& text) { ts::write_file(dir / name, text); }
    std::map<std::string, std::string> files() const { return ts::read_tree(dir.path()); }

    ts::Temp_dir dir;
};

TEST_F(VornCli, HelpAndVersion) {
    ts::Run_result r = vorn({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.substr(0, 88), "Usage: vorn [OPTION]... SOURCE OUTPUT\n"
                                   "Run a Vorn source and write the page it produces.\n");
    // Every option is described.
    for (const char* option :
         {"-D, --define=NAME[=VALUE]", "-d, --root-dir=DIRECTORY", "-p, --parents", "--noext-warning",
          "--noext-error", "-b, --brief", "-E, --fatal-warnings", "-i, --ignore-errors",
          "-q, --quiet, -s, --silent", "-v, --verbose", "-h, --help", "-V, --version"})
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    EXPECT_EQ(vorn({"-h", "--bogus"}).out, r.out); // help acts when it is met

    r = vorn({"-V"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out.rfind("vorn (Vorn-tovik) ", 0), 0u) << r.out;
    EXPECT_NE(
        r.out.find("GNU General Public License, version 3 or later, found in the file\nnamed COPYING.\n"),
        std::string::npos);
}

TEST_F(VornCli, UsageErrors) {
    write("page.vrn", "x");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "vorn: missing SOURCE and OUTPUT operands\n" + usage_error},
        {{"page.vrn"}, "vorn: missing OUTPUT operand after `page.vrn'\n" + usage_error},
        {{"page.vrn", "a.html", "b.html"}, "vorn: extra operand `b.html'\n" + usage_error},
        {{"-q", "page.vrn"}, usage_error},
        {{"--bogus", "page.vrn", "-"}, "vorn: unrecognized option '--bogus'\n" + usage_error},
        {{"-x", "page.vrn", "-"}, "vorn: invalid option -- 'x'\n" + usage_error},
        {{"page.vrn", "-", "-D"}, "vorn: option requires an argument -- 'D'\n" + usage_error},
        {{"-q", "-v", "page.vrn", "-"}, "vorn: fatal: incompatible options `verbose' and `silent'\n"},
        {{"-E", "-i", "page.vrn", "-"},
         "vorn: fatal: incompatible options `fatal-warnings' and `ignore-errors'\n"},
    };
    for (const auto& [args, err] : cases) {
        ts::Run_result r = vorn(args);
        EXPECT_EQ(r.status, 1) << err;
        EXPECT_EQ(r.out, "") << err;
        EXPECT_EQ(r.err, err);
    }
}

TEST_F(VornCli, Definitions) {
    write("page.vrn", "<vorn>foreach (n in {A, B, C, _LANG}) print(n + \"|\" + isint(n));</vorn>");
    ts::Run_result r = vorn({"-D", "A=x y", "-DB=b=c", "-D_LANG=it", "-DC", "page.vrn", "-"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "x y|0\nb=c|0\n1|1\nit|0\n");

    // The long form, an empty value, and a later definition replacing an earlier one.
    write("page.vrn", "<vorn>print(\"[\" + A + \"][\" + B + \"]\");</vorn>");
    r = vorn({"--define=A=1", "--define", "A=2", "-DB=", "page.vrn", "-"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "[2][]\n");
}

TEST_F(VornCli, OutputFiles) {
    write("sub/page.vrn", "<vorn>print(outputfile());</vorn>");
    // The source runs in its own directory, but the output is named from the run directory.
    ts::Run_result r = vorn({"sub/page.vrn", "page.html"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ts::read_file(dir / "page.html"), "page.html\n");

    r = vorn({"sub/page.vrn", "new/dir/page.html"});
    EXPECT_EQ(r.err, "vorn: fatal: Can't open output file new/dir/page.html; No such file or directory; -p "
                     "creates the missing directory new/dir/\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(ts::exists(dir / "new"));
    // Not a missing directory: the system's reason alone.
    r = vorn({"sub/page.vrn", "sub/page.vrn/page.html"});
    EXPECT_EQ(r.err, "vorn: fatal: Can't open output file sub/page.vrn/page.html; Not a directory\n");

    for (const char* parents : {"-p", "--parents"}) {
        ts::remove_tree(dir / "new");
        r = vorn({parents, "sub/page.vrn", "new/dir/page.html"});
        EXPECT_EQ(r.err, "") << parents;
        EXPECT_EQ(r.status, 0) << parents;
        EXPECT_EQ(ts::read_file(dir / "new/dir/page.html"), "new/dir/page.html\n") << parents;
    }

    r = vorn({"sub/page.vrn", "-"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "-\n");
}

TEST_F(VornCli, MissingSource) {
    ts::Run_result r = vorn({"missing.vrn", "page.html"});
    EXPECT_EQ(r.err, "vorn: fatal: can't open file missing.vrn; No such file or directory\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(vorn({"-b", "missing.vrn", "page.html"}).err,
              "vorn: fatal: missing.vrn; No such file or directory\n");
    EXPECT_EQ(vorn({"-q", "missing.vrn", "page.html"}).err, "");
    EXPECT_TRUE(files().empty());
}

TEST_F(VornCli, FailedRunLeavesNoPageAndNoTemporaryFile) {
    write("page.vrn", "<vorn>print(1);\nraiseerror(\"no\");</vorn>");
    write("old.html", "old\n");
    const auto before = files();

    ts::Run_result r = vorn({"page.vrn", "new.html"});
    EXPECT_EQ(r.err, "page.vrn:2: no\n");
    EXPECT_EQ(r.status, 1);
    r = vorn({"page.vrn", "old.html"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(files(), before);

    // A page that cannot be put in place: its temporary file goes too.
    write("page.vrn", "<vorn>print(1);</vorn>");
    ts::make_dirs(dir / "taken.html");
    r = vorn({"page.vrn", "taken.html"});
    EXPECT_EQ(r.err, "vorn: fatal: Can't write output file taken.html; Is a directory\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(files(), (std::map<std::string, std::string>{{"page.vrn", "<vorn>print(1);</vorn>"},
                                                           {"old.html", "old\n"}}));
    EXPECT_TRUE(ts::exists(dir / "taken.html"));
}

} // namespace
