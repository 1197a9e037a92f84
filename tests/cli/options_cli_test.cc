// The command line and the template file, end to end: the built program in a fresh directory, its standard
// streams and exit status compared whole.
#include <gtest/gtest.h>

#include "support/site.h"
#include "tovik/texts.h"

namespace {

const std::string usage_error = "Usage: vorn-tovik [OPTION] ... [Makefile]\n"
                                "Try `vorn-tovik --help' for more information.\n";

struct Expect {
    int status;
    std::string out;
    std::string err;
};

class OptionsCli : public ::testing::Test {
protected:
    ts::Run_result tovik(std::vector<std::string> args) { return ts::run_tovik(dir.path(), std::move(args)); }
    void check(const std::vector<std::string>& args, const Expect& e) {
        std::string shown;
        for (const auto& a : args)
            shown += " " + a;
        ts::Run_result r = tovik(args);
        EXPECT_EQ(r.status, e.status) << "vorn-tovik" << shown;
        EXPECT_EQ(r.out, e.out) << "vorn-tovik" << shown;
        EXPECT_EQ(r.err, e.err) << "vorn-tovik" << shown;
    }
    void template_file(const std::string& text) { ts::write_file(dir / "Makefile.vt", text); }

    ts::Temp_dir dir;
};

std::string fatal(const std::string& text) {
    return "vorn-tovik: fatal: " + text + "\n";
}

// What a run over a directory without sources ends with.
const std::string empty_site = "vorn-tovik: info: No source file found .. creating empty makefile\n";

TEST_F(OptionsCli, InformationalTexts) {
    const std::string help = "Usage: vorn-tovik [OPTION] ... [Makefile]\n" + help_text();
    check({"--help"}, {0, help, ""});
    check({"-h", "--bogus"}, {0, help, ""});
    check({"--version"}, {0, version_text(), ""});
    check({"-V", "-q", "-v"}, {0, version_text(), ""});
    check({"--accessibility"}, {0, accessibility_text(), ""});
    check({"-A"}, {0, accessibility_text(), ""});
    EXPECT_EQ(help.substr(help.size() - 1), "\n");
}

TEST_F(OptionsCli, UsageErrors) {
    check({"--bogus"}, {1, "", "vorn-tovik: unrecognized option '--bogus'\n" + usage_error});
    check({"-g"}, {1, "", "vorn-tovik: invalid option -- 'g'\n" + usage_error});
    check({"-d"}, {1, "", "vorn-tovik: option requires an argument -- 'd'\n" + usage_error});
    check({"a.mk", "b.mk", "c.mk"}, {1, "", "vorn-tovik: extra operand `b.mk'\n" + usage_error});
    check({"-q", "-v"}, {1, "", fatal("incompatible options `verbose' and `silent'")});
    check({"-v", "-s"}, {1, "", fatal("incompatible options `verbose' and `silent'")});
    check({"-E", "-i"}, {1, "", fatal("incompatible options `fatal-warnings' and `ignore-errors'")});
    check({"-E", "-i", "a", "b"},
          {1, "", fatal("incompatible options `fatal-warnings' and `ignore-errors'")});
    check({"sub/Makefile"}, {1, "", fatal("makefile must be created within current directory")});
    check({"../Makefile"}, {1, "", fatal("makefile must be created within current directory")});
    check({"-b", "../Makefile"}, {1, "", fatal("makefile must be created within current directory")});
    check({"-q", "../Makefile"}, {1, "", ""});
}

TEST_F(OptionsCli, ValidOptionsRunToTheEnd) {
    check({"-b", "-q", "-E", "-f", "-O", "-x", "-p", "out", "-d", ".", "-S", "v", "-t", "htm", "out.mk"},
          {0, "", ""});
    EXPECT_EQ(ts::read_tree(dir.path()), (std::map<std::string, std::string>{{"out.mk", ""}}));
    check({}, {0, "", empty_site});
    check({"-v"}, {0, "", "vorn-tovik: info: template file not found\n" + empty_site});
}

TEST_F(OptionsCli, TemplateCases) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> args;
        Expect expect;
    };
    const Case cases[] = {
        {"comments only", "# settings\n\n#\tnone\n\n", {}, {0, "", empty_site}},
        {"value with leading blank", "prefix: out\n", {}, {0, "", empty_site}},
        {"blank after flag", "brief: yes\n", {}, {1, "", fatal("Wrong template file")}},
        {"tab after flag", "brief:\t\n", {}, {0, "", "vorn-tovik: info: Empty makefile created\n"}},
        {"keyword not at line start", "\tfast:\n", {}, {1, "", fatal("Wrong template file")}},
        {"carriage return", "quiet:\r\n", {}, {1, "", fatal("Wrong template file")}},
        {"end-main outside", "end-main\n", {}, {1, "", fatal("Wrong template file")}},
        {"two branches",
         "*branch*a/*out-a/\nvorn-option:-x\nend-branch\n*branch*b/*out-b\nend-branch\n",
         {},
         {0, "", empty_site}},
        {"branch without options", "*branch*src/*dst\nend-branch\n", {}, {0, "", empty_site}},
        {"unfinished section", "*main\nvorn-option:-x\n", {}, {0, "", empty_site}},
        {"command line verbose, template silent", "silent:\n", {"-v"}, {0, "", empty_site}},
        {"verbose and silent in template",
         "verbose:\nsilent:\n",
         {},
         {1, "", fatal("template: both `verbose' and `silent' set")}},
        {"verbose and silent in template, verbose given",
         "verbose:\nsilent:\n",
         {"-v"},
         {1, "", fatal("template: both `verbose' and `silent' set")}},
        {"fatal-warnings and ignore_errors in template",
         "fatal-warnings:\nignore_errors:\n",
         {"-i"},
         {1, "", fatal("template: both `fatal-warnings' and `ignore-errors' set")}},
        {"template brief words the error",
         "brief:\nverbose:\nquiet:\n",
         {},
         {1, "", fatal("template: both `verbose' and `silent' set")}},
        {"target extension holding make syntax",
         "target-extension:html $(shell touch x)\n",
         {},
         {1, "",
          fatal("target-extension \"html $(shell touch x)\" holds characters that make or the shell read "
                "specially")}},
        {"source extension holding shell syntax, given on the command line",
         "",
         {"-S", "vrn;x"},
         {1, "", fatal("source-extension \"vrn;x\" holds characters that make or the shell read specially")}},
        {"extension holding a blank",
         "target-extension: html\n",
         {},
         {1, "",
          fatal("target-extension \" html\" "
                "holds characters that make or "
                "the shell read specially")}},
        {"an argument the makefile could not pass on",
         "self-update:\n",
         {"-O", "-DA=1\n"},
         {1, "",
          fatal("self-update: an argument holds a newline; the makefile could not run vorn-tovik again")}},
        {"template quiet only counts once read",
         "quiet:\nfast: \n",
         {},
         {1, "", fatal("Wrong template file")}},
    };
    for (const auto& c : cases) {
        ts::remove_tree(dir.path());
        ts::make_dirs(dir.path());
        ts::make_dirs(dir / "a");
        ts::make_dirs(dir / "b");
        ts::make_dirs(dir / "src");
        template_file(c.text);
        ts::Run_result r = tovik(c.args);
        EXPECT_EQ(r.status, c.expect.status) << c.name;
        EXPECT_EQ(r.out, c.expect.out) << c.name;
        EXPECT_EQ(r.err, c.expect.err) << c.name;
        if (c.expect.status != 0) // a refused template writes nothing
            EXPECT_EQ(ts::read_tree(dir.path()).size(), 1u) << c.name;
    }
}

TEST_F(OptionsCli, TemplateOfAnotherMakefileAndRootDir) {
    ts::write_file(dir / "site/out.mk.vt", "brief: yes\n");
    check({"out.mk"}, {0, "", empty_site});
    check({"-d", "site", "out.mk"}, {1, "", fatal("Wrong template file")});
    check({"-d", "site"}, {0, "", empty_site});
}

TEST_F(OptionsCli, UnreadableTemplatePath) {
    ts::write_file(dir / "file", "");
    check({"-d", "file"},
          {1, "", "vorn-tovik: can't open template file file/Makefile.vt; Not a directory\n"});
    // With errors ignored the run goes on to the scan, which cannot enter the root directory.
    check({"-i", "-d", "file"}, {1, "",
                                 "vorn-tovik: can't open template file file/Makefile.vt; Not a directory\n" +
                                     fatal("can't change directory to file/; Not a directory")});
    check({"-b", "-i", "-d", "file"},
          {1, "",
           "vorn-tovik: file/Makefile.vt; Not a directory\nvorn-tovik: fatal: file/; Not a directory\n"});
}

} // namespace
