// The makefile's rules held in blocks, in memory or in a scratch file: given back whole and in order.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "base/block_text.h"

namespace {

std::string pattern_text(std::size_t size) {
    std::string text;
    for (std::size_t i = 0; text.size() < size; ++i)
        text += "rule " + std::to_string(i) + ":\tpage.vrn \\\n\tinc/head.inc\n";
    text.resize(size);
    return text;
}

std::string given(const Block_text& blocks, int* error = nullptr) {
    std::string out;
    const int e = blocks.write([&out](std::string_view piece) { out += piece; });
    if (error)
        *error = e;
    return out;
}

int scratch() {
    std::FILE* f = std::tmpfile();
    return f ? dup(fileno(f)) : -1;
}

TEST(BlockText, GivesBackWhatWasAppendedAcrossBlocks) {
    const std::string text = pattern_text(Block_text::block_size * 2 + 12345);
    for (bool spill : {false, true}) {
        SCOPED_TRACE(spill ? "scratch file" : "memory");
        Block_text blocks;
        if (spill)
            blocks.spill_to(scratch());
        // Pieces of every size, some across a block's end.
        for (std::size_t at = 0, n = 1; at < text.size(); at += n, n = n * 3 % 100003 + 1)
            blocks.append(std::string_view(text).substr(at, n));
        EXPECT_EQ(blocks.size(), text.size());
        int error = -1;
        EXPECT_EQ(given(blocks, &error), text);
        EXPECT_EQ(error, 0);
        blocks.clear();
        EXPECT_TRUE(blocks.empty());
        blocks.append("after clear");
        EXPECT_EQ(given(blocks), "after clear");
    }
}

TEST(BlockText, AScratchFileThatCannotBeWrittenLeavesTheBlocksInMemory) {
    Block_text blocks;
    // Open for reading only: every write fails.
    blocks.spill_to(open("/dev/null", O_RDONLY));
    const std::string text = pattern_text(Block_text::block_size + 7);
    blocks.append(text);
    int error = -1;
    EXPECT_EQ(given(blocks, &error), text);
    EXPECT_EQ(error, 0);
}

TEST(BlockText, ABlockLostFromTheScratchFileIsAnError) {
    Block_text blocks;
    const int fd = scratch();
    ASSERT_GE(fd, 0);
    blocks.spill_to(fd);
    blocks.append(pattern_text(Block_text::block_size + 1));
    ASSERT_EQ(ftruncate(fd, 10), 0);
    int error = 0;
    given(blocks, &error);
    EXPECT_EQ(error, EIO);
}

} // namespace
