// GNU make on the makefiles vorn-tovik writes, with a stand-in `vorn` on the PATH that writes its
// arguments into the output file it is given.
#include <gtest/gtest.h>

#include <algorithm>
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
    EXPECT_EQ(r.out, "touch site.tar.gz && cd ../ && \\\n"
                     "tar chzf site/site.tar.gz \\\n"
                     "-X site/Makefile.sources site && \\\n"
                     "cd site\n");
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

TEST(MakeRun, RefusedNameNeverReachesMake) {
    Site site;
    site.write("index.vrn");
    site.write("$(shell touch pwned).vrn");
    site.write("sub dir/page.vrn");
    auto r = site.tovik({"--ignore-errors", "--quiet"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    r = site.make();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(site.read("index.html"), "index.vrn ./index.html\n");
    EXPECT_FALSE(site.has("pwned"));
    EXPECT_FALSE(ts::exists(site.tmp / "pwned"));
}

// The example site shipped with the sources: every page, the branch's and the translations' included,
// is built, and fragments are not.
TEST(MakeRun, ExampleSite) {
    Site site;
    ASSERT_EQ(ts::sh("cp -R '" SOURCE_ROOT
                     "/examples/site/.' . && rm -rf it out-docs Makefile Makefile.sources && "
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
              "--parents -p -D_SECTION=docs docs/guide/install.vrn ./out-docs/guide/install.html\n");
    EXPECT_FALSE(site.has("inc/header.html"));
    EXPECT_EQ(site.make({"-q"}).status, 0);
}

} // namespace
