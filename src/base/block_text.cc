#include "base/block_text.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

Block_text::~Block_text() {
    if (fd_ >= 0)
        close(fd_);
}

void Block_text::spill_to(int fd) {
    if (fd_ >= 0)
        close(fd_);
    fd_ = fd;
    spilled_ = 0;
}

void Block_text::append(std::string_view text) {
    size_ += text.size();
    while (!text.empty()) {
        if (blocks_.empty() || blocks_.back().size == block_size) {
            blocks_.emplace_back();
            blocks_.back().text.reserve(block_size);
        }
        Block& last = blocks_.back();
        const std::size_t n = std::min(text.size(), block_size - last.size);
        last.text.append(text.data(), n);
        last.size += n;
        text.remove_prefix(n);
        if (last.size == block_size)
            spill_last();
    }
}

void Block_text::spill_last() {
    Block& last = blocks_.back();
    if (fd_ < 0)
        return;
    std::size_t done = 0;
    while (done < last.size) {
        const ssize_t n = pwrite(fd_, last.text.data() + done, last.size - done, spilled_ + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += std::size_t(n);
    }
    last.offset = spilled_;
    spilled_ += off_t(last.size);
    std::string().swap(last.text);
}

int Block_text::write(const std::function<void(std::string_view)>& put) const {
    std::string room;
    for (const Block& block : blocks_) {
        if (block.offset < 0) {
            put(block.text);
            continue;
        }
        room.resize(block.size);
        std::size_t done = 0;
        while (done < block.size) {
            const ssize_t n = pread(fd_, &room[done], block.size - done, block.offset + off_t(done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return n == 0 ? EIO : errno;
            done += std::size_t(n);
        }
        put(room);
    }
    return 0;
}

void Block_text::clear() {
    std::vector<Block>().swap(blocks_);
    size_ = 0;
    spilled_ = 0;
}
