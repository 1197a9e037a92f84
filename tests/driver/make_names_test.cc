#include "driver/make_names.h"

#include <gtest/gtest.h>

#include "diag/reporter.h"
#include "support/test_support.h"

namespace {

TEST(MakeNames, EverySpecialByteIsUnsafe) {
    std::string special = "$#:;=%\"'`\\*?[](){}<>|&!~^";
    special += std::string("\0", 1);
    for (int c = 1; c <= 0x20; ++c)
        special += static_cast<char>(c);
    special += '\x7f';
    for (char c : special) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c)));
        EXPECT_TRUE(unsafe_make_name(std::string("dir/a") + c + "b.txt"));
        EXPECT_TRUE(unsafe_make_name(std::string(1, c)));
    }
}

TEST(MakeNames, PlainNamesAreSafe) {
    for (const std::string name : {"", "index.vrn", "/etc/motd", "../img/./logo.png", "a-b_c+d,e@f.g",
                                   "caf\xc3\xa9.txt", "\x80\xff"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(unsafe_make_name(name));
    }
}

// The refusal is an error at the current location: it ends the run unless errors are ignored.
TEST(MakeNames, RefusalIsAnErrorNamingThePath) {
    for (Policy policy : {Policy::normal, Policy::ignore_errors}) {
        reporter().reset();
        reporter().set_policy(policy);
        reporter().set_file("sub/page.vrn");
        ts::Exit_trap trap;
        ts::Stderr_capture cap;
        int status = -1;
        bool refused = false;
        try {
            EXPECT_FALSE(refuse_unsafe_dependency("sub/plain.txt"));
            refused = refuse_unsafe_dependency("sub/a b.txt");
        } catch (const ts::Process_ended& e) {
            status = e.status;
        }
        EXPECT_EQ(cap.text(),
                  "sub/page.vrn:1: sub/a b.txt: dependency name holds characters that make or the "
                  "shell read specially; not recorded\n");
        EXPECT_EQ(status, policy == Policy::normal ? 1 : -1);
        EXPECT_EQ(refused, policy == Policy::ignore_errors);
    }
    reporter().reset();
}

} // namespace
