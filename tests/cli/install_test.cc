// What a first-time user gets from `cmake --install`: the two programs, their manual pages and their bash
// completions, and the installed programs building the example site.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <sys/stat.h>

#include "support/site.h"

namespace {

std::set<std::string> file_names(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : ts::read_tree(dir))
        names.insert(entry.first);
    return names;
}

// One installation into a staging directory, shared by every test below.
class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tmp = new ts::Temp_dir;
        ts::Run_options o;
        o.env = {"DESTDIR=" + tmp->path() + "/stage"};
        install = new ts::Run_result(ts::run({CMAKE_BIN, "--install", BUILD_ROOT, "--prefix", "/usr"}, o));
    }
    static void TearDownTestSuite() {
        delete install;
        delete tmp;
    }
    void SetUp() override { ASSERT_EQ(install->status, 0) << install->out << install->err; }

    static std::string root() { return tmp->path() + "/stage/usr"; }

    static ts::Temp_dir* tmp;
    static ts::Run_result* install;
};
ts::Temp_dir* Installed::tmp = nullptr;
ts::Run_result* Installed::install = nullptr;

const std::set<std::string> installed_files = {
    "bin/vorn-tovik",
#ifdef VORN_BIN
    "bin/vorn",
#endif
    "share/bash-completion/completions/vorn",
    "share/bash-completion/completions/vorn-tovik",
    "share/man/man1/vorn-tovik.1",
    "share/man/man1/vorn.1",
    "share/man/man7/vorn-language.7",
};

TEST_F(Installed, StagedTreeHoldsProgramsPagesAndCompletions) {
    EXPECT_EQ(file_names(root()), installed_files);
    for (const char* program : {"bin/vorn-tovik", "bin/vorn"}) {
        struct stat st;
        if (stat((root() + "/" + program).c_str(), &st) == 0)
            EXPECT_TRUE(st.st_mode & S_IXUSR) << program;
    }
}

TEST_F(Installed, PrefixWithoutDestdirGivesTheSameTree) {
    ts::Temp_dir prefix;
    ts::Run_result r = ts::run({CMAKE_BIN, "--install", BUILD_ROOT, "--prefix", prefix.path()});
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(file_names(prefix.path()), installed_files);
}

// Each page renders without a single groff warning and names every long option its program's help shows.
TEST_F(Installed, ManPagesRenderCleanlyAndCoverEveryOption) {
    const std::vector<std::pair<std::string, std::string>> pages = {{"vorn-tovik", TOVIK_BIN},
#ifdef VORN_BIN
                                                                    {"vorn", VORN_BIN}
#endif
    };
    for (const auto& [name, program] : pages) {
        SCOPED_TRACE(name);
        ts::Run_result page =
            ts::run_on_path({"groff", "-ww", "-man", "-Tutf8", root() + "/share/man/man1/" + name + ".1"});
        ASSERT_NE(page.status, 127) << "groff is missing: run tools/setup-deps.sh";
        EXPECT_EQ(page.status, 0);
        EXPECT_EQ(page.err, "");
        // Lines long enough that no option is broken at a hyphen; plain text without overstriking.
        ts::Run_result plain = ts::run_on_path({"groff", "-man", "-Tascii", "-rLL=10000n", "-P-cbou",
                                                root() + "/share/man/man1/" + name + ".1"});
        ts::Run_result help = ts::run({program, "--help"});
        ASSERT_NE(help.out.find("--root-dir"), std::string::npos) << help.out;
        for (std::size_t at = help.out.find("--"); at != std::string::npos;
             at = help.out.find("--", at + 2)) {
            std::size_t end = help.out.find_first_not_of("abcdefghijklmnopqrstuvwxyz-", at + 2);
            const std::string option = help.out.substr(at, end - at);
            if (option.size() > 2)
                EXPECT_NE(plain.out.find(option), std::string::npos) << option;
        }
    }
}

// The language reference made into a page renders without a single groff warning and keeps all of
// doc/language.md: every heading, and every line of its examples as typed.
TEST_F(Installed, LanguagePageRendersCleanlyAndHoldsTheWholeReference) {
    const std::string page = root() + "/share/man/man7/vorn-language.7";
    ts::Run_result r = ts::run_on_path({"groff", "-ww", "-man", "-Tutf8", page});
    ASSERT_NE(r.status, 127) << "groff is missing: run tools/setup-deps.sh";
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    const std::string plain =
        ts::run_on_path({"groff", "-man", "-Tascii", "-rLL=10000n", "-P-cbou", page}).out;
    bool in_block = false;
    for (const std::string& line : ts::lines_of(ts::read_file(SOURCE_ROOT "/doc/language.md"))) {
        if (line.compare(0, 3, "```") == 0) {
            in_block = !in_block;
            continue;
        }
        std::string shown = in_block ? line : "";
        if (!in_block && line.compare(0, 3, "## ") == 0)
            for (char c : line.substr(3))
                shown += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (!in_block && line.compare(0, 4, "### ") == 0)
            shown = line.substr(4);
        shown.erase(shown.find_last_not_of(' ') + 1);
        if (!shown.empty() && shown.find('\t') == std::string::npos)
            EXPECT_NE(plain.find(shown), std::string::npos) << shown;
    }
}

// The completion function is called the way bash calls it on <TAB>; COMPREPLY is printed one per line.
std::string complete(const std::string& script, const std::string& function, const std::string& words,
                     const std::string& cwd) {
    const std::string command = "source '" + script + "' && COMP_WORDS=(" + words +
                                ") && COMP_CWORD=$((${#COMP_WORDS[@]} - 1)) && COMP_LINE=\"${COMP_WORDS[*]}\""
                                " && COMP_POINT=${#COMP_LINE} && " +
                                function + " && printf '%s\\n' \"${COMPREPLY[@]}\"";
    ts::Run_result r = ts::run_on_path({"bash", "-c", command}, cwd);
    EXPECT_EQ(r.status, 0) << words;
    EXPECT_EQ(r.err, "") << words;
    return r.out;
}

TEST_F(Installed, CompletionsCompleteOptionsAndTheirDirectories) {
    ts::Temp_dir site;
    ts::make_dirs(site / "pages");
    ts::write_file(site / "pages.vrn", "x\n");
    const std::string dir = root() + "/share/bash-completion/completions/";
    struct Case {
        std::string script, function, words, expected;
    };
    const std::vector<Case> cases = {
        {"vorn-tovik", "_vorn_tovik", "vorn-tovik --ro", "--root-dir=\n"},
        {"vorn-tovik", "_vorn_tovik", "vorn-tovik --pre", "--prefix=\n"},
        {"vorn-tovik", "_vorn_tovik", "vorn-tovik --si", "--silent\n"},
        // Bash splits "--prefix=p" at the "=": only directories follow.
        {"vorn-tovik", "_vorn_tovik", "vorn-tovik --prefix = p", "pages\n"},
        {"vorn-tovik", "_vorn_tovik", "vorn-tovik -d p", "pages\n"},
        {"vorn-tovik", "_vorn_tovik", "vorn-tovik -q pages.", "pages.vrn\n"},
        {"vorn", "_vorn", "vorn --ro", "--root-dir=\n"},
        {"vorn", "_vorn", "vorn --noext-w", "--noext-warning\n"},
        {"vorn", "_vorn", "vorn -p pages.", "pages.vrn\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(complete(dir + c.script, c.function, c.words, site.path()), c.expected) << c.words;
}

// The newcomer's session on a copy of the example site: vorn-tovik, make, make clean.
TEST_F(Installed, ExampleSiteBuildsWithTheInstalledPrograms) {
    ts::Temp_dir tmp;
    const std::string site = tmp / "site";
    // Whatever an earlier run left in the example is not part of it.
    ASSERT_EQ(ts::sh("cp -r '" SOURCE_ROOT "/examples/site' '" + site + "' && cd '" + site +
                     "' && rm -rf Makefile Makefile.sources .Makefile.deps && find . -name '*.html' -delete")
                  .status,
              0);
    const std::set<std::string> sources = file_names(site);

    ts::Run_result tovik = ts::run_on_path({"vorn-tovik"}, site, root() + "/bin");
    ASSERT_EQ(tovik.status, 0) << tovik.err;
    EXPECT_EQ(tovik.err, "");
    const std::string makefile = ts::read_file(site + "/Makefile");
    EXPECT_NE(makefile.find("\tvorn $(__vorn_OPTS) $(main_OPTS) --deps .Makefile.deps/index.html.d index.vrn "
                            "$(prefix)index.html\n"),
              std::string::npos);
    EXPECT_NE(makefile.find("\tvorn $(__vorn_OPTS) $(out-docs_OPTS) --deps .Makefile.deps/out-docs/guide/"
                            "install.html.d docs/guide/install.vrn $(prefix)out-docs/guide/install.html\n"),
              std::string::npos);
    EXPECT_TRUE(ts::exists(site + "/Makefile.sources"));

    if (!ts::exists(SOURCE_ROOT "/src/lang/frontend/parser.h"))
        GTEST_SKIP() << "vorn cannot read sources before the source parser exists";
#ifndef VORN_BIN
    GTEST_SKIP() << "vorn is not built";
#endif
    ts::Run_result make = ts::run_on_path({"make"}, site, root() + "/bin");
    ASSERT_EQ(make.status, 0) << make.out << make.err;
    std::set<std::string> pages;
    for (const std::string& name : file_names(site))
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".html") == 0)
            pages.insert(name);
    const std::set<std::string> expected = {
        "index.html",
        "it/index.html",
        "about/index.html",
        "it/about/index.html",
        "news/2026/item.html",
        "it/news/2026/item.html",
        "out-docs/index.html",
        "it/out-docs/index.html",
        "out-docs/guide/install.html",
        "it/out-docs/guide/install.html",
    };
    EXPECT_EQ(pages, expected);
    EXPECT_NE(ts::read_file(site + "/index.html").find("<h1>Welcome</h1>"), std::string::npos);

    ts::Run_result clean = ts::run_on_path({"make", "clean"}, site, root() + "/bin");
    ASSERT_EQ(clean.status, 0) << clean.err;
    std::set<std::string> left = sources;
    left.insert({"Makefile", "Makefile.sources"});
    EXPECT_EQ(file_names(site), left);
}

} // namespace
