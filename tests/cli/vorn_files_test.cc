// What vorn does with files, the clock, directory levels, commands and scripts: small sites in a fresh
// directory, run with TZ=UTC0; the page, the messages and the exit status compared whole.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>
#include <vector>

#include "support/site.h"

namespace {

const std::string no_page = "(no page)";

struct Case {
    const char* what;
    std::vector<std::string> options;
    std::string source; // page.vrn
    std::string page;   // page.html afterwards, or no_page
    std::string err;
    int status;
};

class VornFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char* real = realpath(dir.path().c_str(), nullptr);
        ASSERT_NE(real, nullptr);
        root = real;
        std::free(real);
    }

    ts::Run_result vorn(std::vector<std::string> args) {
        return ts::run_vorn(dir.path(), std::move(args), {"TZ=UTC0", "VT_NOT_PASSED=1"});
    }

    void write(const std::string& name, const std::string& text, mode_t mode = 0644) {
        ts::write_file(dir / name, text);
        chmod((dir / name).c_str(), mode);
    }
    void script(const std::string& name, const std::string& body) { write(name, "#!/bin/sh\n" + body, 0755); }

    // Each source runs as `vorn OPTIONS page.vrn page.html` among the files written so far (a page in the
    // root directory, as a script's LA and linkadjust() see it).
    void check(const std::vector<Case>& cases) {
        const std::string page = dir / "page.html";
        for (const Case& c : cases) {
            write("page.vrn", c.source);
            std::remove(page.c_str());
            std::vector<std::string> args = c.options;
            args.push_back("page.vrn");
            args.push_back("page.html");
            ts::Run_result r = vorn(args);
            EXPECT_EQ(ts::exists(page) ? ts::read_file(page) : no_page, c.page) << c.what;
            EXPECT_EQ(r.out, "") << c.what;
            EXPECT_EQ(r.err, c.err) << c.what;
            EXPECT_EQ(r.status, c.status) << c.what;
        }
    }

    ts::Temp_dir dir;
    std::string root; // the directory as vorn sees it (symbolic links resolved)
};

std::string at(int line, const std::string& text) {
    return "page.vrn:" + std::to_string(line) + ": " + text + "\n";
}

TEST_F(VornFiles, DatesAndSizes) {
    write("data.bin", std::string(1536, 'd'));
    write("big.bin", std::string(1234567, 'b'));
    write("now.txt", "written now\n");
    struct timeval when[2] = {{1204708023, 0}, {1204708023, 0}}; // 5 March 2008, 09:07:03 UTC
    ASSERT_EQ(utimes((dir / "data.bin").c_str(), when), 0);
    check({
        {"file dates; a byte that is no directive stays with its #",
         {},
         "<vorn>print(fdate(\"data.bin\", \"#D #d #M #y #h:#n:#s #m|##d|#x|#\"));</vorn>",
         "Wednesday 5 March 2008 9:07:03 3|#5|#x|#\n",
         "",
         0},
        {"month and day names are read from _months and _days",
         {},
         "<vorn>_months[2] = \"Mar\"; _days = {\"Su\", \"Mo\", \"Tu\", \"We\"}; print(fdate(\"data.bin\", "
         "\"#D #M\"));"
         "</vorn>",
         "We Mar\n",
         "",
         0},
        {"the clock",
         {},
         "<vorn>print(date(\"#y-#m-#d\") == fdate(\"now.txt\", \"#y-#m-#d\"));</vorn>",
         "1\n",
         "",
         0},
        {"file sizes",
         {},
         "<vorn>print(fsize(\"data.bin\", \"#b #k #m #z\")); print(fsize(\"big.bin\", \"#b #k #m\"));</vorn>",
         "1536 1.5 0.00146484 #z\n1234567 1205.63 1.17737\n",
         "",
         0},
        {"a missing file warns with its full path",
         {},
         "<vorn>print(fdate(\"nope\", \"#d\") + \"|\" + fsize(\"nope\", \"#b\"));</vorn>",
         "|\n",
         at(1, "warning: unable to get infos about " + root + "/nope") +
             at(1, "warning: unable to get infos about " + root + "/nope"),
         0},
        {"the same, brief",
         {"-b"},
         "<vorn>x = fsize(\"nope\", \"#b\");</vorn>",
         "",
         at(1, "warning: " + root + "/nope"),
         0},
        {"argument errors",
         {"-i"},
         "<vorn>x = date(5); x = fdate(1, \"a\"); x = fdate(\"data.bin\", 2); x = fsize(1, \"a\");\n"
         "x = fsize(\"data.bin\", 2);</vorn>",
         "",
         at(1, "date (format): format must be a string") +
             at(1, "fdate (file, format): file must be a string") +
             at(1, "fdate (file, format): format must be a string") +
             at(1, "fsize (file, format): file must be a string") +
             at(2, "fsize (file, format): format must be a string"),
         0},
    });
}

TEST_F(VornFiles, ExistenceVerbatimAndRandom) {
    const char bytes[] = "raw \\n <vorn> @@ \0 end\r\n\xff last"; // no newline at the end
    const std::string raw(bytes, sizeof bytes - 1);
    write("raw.txt", raw);
    write("page.vrn", "<vorn>echo(\"[\"); verbatim(\"raw.txt\"); echo(\"]\");</vorn>");
    ts::Run_result r = vorn({"page.vrn", "page.html"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ts::read_file(dir / "page.html"), "[" + raw + "]");

    check({
        {"fileexists",
         {},
         "<vorn>print(fileexists(\"raw.txt\") + \" \" + fileexists(\"nope\"));</vorn>",
         "1 0\n",
         "",
         0},
        {"verbatim of a missing file",
         {},
         "<vorn>verbatim(\"nope\");</vorn>",
         no_page,
         at(1, "can't open file " + root + "/nope; No such file or directory"),
         1},
        {"the same, brief",
         {"-b"},
         "<vorn>verbatim(\"nope\");</vorn>",
         no_page,
         at(1, "open " + root + "/nope; No such file or directory"),
         1},
        {"random",
         {"-i"},
         "<vorn>print(random(3, 3)); print(random(-2, -2)); r = random(1, 6); print(r >= 1 && r <= 6);\n"
         "print(random(5, 4) + \"|\"); x = random(\"a\", 1); x = random(1, \"b\");</vorn>",
         "3\n-2\n1\n|\n",
         at(2, "maximum value must be greater than minimum") + at(2, "minimum value must be an integer") +
             at(2, "maximum value must be an integer"),
         0},
    });
}

TEST_F(VornFiles, FilesAndCommandsAreNamedRelativeToTheSource) {
    write("sub/d.bin", "12345");
    write("sub/here.txt", "here\n");
    script("sub/args.sh", "printf '%s|' \"$#\" \"$@\"; echo\n");
    write("sub/page.vrn",
          "<vorn>print(fsize(\"d.bin\", \"#b\") + fileexists(\"here.txt\")); verbatim(\"here.txt\");\n"
          "cmd(\"cat here.txt\"); exec(\"./args.sh\");</vorn>");
    ts::Run_result r = vorn({"sub/page.vrn", "out.html"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ts::read_file(dir / "out.html"), "51\nhere\nhere\n0|\n");
}

// The statements of an included file run after its end, in the directory it lies in, as its include names
// are evaluated there; vorn-tovik runs them there too and lists what vorn reads and runs.
TEST_F(VornFiles, CommandsOfAnIncludedFileRunInItsDirectory) {
    for (const std::string d : {"sub/", "inc/"}) {
        write(d + "here.txt", d + "\n");
        script(d + "who.sh", "echo " + d + "\n");
        write(d + "pick.txt", d == "inc/" ? "picked.inc" : "wrong.inc");
    }
    write("inc/picked.inc", "verbatim(\"picked.txt\");\n");
    write("inc/picked.txt", "picked\n");
    write("inc/part.inc",
          "cmd(\"cat here.txt\"); print(evalcmd(\"cat here.txt\"));\n"
          "exec(\"./who.sh\"); print(evalexec(\"./who.sh\"));\ninclude(evalcmd(\"cat pick.txt\"));\n");
    write("sub/page.vrn", "<vorn>include(\"../inc/part.inc\"); cmd(\"cat here.txt\");</vorn>");
    ts::Run_result r = vorn({"sub/page.vrn", "out.html"});
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ts::read_file(dir / "out.html"), "inc/\ninc/\n\ninc/\ninc/\n\npicked\nsub/\n");
    r = ts::run_tovik(dir.path(), {});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(
        ts::read_file(dir / "Makefile")
            .find("sub/page.html:\tsub/page.vrn \\\n\tinc/part.inc \\\n\tinc/picked.txt \\\n\tinc/who.sh\n"),
        std::string::npos);
}

// --deps: every file read or examined, named from the run directory and written as the makefile writes
// dependencies; files that were not there, the page itself and names make cannot express are left out.
TEST_F(VornFiles, DepsRecordEveryFileThePageRead) {
    write("sub/d b.bin", "12345");
    write("sub/inc/a.inc", "include(\"../../shared/b$x.inc\");\n");
    write("shared/b$x.inc", "x = 1;\n");
    write("sub/p;q.txt", "");
    write("top.txt", "");
    script("sub/args.sh", "echo\n");
    write("sub/page.vrn", "<vorn>include(\"inc/a.inc\"); n = \"d b\" + \".bin\"; print(fsize(n, \"#b\"));\n"
                          "print(fdate(\"../top.txt\", \"#y\") != \"\"); print(fileexists(\"none.txt\"));\n"
                          "print(fileexists(outputfile())); verbatim(\"p;q.txt\"); exec(\"./args.sh\");\n"
                          "fsize(\"gone.txt\", \"#b\");</vorn>");
    const std::string record = ".M.deps/sub/page.html.d";
    ts::Run_result r = vorn({"--deps", record, "sub/page.vrn", "sub/page.html"});
    EXPECT_EQ(r.err, "sub/page.vrn:4: warning: unable to get infos about " + root + "/sub/gone.txt\n");
    EXPECT_EQ(r.status, 0);
    const std::string expected = "sub/page.html: \\\n"
                                 "\tshared/b$$x.inc \\\n"
                                 "\tsub/args.sh \\\n"
                                 "\tsub/d\\ b.bin \\\n"
                                 "\tsub/inc/a.inc \\\n"
                                 "\tsub/page.vrn \\\n"
                                 "\ttop.txt\n"
                                 "\n"
                                 "shared/b$$x.inc:\n"
                                 "sub/args.sh:\n"
                                 "sub/d\\ b.bin:\n"
                                 "sub/inc/a.inc:\n"
                                 "sub/page.vrn:\n"
                                 "top.txt:\n";
    EXPECT_EQ(ts::read_file(dir / record), expected);

    // Run again with the page in place: the record says the same, and is left as it was.
    struct timeval old[2] = {{1204708023, 0}, {1204708023, 0}};
    ASSERT_EQ(utimes((dir / record).c_str(), old), 0);
    r = vorn({"--deps", record, "sub/page.vrn", "sub/page.html"});
    EXPECT_EQ(r.status, 0);
    struct stat st;
    ASSERT_EQ(stat((dir / record).c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1204708023);
    EXPECT_EQ(ts::read_file(dir / record), expected);
}

TEST_F(VornFiles, LinkAdjustFollowsTheRootAndTheOutput) {
    write("site/sub/page.vrn", "<vorn>echo(linkadjust() + \"|\");</vorn>");
    struct Row {
        std::vector<std::string> options;
        std::string output;
        std::string page;
        std::string err;
    };
    const std::string outside =
        "site/sub/page.vrn:1: warning: Can't adjust level: output file outside root directory\n";
    const Row rows[] = {
        {{"-d", "site"}, "site/page.html", "|", ""},
        {{"-d", "site/"}, "site/a/b/page.html", "../../|", ""},
        {{"-d", "site"}, "site/../site/a/page.html", "../|", ""},
        {{}, "site/a/page.html", "../../|", ""},
        {{"-d", "site"}, "page.html", "|", outside},
        {{"-b", "-d", "site"}, "page.html", "|", "site/sub/page.vrn:1: warning: No adjust\n"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = row.options;
        args.insert(args.end(), {"-p", "site/sub/page.vrn", row.output});
        ts::Run_result r = vorn(args);
        EXPECT_EQ(r.err, row.err) << row.output;
        EXPECT_EQ(r.status, 0) << row.output;
        EXPECT_EQ(ts::read_file(dir / row.output), row.page) << row.output;
    }
}

TEST_F(VornFiles, Commands) {
    check({
        {"output copied into the page or returned",
         {},
         "<vorn>print(evalcmd(\"echo hello\")); x = cmd(\"echo a; printf b\"); print(\"\"); print(x);</vorn>",
         "hello\n\na\nb\n0\n",
         "",
         0},
        {"a failing command",
         {},
         "<vorn>cmd(\"echo partial; exit 3\"); echo(\"after\");</vorn>",
         no_page,
         at(1, "error while executing echo partial; exit 3"),
         1},
        {"a failing command, brief",
         {"-b"},
         "<vorn>x = evalcmd(\"exit 1\");</vorn>",
         no_page,
         at(1, "exec exit 1"),
         1},
        {"a failing command keeps what it wrote, a captured one drops it",
         {"-i"},
         "<vorn>print(cmd(\"echo partial; exit 3\")); print(evalcmd(\"echo lost; exit 1\"));</vorn>",
         "partial\n-1\n-1\n",
         at(1, "error while executing echo partial; exit 3") +
             at(1, "error while executing echo lost; exit 1"),
         0},
    });
}

TEST_F(VornFiles, Scripts) {
    script("args.sh", "printf '%s|' \"$#\" \"$@\"; echo\n");
    // The environment the shell was started with, as the system keeps it.
    script("env.sh", "/usr/bin/tr '\\0' '\\n' < /proc/$$/environ\n");
    // Builtins only: the script gets no PATH.
    script("big.sh", "i=0; while [ $i -lt 1000 ]; do printf '%0100d' 0; i=$((i + 1)); done\n");
    script("nul.sh", "printf 'ab\\0cd'; printf '%0200d' 0\n");
    check({
        {"arguments from a string and from a list",
         {},
         "<vorn>exec(\"./args.sh\"); exec(\"./args.sh\", \"one two\"); print(evalexec(\"./args.sh\", \"a\", "
         "\"b c\", \"\"));"
         "</vorn>",
         "0|\n1|one two|\n3|a|b c||\n\n",
         "",
         0},
        {"more than 64 KiB of output",
         {},
         "<vorn>x = evalexec(\"./big.sh\"); print(length(x)); exec(\"./big.sh\");</vorn>",
         "100000\n" + std::string(100000, '0'),
         "",
         0},
        {"a NUL byte ends what is kept of its 200-byte chunk",
         {},
         "<vorn>print(evalexec(\"./nul.sh\")); exec(\"./nul.sh\");</vorn>",
         "ab00000\nab00000",
         "",
         0},
        {"a script that cannot be started gives nothing, and the run goes on once",
         {},
         "<vorn>echo(\"a\"); echo(evalexec(\"./missing.sh\")); echo(\"b\");</vorn>",
         "ab",
         "",
         0},
        {"arguments of another kind end the started process only",
         {},
         "<vorn>echo(\"a\"); exec(\"./args.sh\", 5); exec(\"./args.sh\", \"x\", 5); echo(\"b\");</vorn>",
         "ab",
         at(1, "fatal: N_exec::exec () -- internal error") +
             at(1, "fatal: Gen_type::get_string () -- Internal Error"),
         0},
    });

    // The script's environment is LA alone: "../" per level from the output page up to the root.
    write("page.vrn", "<vorn>exec(\"./env.sh\");</vorn>");
    for (const auto& [output, la] : std::vector<std::pair<std::string, std::string>>{
             {"page.html", "LA="}, {"a/b/page.html", "LA=../../"}}) {
        ts::Run_result r = vorn({"-p", "page.vrn", output});
        EXPECT_EQ(r.err, "") << output;
        EXPECT_EQ(r.status, 0) << output;
        EXPECT_EQ(ts::read_file(dir / output), la + "\n") << output;
    }
}

TEST_F(VornFiles, ExternalProgramsRefused) {
    script("args.sh", "echo ran\n");
    const std::string source = "<vorn>print(cmd(\"echo a\") + \"|\"); print(evalexec(\"./args.sh\") + "
                               "\"|\"); print(\"end\");</vorn>";
    check({
        {"--noext-warning",
         {"--noext-warning"},
         source,
         "|\n|\nend\n",
         at(1, "warning: can't execute command: --noext-warning used") +
             at(1, "warning: can't execute script: --noext-warning used"),
         0},
        {"--noext-warning with -E",
         {"--noext-warning", "-E"},
         source,
         no_page,
         at(1, "warning: can't execute command: --noext-warning used"),
         1},
        {"--noext-error",
         {"--noext-error"},
         source,
         no_page,
         at(1, "can't execute command: --noext-error used"),
         1},
        {"--noext-error with -i",
         {"--noext-error", "-i"},
         source,
         "-1|\n-1|\nend\n",
         at(1, "can't execute command: --noext-error used") +
             at(1, "can't execute script: --noext-error used"),
         0},
    });
}

} // namespace
