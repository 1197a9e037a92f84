#include "tovik/run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/test_support.h"

namespace {

// A run that ends in a fatal error deep in the walk, inside an included file of a subdirectory, unwinds to
// the entry with its status and leaves the process in the directory it started in.
TEST(TovikRun, FatalErrorInAnIncludedFileLeavesTheDirectoryAsItWas) {
    ts::Temp_dir site;
    ts::write_file(site / "sub/page.vrn", "<vorn>include(\"inc/self.inc\");</vorn>\n");
    ts::write_file(site / "sub/inc/self.inc", "include(\"self.inc\");\n");
    const std::string home = ts::current_dir();
    ASSERT_EQ(chdir(site.path().c_str()), 0);
    const std::string start = ts::current_dir();

    char name[] = "vorn-tovik";
    char* argv[] = {name, nullptr};
    int status = 0;
    std::string err;
    {
        ts::Stderr_capture capture;
        try {
            tovik_main(1, argv);
        } catch (const ts::Process_ended& end) {
            status = end.status;
        }
        err = capture.text();
    }
    const std::string after = ts::current_dir();
    ASSERT_EQ(chdir(home.c_str()), 0);

    EXPECT_EQ(status, 1);
    EXPECT_EQ(after, start);
    const std::string tail = "fatal: include nested too deep\n";
    ASSERT_GE(err.size(), tail.size());
    EXPECT_EQ(err.substr(err.size() - tail.size()), tail);
    EXPECT_FALSE(ts::exists(site / "Makefile"));
}

} // namespace
