// The example site built for real: vorn-tovik writes its makefile, GNU make runs the built vorn on every
// page, a second make has nothing to do, and a changed file rebuilds exactly the pages that depend on it.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <sys/time.h>
#include <vector>

#include "support/site.h"

namespace {

std::string shell_word(const std::string& path) {
    return "'" + path + "'";
}

class ExampleSite : public ::testing::Test {
protected:
    void SetUp() override {
        // The site as it is kept, without what vorn-tovik and make write into it (see the site's .gitignore).
        ASSERT_EQ(ts::sh("cp -a " + shell_word(std::string(SOURCE_ROOT) + "/examples/site") + " " +
                         shell_word(site))
                      .status,
                  0);
        ASSERT_EQ(ts::sh("rm -rf Makefile Makefile.sources .Makefile.deps out-docs it && find . -name "
                         "'*.html' -exec rm -f {} +",
                         site)
                      .status,
                  0);
    }

    // make in the site with the built vorn and vorn-tovik (which the makefile runs again) first on its PATH.
    ts::Run_result make(std::vector<std::string> args = {}) const {
        const std::string vorn = VORN_BIN;
        const std::string tovik = TOVIK_BIN;
        args.insert(args.begin(), {"TZ=UTC0", "make"});
        return ts::run_on_path(std::move(args), site,
                               vorn.substr(0, vorn.rfind('/')) + ":" + tovik.substr(0, tovik.rfind('/')));
    }

    // The pages listed in TARGETS, as make names them ("./index.html").
    std::vector<std::string> targets() const {
        std::vector<std::string> out;
        std::istringstream in(ts::read_file(site + "/Makefile"));
        std::string line;
        while (std::getline(in, line) && line.rfind("TARGETS = ", 0) != 0) {
        }
        for (line.erase(0, 10); !line.empty() && line.back() == '\\'; std::getline(in, line)) {
            line.pop_back();
            EXPECT_EQ(line.rfind("$(prefix)", 0), 0u) << line;
            out.push_back("./" + line.substr(9));
        }
        return out;
    }

    // The outputs of the vorn commands that make ran.
    static std::set<std::string> rebuilt(const std::string& make_output) {
        std::set<std::string> out;
        std::istringstream in(make_output);
        for (std::string line; std::getline(in, line);)
            if (line.rfind("vorn ", 0) == 0)
                out.insert(line.substr(line.rfind(' ') + 1));
        return out;
    }

    void set_time(const std::string& rel, time_t when) const {
        struct timeval times[2] = {{when, 0}, {when, 0}};
        ASSERT_EQ(utimes((site + "/" + rel).c_str(), times), 0) << rel;
    }

    ts::Temp_dir tmp;
    std::string site = tmp / "site";
};

TEST_F(ExampleSite, BuildsEveryPageAndRebuildsWhatDependsOnAChange) {
    const time_t logo_time = 1767323045; // Friday, 2 January 2026, 03:04:05 UTC
    set_time("logo.png", logo_time);

    ts::Run_result r = ts::run_tovik(site, {});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");

    r = make();
    ASSERT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> pages = targets();
    EXPECT_EQ(pages.size(), 10u);
    EXPECT_EQ(rebuilt(r.out), std::set<std::string>(pages.begin(), pages.end()));
    for (const std::string& page : pages)
        EXPECT_TRUE(ts::exists(site + "/" + page)) << page;
    EXPECT_EQ(make({"-q"}).status, 0);

    // The front page uses a file size, a file date and a script; the about page a verbatim copy.
    const std::string logo_size = std::to_string(ts::read_file(site + "/logo.png").size());
    EXPECT_EQ(
        ts::read_file(site + "/index.html"),
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Example site</title>\n"
        "<link rel=\"stylesheet\" href=\"style.css\">\n</head>\n<body>\n"
        "<p class=\"nav\"><a href=\"index.html\">Home</a> | <a href=\"about/index.html\">About</a></p>\n\n"
        "<h1>Welcome</h1>\n"
        "<p>This small site shows how vorn-tovik finds every page and what each page depends on.</p>\n"
        "<p><img src=\"logo.png\" alt=\"logo\"> The logo weighs " +
            logo_size +
            " bytes and was\nlast changed on Friday, 2 January 2026.</p>\n"
            "<p class=\"stamp\">This line was printed by <code>scripts/stamp.sh</code> for index.vrn.</p>\n\n"
            "<p class=\"foot\">Built with Vorn.</p>\n</body>\n</html>\n\n");
    const std::string about = ts::read_file(site + "/about/index.html");
    EXPECT_NE(about.find("<pre>\n" + ts::read_file(site + "/about/notice.txt") + "\n</pre>"),
              std::string::npos)
        << about;
    EXPECT_NE(ts::read_file(site + "/it/out-docs/guide/install.html").find("href=\"../../../style.css\""),
              std::string::npos);

    const std::pair<std::string, std::set<std::string>> changes[] = {
        {"inc/header.vrn", std::set<std::string>(pages.begin(), pages.end())},
        {"about/notice.txt", {"./about/index.html", "./it/about/index.html"}},
        // A translation's rule takes the dependencies of the untranslated source.
        {"scripts/stamp.sh", {"./index.html", "./it/index.html"}},
        {"logo.png", {"./index.html", "./it/index.html"}},
    };
    for (const auto& [changed, expected] : changes) {
        // Everything older than the pages (2020-01-01 00:00:00 UTC), then the one file newer.
        ASSERT_EQ(ts::sh("find . -type f -exec touch -d @1577836800 {} +", site).status, 0);
        for (const std::string& page : pages)
            set_time(page, 1577840400); // 2020-01-01 01:00:00 UTC
        EXPECT_EQ(make({"-q"}).status, 0) << changed;
        set_time(changed, 1577844000);
        EXPECT_EQ(make({"-q"}).status, 1) << changed;
        r = make();
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(rebuilt(r.out), expected) << changed;
        EXPECT_EQ(make({"-q"}).status, 0) << changed;
    }
}

// A page that computes the name of a file it copies: vorn's record of what the page read tracks the file,
// with or without a makefile that remakes itself, and neither the archive nor `make clean` keeps the records.
TEST_F(ExampleSite, RecordsTrackNamesComputedWhileAPageRuns) {
    ts::write_file(site + "/about/computed.vrn", "<vorn>n = \"notice\" + \".txt\"; verbatim(n);</vorn>\n");
    const std::string with_both = ts::read_file(site + "/Makefile.vt");
    for (const std::string& flags : {"", "self-update:\n"}) {
        SCOPED_TRACE(flags.empty() ? "exact-deps: only" : "both");
        ASSERT_EQ(ts::sh("rm -rf .Makefile.deps && find . -name '*.html' -exec rm -f {} +", site).status, 0);
        std::string settings = with_both;
        settings.erase(settings.find("self-update:\n"), 13);
        ts::write_file(site + "/Makefile.vt", flags + settings);
        ts::Run_result r = ts::run_tovik(site, {});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "about/computed.vrn:1: info: unable to get dependency\n");
        ASSERT_EQ(make().status, 0);
        EXPECT_EQ(make({"-q"}).status, 0);

        // Everything older than the pages, then the copied file newer.
        ASSERT_EQ(ts::sh("find . -type f -exec touch -d @1577836800 {} + && "
                         "find . -name '*.html' -exec touch -d @1577840400 {} +",
                         site)
                      .status,
                  0);
        set_time("about/notice.txt", 1577844000);
        r = make();
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(rebuilt(r.out), (std::set<std::string>{"./about/computed.html", "./it/about/computed.html",
                                                         "./about/index.html", "./it/about/index.html"}));
        EXPECT_EQ(make({"-q"}).status, 0);

        ASSERT_EQ(make({"dist"}).status, 0);
        r = ts::sh("tar tzf site.tar.gz | grep -c '[.]d$'", site);
        EXPECT_EQ(r.out, "0\n");
        ASSERT_EQ(make({"clean"}).status, 0);
        EXPECT_FALSE(ts::exists(site + "/.Makefile.deps"));
    }
}

} // namespace
