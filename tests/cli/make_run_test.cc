// GNU make on the makefiles vorn-tovik writes, with a stand-in `vorn` on the PATH that writes its
// arguments into the output file it is given.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <sstream>
#include <sys/stat.h>

#include "support/site.h"

namespace {

using Site = ts::Make_site;

// Every file whose name matches `pattern` gets the time `when`.
void set_time(const Site& site, const std::string& pattern, const std::string& when) {
    site.shell("find . -name '" + pattern + "' -exec touch -d '" + when + "' {} +");
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    std::sort(out.begin(), out.end());
    return out;
}

// The pages of the sites below and what the stand-in writes into each.
const std::vector<std::pair<std::string, std::string>> pages = {
    {"index.html", "--site=demo index.vrn ./index.html\n"},
    {"it/index.html", "--site=demo -p -D_LANG=it index.vrn.it ./it/index.html\n"},
    {"about/index.html", "--site=demo about/index.vrn ./about/index.html\n"},
    {"it/about/index.html", "--site=demo -p -D_LANG=it -D_REVERT about/index.vrn ./it/about/index.html\n"},
    {"news/2026/item.html", "--site=demo news/2026/item.vrn ./news/2026/item.html\n"},
    {"it/news/2026/item.html",
     "--site=demo -p -D_LANG=it -D_REVERT news/2026/item.vrn ./it/news/2026/item.html\n"},
};

void write_site(const Site& site) {
    site.write("Makefile.vt", "translations: it\nvorn-option:--site=demo\n");
    site.write("index.vrn");
    site.write("index.vrn.it");
    site.write("about/index.vrn");
    site.write("news/2026/item.vrn");
    site.write("inc/nooutput", "");
    site.write("inc/header.vrn");
    site.write("style.css", "body {}\n");
}

TEST(MakeRun, BuildsEveryPageThenNothing) {
    Site site;
    write_site(site);
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0) << r.err;

    r = site.make();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    for (const auto& [page, text] : pages)
        EXPECT_EQ(site.read(page), text) << page;
    // Fragments get rules but are not built by default.
    EXPECT_FALSE(site.has("inc/header.html"));
    EXPECT_FALSE(site.has("it/inc/header.html"));

    r = site.make();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "make: Nothing to be done for 'all'.\n");
    EXPECT_EQ(site.make({"-q"}).status, 0);
}

TEST(MakeRun, ChangedSourceRebuildsOnlyItsPages) {
    Site site;
    write_site(site);
    ASSERT_EQ(site.tovik().status, 0);
    set_time(site, "*", "2020-01-01 00:00:00");
    ASSERT_EQ(site.make().status, 0);
    set_time(site, "*.html", "2021-01-01 00:00:00");
    EXPECT_EQ(site.make({"-q"}).status, 0);

    ASSERT_EQ(ts::sh("touch about/index.vrn", site.dir).status, 0);
    EXPECT_EQ(site.make({"-q"}).status, 1);
    auto r = site.make({"-s"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    // Only the two pages built from about/index.vrn are new.
    std::vector<std::string> rebuilt;
    for (const auto& [page, text] : pages) {
        struct stat st;
        ASSERT_EQ(stat(site.path(page).c_str(), &st), 0);
        if (st.st_mtime > 1700000000)
            rebuilt.push_back(page);
    }
    EXPECT_EQ(rebuilt, (std::vector<std::string>{"about/index.html", "it/about/index.html"}));
}

TEST(MakeRun, CleanRemovesTheTargets) {
    Site site;
    write_site(site);
    ASSERT_EQ(site.tovik().status, 0);
    ASSERT_EQ(site.make().status, 0);
    auto r = site.make({"clean"});
    EXPECT_EQ(r.status, 0);
    for (const auto& [page, text] : pages)
        EXPECT_FALSE(site.has(page)) << page;
    EXPECT_TRUE(site.has("index.vrn"));
    EXPECT_TRUE(site.has("Makefile"));
}

TEST(MakeRun, DistPacksTheSiteWithoutItsSources) {
    Site site;
    write_site(site);
    site.write("Makefile.add", "# nothing but a comment\n");
    ASSERT_EQ(site.tovik().status, 0);
    ASSERT_EQ(site.make().status, 0);
    auto r = site.make({"dist-noupdate"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "test -r Makefile.sources && touch site.tar.gz && \\\n"
              "LC_ALL=C sed -e '/^$/d' -e 's/[][*?\\\\]/\\\\&/g' -e 's/[[:space:]]$/[&]/' -e 's|^|./|' \\\n"
              "Makefile.sources | \\\n"
              "tar chzf site.tar.gz --transform='s|^\\.|site|S' --anchored --no-wildcards-match-slash \\\n"
              "-X - --exclude='./.Makefile.*' --no-anchored --exclude='.*.html.?????\?' .\n");
    ASSERT_TRUE(site.has("site.tar.gz"));
    r = ts::sh("tar tzf site.tar.gz", site.dir);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(lines(r.out), (std::vector<std::string>{
                                "site/",
                                "site/about/",
                                "site/about/index.html",
                                "site/index.html",
                                "site/it/",
                                "site/it/about/",
                                "site/it/about/index.html",
                                "site/it/index.html",
                                "site/it/news/",
                                "site/it/news/2026/",
                                "site/it/news/2026/item.html",
                                "site/news/",
                                "site/news/2026/",
                                "site/news/2026/item.html",
                                "site/style.css",
                            }));
}

// The members of the archive `name` in the site, sorted.
std::vector<std::string> archive_of(const Site& site, const std::string& name = "site.tar.gz") {
    auto r = ts::run({"/bin/tar", "tzf", name}, ts::Run_options{site.dir, {}, true, "", ""});
    EXPECT_EQ(r.status, 0) << r.err;
    return lines(r.out);
}

// dist packs once every page is made, however many jobs make runs beside it.
TEST(MakeRun, ParallelDistPacksEveryPage) {
    Site site;
    write_site(site);
    ts::write_file(site.bin + "/vorn",
                   "#!/bin/sh\nsleep 0.3\nfor out; do :; done\nmkdir -p \"$(dirname \"$out\")\"\n"
                   "echo page > \"$out\"\n");
    ASSERT_EQ(site.tovik().status, 0);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(site.make({"clean"}).status, 0);
        auto r = site.make({"-j8", "dist"});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> members = archive_of(site);
        for (const auto& [page, text] : pages)
            EXPECT_EQ(std::count(members.begin(), members.end(), "site/" + page), 1) << page;
    }
}

// An exclusion names one path from the site's root, byte for byte; files left by interrupted writes stay
// out.
TEST(MakeRun, ArchiveLeavesOutExactlyTheNamedPaths) {
    Site site;
    site.write("tools/notovik", "");
    site.write("tools/t.txt");
    site.write("inc/nooutput", "");
    site.write("inc/head.vrn");
    site.write("products/tools/page.vrn", "<vorn>exec(\"gen.sh\");</vorn>");
    site.write("products/tools/gen.sh");
    site.write("gen.sh");
    site.write("docs/inc/page.vrn");
    site.write("docs/inc/data.txt");
    // Directories named with tar's pattern bytes, and one ending in a blank, each beside what such a
    // pattern would also match.
    for (const char* dir : {"a*b", "[x]", "q?", "old "}) {
        site.write(std::string(dir) + "/notovik", "");
        site.write(std::string(dir) + "/hidden.txt");
    }
    for (const char* file : {"ab", "aXb", "x", "qz", "old"})
        site.write(file);
    ASSERT_EQ(site.tovik().status, 0);
    ASSERT_EQ(site.make().status, 0);
    site.write(".Makefile.AbC123");
    site.write(".Makefile.sources.dEf456");
    site.write(".index.html.XyZ789");
    site.write("docs/inc/.page.html.XyZ789");
    site.write("docs/inc/.data.txt.XyZ789");
    auto r = site.make({"dist"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(archive_of(site), (std::vector<std::string>{
                                    "site/",
                                    "site/aXb",
                                    "site/ab",
                                    "site/docs/",
                                    "site/docs/inc/",
                                    "site/docs/inc/.data.txt.XyZ789",
                                    "site/docs/inc/data.txt",
                                    "site/docs/inc/page.html",
                                    "site/gen.sh",
                                    "site/old",
                                    "site/products/",
                                    "site/products/tools/",
                                    "site/products/tools/page.html",
                                    "site/qz",
                                    "site/x",
                                }));
}

// A site directory name reaches the recipe only when make, the shell and tar can be given it safely;
// otherwise no target runs anything but the refusal's echo.
TEST(MakeRun, SiteDirectoryNames) {
    {
        Site site;
        site.dir = site.tmp / "my site";
        write_site(site);
        auto r = site.tovik();
        ASSERT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        r = site.make({"dist"});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> members = archive_of(site, "my site.tar.gz");
        EXPECT_EQ(members.size(), 15u);
        EXPECT_EQ(std::count(members.begin(), members.end(), "my site/it/news/2026/item.html"), 1);
    }
    for (const std::string name :
         {"r;touch X;x", "$(shell touch X)", "`touch X`", "a'b;touch X", "a\"b", "#x", "%x", "x\ntouch X"}) {
        SCOPED_TRACE(name);
        Site site;
        site.dir = site.tmp / name;
        write_site(site);
        auto r = site.tovik();
        ASSERT_EQ(r.status, 0);
        EXPECT_EQ(r.err.rfind("vorn-tovik: warning: site directory name \"", 0), 0u) << r.err;
        EXPECT_NE(
            r.err.find("cannot be passed safely to make, the shell and tar; make dist will make no archive"),
            std::string::npos);
        for (const char* target : {"-n", "all", "dist", "clean", "dist-noupdate"}) {
            r = site.make({target});
            EXPECT_EQ(r.status, 0) << target << r.err;
        }
        EXPECT_EQ(r.out,
                  "NO ARCHIVE CREATED. This feature is only enabled when Vorn-tovik is run without neither "
                  "--prefix nor --root-dir option\n");
        EXPECT_EQ(ts::sh("find . -name X -o -name '*.tar.gz'", site.tmp.path()).out, "");
    }
}

TEST(MakeRun, PrefixedSiteRefusesToPack) {
    Site site;
    site.write("index.vrn");
    ASSERT_EQ(site.tovik({"--prefix=out"}).status, 0);
    auto r = site.make({"dist-noupdate"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "NO ARCHIVE CREATED. This feature is only enabled when Vorn-tovik is run without neither "
              "--prefix nor --root-dir option\n");
    EXPECT_FALSE(site.has("site.tar.gz"));
}

// ---- A makefile that remakes itself (self-update:)

void write_updating_site(const Site& site) {
    write_site(site);
    site.write("Makefile.vt", "self-update:\ntranslations: it\nvorn-option:--site=demo\n");
    site.write("index.vrn", "<vorn>include(\"inc/header.vrn\");</vorn>\n");
    site.write("inc/header.vrn", "x = 1;\n");
}

const std::string nothing_to_do = "make: Nothing to be done for 'all'.\n";

TEST(MakeRun, SelfUpdatingMakefileFollowsTheSite) {
    Site site;
    write_updating_site(site);
    ASSERT_EQ(site.tovik().status, 0);
    auto r = site.make();
    ASSERT_EQ(r.status, 0) << r.err;
    // The language directories the build made are no change of the site.
    EXPECT_EQ(site.make({"-q"}).status, 0);
    EXPECT_EQ(site.make().out, nothing_to_do);

    // A page added is built by a plain make, in both languages.
    site.write("news/2026/new.vrn");
    r = site.make();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 11), "vorn-tovik\n");
    EXPECT_EQ(site.read("it/news/2026/new.html"),
              "--site=demo -p -D_LANG=it -D_REVERT news/2026/new.vrn ./it/news/2026/new.html\n");
    EXPECT_EQ(site.make({"-q"}).status, 0);

    // A page removed leaves the makefile.
    ASSERT_EQ(std::remove(site.path("news/2026/new.vrn").c_str()), 0);
    r = site.make();
    EXPECT_EQ(r.out, "vorn-tovik\n" + nothing_to_do);
    EXPECT_EQ(site.read("Makefile").find("new.vrn"), std::string::npos);

    // An include taken out of its page and deleted: the page is made again, nothing stops make.
    site.write("index.vrn", "<p>no include</p>\n");
    ASSERT_EQ(std::remove(site.path("inc/header.vrn").c_str()), 0);
    r = site.make();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("index.vrn ./index.html\n"), std::string::npos) << r.out;

    // A template newer than anything: the makefile is made again, and is no older than the template after.
    set_time(site, "Makefile.vt", "+1 hour");
    EXPECT_EQ(site.make().out, "vorn-tovik\n" + nothing_to_do);
    EXPECT_EQ(site.make().out, nothing_to_do);
    EXPECT_EQ(site.make({"-q"}).status, 0);

    // A failing vorn-tovik stops make with its message and leaves the makefile as it was.
    const std::string makefile = site.read("Makefile");
    site.write("Makefile.vt", "self-update: \n");
    set_time(site, "Makefile.vt", "+2 hours");
    r = site.make();
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("vorn-tovik: fatal: Wrong template file\n"), std::string::npos) << r.err;
    EXPECT_EQ(site.read("Makefile"), makefile);
}

// What the makefile lists as found is exactly what make's wildcard finds, however entries are named: right
// after vorn-tovik, make sees no change.
TEST(MakeRun, SelfUpdateSeesNoChangeInOddNames) {
    Site site;
    site.write("index.vrn");
    for (const std::string name :
         {"a b.vrn", "h#x.vrn", "d$x.vrn", "vrn", "x\\#y.vrn", "b\\", "t\tab.vrn", "n\nl.vrn", "sp ace/p.vrn",
          "h#d/p.vrn", "$(x)/p.vrn", "dir.vrn/x", "c,d/p.vrn", "p%q/p.vrn", ".hidden/p.vrn", "~t.vrn"})
        site.write(name);
    ASSERT_EQ(symlink("nowhere", site.path("dangling.vrn").c_str()), 0);
    ASSERT_EQ(symlink("sp ace", site.path("link").c_str()), 0);
    ASSERT_EQ(site.tovik({"--self-update", "-i", "-q"}).status, 0);
    const auto r = site.make({"-q"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

// vorn-tovik run again as it was run, whatever its arguments hold; once per run of make at most, even when
// what it finds never settles (here: every run adds a source).
TEST(MakeRun, SelfUpdateRunsTheSameCommandOncePerMake) {
    Site site;
    site.write("index.vrn");
    const std::string odd = "-DQ=it's `touch PWNED` ;touch PWNED \"q\" * \\";
    ASSERT_EQ(site.tovik({"--self-update", "-O", odd, "-s"}).status, 0);
    const std::string makefile = site.read("Makefile");
    // make -q makes a makefile that is out of date, as make does; the page is not made.
    site.write("Makefile.add", "");
    EXPECT_EQ(site.make({"-q"}).status, 1);
    const std::string again = site.read("Makefile");
    EXPECT_NE(again, makefile);
    // The same options for vorn and the same command, quoted for make and the shell.
    const auto line_of = [](const std::string& text, const std::string& start) {
        const std::size_t at = text.find("\n" + start);
        return at == std::string::npos ? std::string()
                                       : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
    };
    EXPECT_EQ(line_of(again, "__vorn_OPTS = "), "__vorn_OPTS =  " + odd + " ");
    EXPECT_EQ(line_of(again, "\tvorn-tovik"),
              "\tvorn-tovik --self-update -O '-DQ=it'\\''s `touch PWNED` ;touch PWNED \"q\" * \\' -s");
    EXPECT_EQ(line_of(again, "\tvorn-tovik"), line_of(makefile, "\tvorn-tovik"));
    EXPECT_FALSE(site.has("PWNED"));

    ASSERT_EQ(site.tovik({"--self-update"}).status, 0);
    // In place of the link to the program, not through it.
    ASSERT_EQ(std::remove((site.bin + "/vorn-tovik").c_str()), 0);
    ts::write_file(site.bin + "/vorn-tovik",
                   "#!/bin/bash\n(exec -a vorn-tovik '" TOVIK_BIN "' \"$@\") && echo >> ../runs && "
                   "touch \"page$(wc -l < ../runs).vrn\" && [ $(wc -l < ../runs) -lt 5 ]\n");
    chmod((site.bin + "/vorn-tovik").c_str(), 0755);
    site.write("new.vrn");
    for (const char* runs : {"\n", "\n\n"}) {
        auto r = site.make();
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(ts::read_file(site.tmp / "runs"), runs);
    }
}

// ---- Names

// A literal of the language holding `text`, between quotes it does not hold.
std::string literal(const std::string& text) {
    for (char quote : {'"', '`', '\''})
        if (text.find(quote) == std::string::npos)
            return quote + text + quote;
    return "<no literal>";
}

// Every byte make reads specially in a name that make can be given: each file, named by one page in one of
// the ways pages name files, is tracked by exactly that page.
TEST(MakeRun, OddNamesAreTrackedByTheirPages) {
    enum Kind { verbatim, fsize, include, dep };
    const std::pair<std::string, Kind> files[] = {
        {"files/a b.txt", verbatim},
        {"files/h#x.txt", fsize},
        {"files/d$x.inc", include},
        {"files/c:x.txt", dep},
        {"files/s*x.txt", verbatim},
        {"files/q?x.inc", include},
        {"files/b[x].txt", fsize},
        {"files/it's \"q\".txt", dep},
        {"files/p%x.txt", verbatim},
        {"files/back\\slash.txt", fsize},
        {"files/a\\ b*.inc", include},
        {"files/ba`ck & !<>{}^,~.txt", verbatim},
        {"~x.txt", dep},
        {"files/trail ", verbatim},
        {"files/caf\xc3\xa9 #1.txt", dep},
    };
    Site site;
    std::vector<std::string> sources;
    for (const auto& [name, kind] : files) {
        const std::string source = "p" + std::to_string(sources.size()) + ".vrn";
        site.write(name, kind == include ? "x = 1;\n" : "x\n");
        const std::string code = kind == verbatim  ? "verbatim(" + literal(name) + ");"
                                 : kind == fsize   ? "echo(fsize(" + literal(name) + ", \"#b\"));"
                                 : kind == include ? "include(" + literal(name) + ");"
                                                   : "// __DEP__ " + name + "\n";
        site.write(source, "<vorn>" + code + "</vorn>\n");
        sources.push_back(source);
    }
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    r = site.make();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(site.make().out, "make: Nothing to be done for 'all'.\n");

    for (std::size_t i = 0; i < sources.size(); ++i) {
        SCOPED_TRACE(files[i].first);
        set_time(site, "*", "2020-01-01 00:00:00");
        set_time(site, "*.html", "2021-01-01 00:00:00");
        EXPECT_EQ(site.make({"-q"}).status, 0);
        ASSERT_EQ(utimensat(AT_FDCWD, site.path(files[i].first).c_str(), nullptr, 0), 0);
        EXPECT_EQ(site.make({"-q"}).status, 1);
        // make -n shows the one recipe that would run.
        r = site.make({"-n"});
        EXPECT_EQ(r.out,
                  "vorn   " + sources[i] + " ./" + sources[i].substr(0, sources[i].size() - 3) + "html\n");
    }
}

// Whatever a page holds and however the site's files and the settings are named, make never runs a
// command of theirs: not while reading the makefile (make -n), nor in any target, and `make clean` removes
// only pages.  Each payload would create a file named PWNED.
TEST(MakeRun, NoNameOrTextRunsACommand) {
    struct Row {
        const char* name;
        std::map<std::string, std::string> files;
        std::vector<std::string> args; // of vorn-tovik
        bool makefile = true;          // whether vorn-tovik writes one
        std::string site = "site";     // the site directory's name
    };
    const Row rows[] = {
        {"__EXT__ markers",
         {{"a.vrn", "<vorn>// __EXT__ html $(shell touch PWNED)\n</vorn>"},
          {"b.vrn", "<vorn>/* __EXT__ html;touch PWNED */</vorn>"},
          {"c.vrn", "<vorn>// __EXT__ html victim.txt\n</vorn>"},
          {"d.vrn", "<vorn>// __EXT__ html`touch PWNED`\r\n</vorn>"},
          {"victim.txt", "keep me\n"}}},
        {"__DEP__ markers",
         {{"a.vrn", "<vorn>// __DEP__ $(shell touch PWNED)\n// __DEP__ x;touch PWNED\n"
                    "// __DEP__ `touch PWNED`\n// __DEP__ $$(shell touch PWNED)\n"
                    "/* __DEP__ y\n\ttouch PWNED */</vorn>"}}},
        {"source and directory names",
         {{"index.vrn", "x\n"},
          {"$(shell touch PWNED).vrn", "x\n"},
          {"x;touch PWNED;.vrn", "x\n"},
          {"`touch PWNED`.vrn", "x\n"},
          {"a\n\ttouch PWNED\n.vrn", "x\n"},
          {"$(shell touch PWNED)/page.vrn", "x\n"},
          {"d;touch PWNED;/page.vrn", "x\n"},
          {"n\nall:;touch PWNED\n/page.vrn", "x\n"}}},
        {"names of included, copied, measured and run files",
         {{"index.vrn", "<vorn>verbatim(\"$(shell touch PWNED)\"); include(\"x;touch PWNED.inc\");\n"
                        "exec(\"`touch PWNED`.sh\"); fsize(\"a\n\ttouch PWNED\", \"#b\");\n"
                        "fdate(\"$$(shell touch PWNED)\", \"%d\"); exec(\"x\n$(shell touch PWNED)\");\n"
                        "include(\"$(shell touch PWNED).inc\");</vorn>"},
          {"x;touch PWNED.inc", "verbatim('`touch PWNED`');\n"},
          {"$(shell touch PWNED).inc", "// __DEP__ $(shell touch PWNED)\n"}}},
        {"extension options", {{"index.vrn", "x\n"}}, {"-t", "html $(shell touch PWNED)"}, false},
        {"extension options", {{"index.vrn", "x\n"}}, {"-S", "vrn;touch PWNED"}, false},
        {"extension settings",
         {{"index.vrn", "x\n"}, {"Makefile.vt", "target-extension:h`touch PWNED`\n"}},
         {},
         false},
        {"extension settings",
         {{"index.vrn", "x\n"}, {"Makefile.vt", "source-extension:$(shell touch PWNED)\n"}},
         {},
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Site site;
        if (row.site != "site") {
            const std::string dir = site.tmp / row.site;
            ASSERT_EQ(rename(site.dir.c_str(), dir.c_str()), 0);
            site.dir = dir;
        }
        for (const auto& [name, text] : row.files)
            site.write(name, text);
        auto r = site.tovik(row.args);
        EXPECT_EQ(site.has("Makefile"), row.makefile) << r.err;
        EXPECT_EQ(r.status, row.makefile ? 0 : 1) << r.err;
        const auto before = ts::read_tree(site.tmp.path());
        if (row.makefile) {
            for (const std::vector<std::string>& args :
                 {std::vector<std::string>{"-n"}, {}, {"clean"}, {"dist"}}) {
                site.make(args);
                if (args == std::vector<std::string>{"clean"}) {
                    // Nothing the site held before is gone.
                    const auto after = ts::read_tree(site.tmp.path());
                    for (const auto& [name, text] : before)
                        EXPECT_EQ(after.count(name), 1u) << name;
                }
            }
        }
        EXPECT_EQ(ts::sh("find . -name PWNED", site.tmp.path()).out, "");
    }
}

// The example site shipped with the sources: every page, the branch's and the translations' included,
// is built, and fragments are not.
TEST(MakeRun, ExampleSite) {
    Site site;
    ASSERT_EQ(ts::sh("cp -R '" SOURCE_ROOT
                     "/examples/site/.' . && rm -rf it out-docs Makefile Makefile.sources .Makefile.deps && "
                     "find . -name '*.html' -exec rm -f {} +",
                     site.dir)
                  .status,
              0);
    auto r = site.tovik();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> outputs = {
        "about/index.html",
        "index.html",
        "it/about/index.html",
        "it/index.html",
        "it/news/2026/item.html",
        "it/out-docs/guide/install.html",
        "it/out-docs/index.html",
        "news/2026/item.html",
        "out-docs/guide/install.html",
        "out-docs/index.html",
    };
    const std::string text = site.read("Makefile");
    const std::size_t start = text.find("TARGETS = ") + 10;
    std::vector<std::string> listed = lines(text.substr(start, text.find("\n\nall:") - start));
    std::vector<std::string> expected;
    for (const std::string& o : outputs)
        expected.push_back("$(prefix)" + o + "\\");
    EXPECT_EQ(listed, expected);

    r = site.make();
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string& o : outputs)
        EXPECT_TRUE(site.has(o)) << o;
    EXPECT_EQ(site.read("out-docs/guide/install.html"),
              "--parents -p -D_SECTION=docs --deps .Makefile.deps/out-docs/guide/install.html.d "
              "docs/guide/install.vrn ./out-docs/guide/install.html\n");
    EXPECT_FALSE(site.has("inc/header.html"));
    EXPECT_EQ(site.make({"-q"}).status, 0);
}

} // namespace
