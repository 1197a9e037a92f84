#include "os/work_dir.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/paths.h"
#include "diag/reporter.h"
#include "support/test_support.h"

namespace {

std::string real_path(const std::string& path) {
    char* real = realpath(path.c_str(), nullptr);
    std::string out = real ? real : "";
    std::free(real);
    return out;
}

// Runs in a fresh directory and comes back to where the test started, however deep it went.
class WorkDir : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(wd.change_dir(tmp.path())); }
    void TearDown() override {
        EXPECT_TRUE(home.go_back());
        // Deeper than the path limit: only rm takes it down.
        ts::sh("rm -rf " + tmp.path() + "/*");
    }
    Reporter rep;
    Work_dir wd{rep};
    Dir_return home{wd};
    ts::Temp_dir tmp;
};

// Far deeper than the system can name: the text follows the walk, working_dir answers from it, and the
// walk and an inclusion's way back come up again.
TEST_F(WorkDir, WalkBelowThePathLimitAndBack) {
    const std::string top = real_path(tmp.path());
    ASSERT_EQ(wd.current_dir(), top);
    std::vector<Dir_mark> marks;
    std::string expected = top;
    const std::string name(20, 'd');
    while (expected.size() <= 2 * PATH_MAX) {
        ASSERT_EQ(mkdir(name.c_str(), 0755), 0);
        marks.push_back(wd.mark_dir());
        ASSERT_TRUE(wd.change_dir(name));
        expected += "/" + name;
    }
    EXPECT_EQ(wd.working_dir(), expected);

    {
        const Dir_return bottom(wd);
        ASSERT_EQ(mkdir("inc", 0755), 0);
        ASSERT_TRUE(wd.change_dir("inc/../inc/"));
        EXPECT_EQ(wd.current_dir(), expected + "/inc");
        ASSERT_TRUE(bottom.go_back());
        EXPECT_EQ(wd.current_dir(), expected);
    }

    for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
        ASSERT_TRUE(wd.return_to(*it));
        ASSERT_EQ(wd.current_dir(), wd.marked_path(*it));
    }
    EXPECT_EQ(wd.current_dir(), top);
}

// A subdirectory reached through a symbolic link has its ".." elsewhere: the way back takes the marked
// path.  A path holding "/" is named as the system names it, symbolic links resolved.
TEST_F(WorkDir, SymbolicLinksOnTheWay) {
    const std::string top = real_path(tmp.path());
    ts::make_dirs(tmp / "far/away");
    ts::make_dirs(tmp / "walk");
    ASSERT_EQ(symlink("../far/away", (tmp / "walk/link").c_str()), 0);
    ASSERT_TRUE(wd.change_dir("walk"));
    const Dir_mark walk = wd.mark_dir();
    ASSERT_TRUE(wd.change_dir("link"));
    EXPECT_EQ(wd.current_dir(), top + "/walk/link");
    ASSERT_TRUE(wd.return_to(walk));
    EXPECT_EQ(wd.current_dir(), top + "/walk");
    EXPECT_EQ(real_path("."), top + "/walk");

    ASSERT_TRUE(wd.change_dir("link/"));
    EXPECT_EQ(wd.current_dir(), top + "/far/away");
    ASSERT_TRUE(wd.change_dir("../.."));
    EXPECT_EQ(wd.current_dir(), top);
}

// A change made behind its back (a plain chdir) is noticed.
TEST_F(WorkDir, NoticesAChangeItDidNotMake) {
    const std::string top = real_path(tmp.path());
    ts::make_dirs(tmp / "sub");
    ASSERT_EQ(wd.current_dir(), top);
    ASSERT_EQ(chdir("sub"), 0);
    EXPECT_EQ(wd.current_dir(), top + "/sub");
    EXPECT_FALSE(wd.change_dir("missing"));
    EXPECT_EQ(wd.current_dir(), top + "/sub");
}

// Runs a body inside a directory and returns to where the test started.
class In_dir {
public:
    explicit In_dir(const std::string& dir) : back_(ts::current_dir()) { EXPECT_EQ(chdir(dir.c_str()), 0); }
    ~In_dir() { EXPECT_EQ(chdir(back_.c_str()), 0); }

private:
    std::string back_;
};

TEST(WorkingDir, LongerThanFirstBuffer) {
    Reporter rep;
    Work_dir wd(rep);
    ts::Temp_dir tmp;
    std::string deep = tmp.path();
    for (int i = 0; i < 12; ++i)
        deep += "/a-directory-name-of-some-length";
    ts::make_dirs(deep);
    ASSERT_GT(deep.size(), 300u);
    In_dir in(deep);
    char real[8192];
    ASSERT_NE(getcwd(real, sizeof real), nullptr);
    EXPECT_EQ(wd.working_dir(), real);
}

TEST(Depths, PathAndWorkingDirectoryAgree) {
    Reporter rep;
    Work_dir wd(rep);
    ts::Temp_dir tmp;
    ts::make_dirs(tmp / "u/site");
    In_dir in(tmp / "u/site");
    const std::string here = wd.working_dir();
    EXPECT_EQ(wd.absolute_path("./"), here + "/./");
    EXPECT_EQ(normalize_path(wd.absolute_path("./"), true), here + "/");
    EXPECT_EQ(wd.absolute_path("/etc/x"), "/etc/x");
    EXPECT_EQ(wd.path_depth("./"), wd.cwd_depth());
    EXPECT_EQ(wd.path_depth("a/b/page.html"), wd.cwd_depth() + 2);
    EXPECT_EQ(wd.path_depth("../x.html"), wd.cwd_depth() - 1);
}

TEST(EnterDirPart, ChangesOnlyWhenThereIsADirectory) {
    Reporter rep;
    Work_dir wd(rep);
    ts::Temp_dir tmp;
    ts::make_dirs(tmp / "sub");
    In_dir in(tmp.path());
    std::string start = wd.working_dir();
    EXPECT_FALSE(wd.enter_dir_part("file.vrn"));
    EXPECT_EQ(wd.working_dir(), start);
    EXPECT_TRUE(wd.enter_dir_part("missing/file.vrn"));
    EXPECT_EQ(wd.working_dir(), start);
    EXPECT_FALSE(wd.enter_dir_part("sub/file.vrn"));
    EXPECT_EQ(wd.working_dir(), start + "/sub");
}

} // namespace
