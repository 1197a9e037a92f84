#include "values/block_text.h"

#include <algorithm>

void Block_text::append(std::string_view text) {
    size_ += text.size();
    while (!text.empty()) {
        if (blocks_.empty() || blocks_.back().size() == block_size) {
            blocks_.emplace_back();
            blocks_.back().reserve(block_size);
        }
        std::string& last = blocks_.back();
        const std::size_t n = std::min(text.size(), block_size - last.size());
        last.append(text.data(), n);
        text.remove_prefix(n);
    }
}

void Block_text::write(const std::function<void(std::string_view)>& put) const {
    for (const std::string& block : blocks_)
        put(block);
}

void Block_text::clear() {
    std::vector<std::string>().swap(blocks_);
    size_ = 0;
}
