// A long text written once, in order, and read back once, whole (the rules of a site's makefile): kept in
// blocks of 1 MiB, so that growing it never copies what it holds.  Given a scratch file, every full block
// goes there instead of staying in memory, so that what a run holds does not grow with its site.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

class Block_text {
public:
    Block_text() = default;
    ~Block_text();
    Block_text(const Block_text&) = delete;
    Block_text& operator=(const Block_text&) = delete;

    // Full blocks go to `fd` (an unlinked file, closed with this text) from now on; a block that cannot be
    // written there stays in memory.
    void spill_to(int fd);
    void append(std::string_view text);
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    // Gives the whole text piece by piece, in order: 0, or the error number of a block that could not be
    // read back from the scratch file (the pieces before it were given).
    int write(const std::function<void(std::string_view)>& put) const;
    void clear();

    static constexpr std::size_t block_size = std::size_t(1) << 20;

private:
    struct Block {
        std::string text; // empty once written to the scratch file
        off_t offset = -1;
        std::size_t size = 0;
    };
    void spill_last();

    std::vector<Block> blocks_; // every block but the last is full
    std::size_t size_ = 0;
    int fd_ = -1;
    off_t spilled_ = 0;
};
