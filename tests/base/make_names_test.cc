#include "base/make_names.h"

#include <gtest/gtest.h>

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

// Each name as make must read it (checked with GNU make 4.3: touching the file makes the target out of
// date, touching the files an unescaped reading would name does not).
TEST(MakeNames, PrerequisitesAreEscaped) {
    const struct {
        const char* name;
        const char* written;
    } rows[] = {
        {"", ""},
        {"sub/plain-name_1.txt", "sub/plain-name_1.txt"},
        {"a b", "a\\ b"},
        {"h#x", "h\\#x"},
        {"d$x", "d$$x"},
        {"c:x", "c\\:x"},
        {"s*x", "s\\*x"},
        {"q?x", "q\\?x"},
        {"b[x]", "b\\[x]"},
        {"p%x&!<>{}^,~'\"`", "p%x&!<>{}^,~'\"`"},
        {"caf\xc3\xa9", "caf\xc3\xa9"},
        {"back\\slash", "back\\slash"},
        // Backslashes before a byte make reads specially are doubled; in a pattern, every one is.
        {"a\\ b", "a\\\\\\ b"},
        {"a\\#b", "a\\\\\\#b"},
        {"a\\$b", "a\\$$b"},
        {"a\\b*", "a\\\\b\\*"},
        {"a\\ b*", "a\\\\\\\\\\ b\\*"},
        // A leading "~" is no home directory, a final blank is not joined with the line break's blanks.
        {"~", "[~]"},
        {"~/x y", "[~]/x\\ y"},
        {"sub/~x", "sub/~x"},
        {"trail ", "trail[\\ ]"},
        {"dir /x", "dir\\ /x"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_TRUE(expressible_prerequisite(row.name));
        EXPECT_EQ(escaped_prerequisite(row.name), row.written);
        // What a record of vorn --deps may carry back into a makefile.
        EXPECT_EQ(escaped_prerequisite_text(row.written), *row.name != '\0');
    }
}

// As a rule's target, "%" would make the rule a pattern rule (checked with GNU make 4.3: "p\\%x:" is the
// rule of the prerequisite "p%x", "a\\\\\\%b:" that of "a\\%b").
TEST(MakeNames, TargetsKeepTheirPercentSigns) {
    EXPECT_EQ(target_text("sub/plain.txt"), "sub/plain.txt");
    EXPECT_EQ(target_text("p%x"), "p\\%x");
    EXPECT_EQ(target_text("a\\%b%"), "a\\\\\\%b\\%");
    EXPECT_EQ(target_text("a\\ b\\"), "a\\ b\\");
}

// A record's text that make would read as more than one file, as a command or as a variable is refused.
TEST(MakeNames, RecordTextsOnlyAsEscaped) {
    for (const std::string& text :
         std::vector<std::string>{"a b", "h#x", "c:x", "d$x", "$(shell x)", "${x}", "x;y", "a=b", "p|q",
                                  "tr\\", "a\\\\ b", "n\nx", "x$"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(escaped_prerequisite_text(text));
    }
}

TEST(MakeNames, NamesMakeCannotExpress) {
    for (const std::string& name :
         std::vector<std::string>{"se;mi", "pi|pe", "eq=x", "pa(r)", "x)", "tab\there", "cr\r", "nl\nx",
                                  std::string("nul\0x", 5), "del\x7f", "tr\\", " ", "   "}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(expressible_prerequisite(name));
    }
}

} // namespace
