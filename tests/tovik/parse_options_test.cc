#include "tovik/parse_options.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/paths.h"
#include "diag/reporter.h"
#include "os/work_dir.h"
#include "support/test_support.h"
#include "tovik/texts.h"

namespace {

struct Parsed {
    int status = -1; // -1: parsing returned
    std::string out;
    std::string err;
};

// Each test parses inside a fresh directory, with a fresh reporter.
class ParseOptions : public ::testing::Test {
protected:
    void SetUp() override {
        back_ = ts::current_dir();
        ASSERT_EQ(chdir(tmp_.path().c_str()), 0);
    }
    void TearDown() override { EXPECT_EQ(chdir(back_.c_str()), 0); }

    Parsed parse(const std::vector<std::string>& args) {
        std::vector<std::string> storage{"vorn-tovik"};
        storage.insert(storage.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : storage)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        Parsed p;
        ts::Stderr_capture err;
        ts::Stdout_capture out;
        try {
            parse_options(rep, o, static_cast<int>(storage.size()), argv.data());
        } catch (const ts::Process_ended& e) {
            p.status = e.status;
        }
        p.err = err.text();
        p.out = out.text();
        return p;
    }

    ts::Temp_dir tmp_;
    std::string back_;
    Tovik_opt o;
    Reporter rep;
};

TEST_F(ParseOptions, NoArgumentsKeepsEveryDefault) {
    Parsed p = parse({});
    EXPECT_EQ(p.status, -1);
    EXPECT_EQ(p.err, "");
    EXPECT_EQ(o.program_name(), "vorn-tovik");
    EXPECT_EQ(rep.program_name(), "vorn-tovik");
    EXPECT_EQ(o.get(Option_id::root_dir), "./");
    EXPECT_EQ(o.get(Option_id::prefix), "./");
    EXPECT_EQ(o.get(Option_id::source_ext), "vrn");
    EXPECT_EQ(o.get(Option_id::target_ext), "html");
    EXPECT_EQ(o.get(Option_id::makefile), "Makefile");
    EXPECT_FALSE(o.fast);
    EXPECT_FALSE(o.self_update);
    EXPECT_FALSE(o.exact_deps);
    EXPECT_EQ(o.get(Option_id::vorn_options), "");
    EXPECT_EQ(o.get(Option_id::section_options), "");
    EXPECT_EQ(o.get(Option_id::opts_variable), "main_OPTS");
    EXPECT_TRUE(o.branches.empty());
    EXPECT_EQ(o.translations, std::vector<std::string>{""});
    EXPECT_EQ(rep.verbosity(), Verbosity::normal);
    EXPECT_EQ(rep.policy(), Policy::normal);
    EXPECT_FALSE(rep.brief());
}

TEST_F(ParseOptions, RootDirAndPrefixNormalised) {
    struct Case {
        std::vector<std::string> args;
        const char* root;
        const char* prefix;
        const char* vorn_options;
    };
    const Case cases[] = {
        {{"--root-dir=."}, "./", "./", ""},
        {{"--root-dir=./"}, "./", "./", ""},
        {{"--root-dir="}, "./", "./", ""},
        {{"--root-dir=site"}, "site/", "./", " -p -d site/ "},
        {{"-d", "./a/../site/"}, "site/", "./", " -p -d site/ "},
        {{"--root-dir=a", "--prefix=b"}, "a/", "b/", " -p -d b/ "},
        {{"-d", "x", "-d", "y"}, "y/", "./", " -p -d y/ "},
        {{"-p", "out/./www"}, "./", "out/www/", " -p -d out/www/ "},
        {{"-p", "."}, "./", "./", ""},
        {{"-O", "-x", "-O", "-y", "-p", "o"}, "./", "o/", " -x   -y   -p -d o/ "},
    };
    for (const auto& c : cases) {
        o = Tovik_opt();
        rep = Reporter();
        Parsed p = parse(c.args);
        EXPECT_EQ(p.status, -1) << c.args[0];
        EXPECT_EQ(o.get(Option_id::root_dir), c.root) << c.args[0];
        EXPECT_EQ(o.get(Option_id::prefix), c.prefix) << c.args[0];
        EXPECT_EQ(o.get(Option_id::vorn_options), c.vorn_options) << c.args[0];
    }
}

TEST_F(ParseOptions, SettingsReachTheReporterAndStore) {
    Parsed p = parse({"-b", "-s", "-i", "--fast", "-S", "v", "--target-extension=htm", "out.mk",
                      "--self-update", "--exact-deps"});
    EXPECT_EQ(p.status, -1);
    EXPECT_TRUE(rep.brief());
    EXPECT_EQ(rep.verbosity(), Verbosity::quiet);
    EXPECT_EQ(rep.policy(), Policy::ignore_errors);
    EXPECT_TRUE(o.fast);
    EXPECT_TRUE(o.self_update);
    EXPECT_TRUE(o.exact_deps);
    // As given, for the makefile's rule that runs the program again.
    EXPECT_EQ(o.arguments, (std::vector<std::string>{"vorn-tovik", "-b", "-s", "-i", "--fast", "-S", "v",
                                                     "--target-extension=htm", "out.mk", "--self-update",
                                                     "--exact-deps"}));
    EXPECT_EQ(o.get(Option_id::source_ext), "v");
    EXPECT_EQ(o.get(Option_id::target_ext), "htm");
    EXPECT_EQ(o.get(Option_id::makefile), "out.mk");
}

TEST_F(ParseOptions, MakefileArgumentKeptAsWritten) {
    EXPECT_EQ(parse({"./Makefile"}).status, -1);
    EXPECT_EQ(o.get(Option_id::makefile), "./Makefile");
    o = Tovik_opt();
    EXPECT_EQ(parse({"sub/../mk"}).status, -1);
    EXPECT_EQ(o.get(Option_id::makefile), "sub/../mk");
}

TEST_F(ParseOptions, RefusedCommandLines) {
    struct Case {
        std::vector<std::string> args;
        const char* err;
    };
    const Case cases[] = {
        {{"-v", "-q"}, "vorn-tovik: fatal: incompatible options `verbose' and `silent'\n"},
        {{"-s", "--verbose"}, "vorn-tovik: fatal: incompatible options `verbose' and `silent'\n"},
        {{"-i", "-E"}, "vorn-tovik: fatal: incompatible options `fatal-warnings' and `ignore-errors'\n"},
        // The conflict is found before the argument count.
        {{"-v", "-q", "a", "b"}, "vorn-tovik: fatal: incompatible options `verbose' and `silent'\n"},
        {{"a", "b"},
         "vorn-tovik: extra operand `b'\nUsage: vorn-tovik [OPTION] ... [Makefile]\n"
         "Try `vorn-tovik --help' for more information.\n"},
        {{"sub/Makefile"}, "vorn-tovik: fatal: makefile must be created within current directory\n"},
        {{"../Makefile"}, "vorn-tovik: fatal: makefile must be created within current directory\n"},
    };
    for (const auto& c : cases) {
        o = Tovik_opt();
        rep = Reporter();
        Parsed p = parse(c.args);
        EXPECT_EQ(p.status, 1) << c.args[0];
        EXPECT_EQ(p.err, c.err) << c.args[0];
        EXPECT_EQ(p.out, "");
    }
}

TEST_F(ParseOptions, InformationalOptionsActWhenMet) {
    Parsed p = parse({"-h", "--bogus"});
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.err, "");
    EXPECT_EQ(p.out.rfind("Usage: vorn-tovik [OPTION] ... [Makefile]\nGenerate makefiles for Vorn.\n", 0),
              0u);
    p = parse({"-A", "-q", "-v"});
    EXPECT_EQ(p.status, 0);
    EXPECT_EQ(p.out, accessibility_text());
}

// ---- The template, merged under the command line.

TEST_F(ParseOptions, TemplateFillsWhatTheCommandLineLeft) {
    ts::write_file("Makefile.vt", "prefix:out\n"
                                  "source-extension:vt\n"
                                  "target-extension:xhtml\n"
                                  "vorn-option:-t1\n"
                                  "translations:de\n"
                                  "translations: en, it\n"
                                  "fast:\n"
                                  "self-update:\n"
                                  "exact-deps:\n"
                                  "brief:\n"
                                  "ignore_errors:\n"
                                  "verbose:\n"
                                  "*main\n"
                                  "vorn-option:-m\n"
                                  "end-main\n");
    Parsed p = parse({"-O", "-c"});
    EXPECT_EQ(p.status, -1);
    EXPECT_EQ(o.get(Option_id::prefix), "out/");
    EXPECT_EQ(o.get(Option_id::source_ext), "vt");
    EXPECT_EQ(o.get(Option_id::target_ext), "xhtml");
    EXPECT_EQ(o.get(Option_id::vorn_options), " -c   -t1   -p -d out/ ");
    EXPECT_EQ(o.get(Option_id::section_options), " -m ");
    EXPECT_TRUE(o.fast);
    EXPECT_TRUE(o.self_update);
    EXPECT_TRUE(o.exact_deps);
    EXPECT_EQ(o.translations, (std::vector<std::string>{"", "en", "it"}));
    EXPECT_TRUE(rep.brief());
    EXPECT_EQ(rep.verbosity(), Verbosity::verbose);
    EXPECT_EQ(rep.policy(), Policy::ignore_errors);
}

TEST_F(ParseOptions, CommandLineWinsOverTemplate) {
    ts::write_file("Makefile.vt",
                   "prefix:tp\nsource-extension:ts\ntarget-extension:tt\nsilent:\nfatal-warnings:\n");
    Parsed p = parse({"-p", "cp", "-S", "cs", "-t", "ct", "-v", "-i"});
    EXPECT_EQ(p.status, -1);
    EXPECT_EQ(o.get(Option_id::prefix), "cp/");
    EXPECT_EQ(o.get(Option_id::source_ext), "cs");
    EXPECT_EQ(o.get(Option_id::target_ext), "ct");
    EXPECT_EQ(rep.verbosity(), Verbosity::verbose);
    EXPECT_EQ(rep.policy(), Policy::ignore_errors);
}

TEST_F(ParseOptions, TemplateFollowsTheMakefileNameAndRootDir) {
    ts::write_file("site/out.mk.vt", "prefix:p\n");
    ts::write_file("out.mk.vt", "prefix:wrong\n");
    EXPECT_EQ(parse({"-d", "site", "out.mk"}).status, -1);
    EXPECT_EQ(o.get(Option_id::prefix), "p/");
    EXPECT_EQ(o.get(Option_id::vorn_options), " -p -d p/ ");
}

TEST_F(ParseOptions, TemplateBranchesInOrder) {
    ts::write_file("Makefile.vt", "*branch*en*out/en/\nvorn-option:-l en\nend-branch\n"
                                  "*branch*it*it-out\nend-branch\n");
    EXPECT_EQ(parse({}).status, -1);
    ASSERT_EQ(o.branches.size(), 2u);
    // Both directories end with "/", added where the template left it out.
    EXPECT_EQ(o.branches[0].source_dir, "en/");
    EXPECT_EQ(o.branches[0].output_dir, "out/en/");
    EXPECT_EQ(o.branches[0].options, "--parents  -l en ");
    EXPECT_EQ(o.branches[1].source_dir, "it/");
    EXPECT_EQ(o.branches[1].output_dir, "it-out/");
    EXPECT_EQ(o.branches[1].options, "--parents ");
    ASSERT_TRUE(o.next_branch());
    EXPECT_EQ(o.get(Option_id::opts_variable), "it-out_OPTS");
    ASSERT_TRUE(o.next_branch());
    EXPECT_EQ(o.get(Option_id::opts_variable), "out/en_OPTS");
}

TEST_F(ParseOptions, MissingTemplateReportedOnlyWhenVerbose) {
    Parsed p = parse({"-v"});
    EXPECT_EQ(p.status, -1);
    EXPECT_EQ(p.err, "vorn-tovik: info: template file not found\n");
    rep = Reporter();
    p = parse({"-v", "-b"});
    EXPECT_EQ(p.err, "vorn-tovik: info: no template\n");
}

TEST_F(ParseOptions, UnopenableTemplateIsAnError) {
    ts::write_file("file", "");
    Parsed p = parse({"-d", "file"});
    EXPECT_EQ(p.status, 1);
    EXPECT_EQ(p.err, "vorn-tovik: can't open template file file/Makefile.vt; Not a directory\n");

    rep = Reporter();
    o = Tovik_opt();
    p = parse({"-i", "-b", "-d", "file/", "-p", "x"});
    EXPECT_EQ(p.status, -1);
    EXPECT_EQ(p.err, "vorn-tovik: file/Makefile.vt; Not a directory\n");
    EXPECT_EQ(o.get(Option_id::root_dir), "file/");
}

TEST_F(ParseOptions, TemplateConflictsAreFatalWhateverTheCommandLine) {
    ts::write_file("Makefile.vt", "verbose:\nsilent:\n");
    Parsed p = parse({"-q"});
    EXPECT_EQ(p.status, 1);
    EXPECT_EQ(p.err, ""); // quiet from the command line already holds

    rep = Reporter();
    p = parse({"-v"});
    EXPECT_EQ(p.status, 1);
    EXPECT_EQ(p.err, "vorn-tovik: fatal: template: both `verbose' and `silent' set\n");

    ts::write_file("Makefile.vt", "fatal-warnings:\nignore_errors:\n");
    rep = Reporter();
    p = parse({"-E"});
    EXPECT_EQ(p.status, 1);
    EXPECT_EQ(p.err, "vorn-tovik: fatal: template: both `fatal-warnings' and `ignore-errors' set\n");
}

} // namespace
