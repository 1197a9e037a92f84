#include "os/read_open.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

TEST(CanRead, ExistingAndMissing) {
    ts::Temp_dir tmp;
    ts::write_file(tmp / "f", "x");
    EXPECT_TRUE(can_read(tmp / "f"));
    EXPECT_FALSE(can_read(tmp / "g"));
}

} // namespace
