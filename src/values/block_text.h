// A long text written once, in order, and read back once, whole (the rules of a site's makefile): kept in
// blocks of 1 MiB, so that growing it never copies what it holds and it never takes much more room than
// its text.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class Block_text {
public:
    void append(std::string_view text);
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    // Gives the whole text piece by piece, in order.
    void write(const std::function<void(std::string_view)>& put) const;
    void clear();

    static constexpr std::size_t block_size = std::size_t(1) << 20;

private:
    std::vector<std::string> blocks_; // every block but the last is full
    std::size_t size_ = 0;
};
