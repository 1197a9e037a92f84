#include <gtest/gtest.h>

#include "support/test_support.h"

TEST(Cli, BinaryRuns) {
    ts::Temp_dir tmp;
    auto r = ts::run({TOVIK_BIN, "--version"}, {tmp.path(), {}, true, "", "vorn-tovik"});
    EXPECT_EQ(r.status, 0);
}
