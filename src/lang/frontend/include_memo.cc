#include "lang/frontend/include_memo.h"

#include "lang/eval/eval_context.h"

using include_memo::Entry;

namespace {

constexpr std::size_t kept_limit = std::size_t(4) << 20;
// Records of one file, each for other circumstances (another value of a variable its names read).
constexpr std::size_t records_per_file = 8;

std::size_t weight(const std::string& key, const Deps_changes& changes) {
    std::size_t n = key.size() + sizeof(Entry) + 64;
    for (const Deps_change& c : changes)
        n += sizeof(Deps_change) + c.text.size();
    return n;
}

// Never made again: what is recorded holds a value that may differ the next time.
bool holds_page_value(const Deps_changes& changes) {
    for (const Deps_change& c : changes)
        if (c.kind == Deps_change::page_value)
            return true;
    return false;
}

} // namespace

const std::vector<Entry>* Include_records::find(const std::string& key) const {
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : &it->second;
}

bool Include_records::full(const std::string& key) const {
    auto it = entries_.find(key);
    return it != entries_.end() && it->second.size() >= records_per_file;
}

void Include_records::keep(const std::string& key, Entry entry) {
    std::vector<Entry>& records = entries_[key];
    const std::size_t w = weight(key, entry.changes);
    if (records.size() < records_per_file && kept_bytes_ + w <= kept_limit) {
        kept_bytes_ += w;
        records.push_back(std::move(entry));
    }
}

const std::vector<Entry>* Include_memo::find(const std::string& key) const {
    return records_ ? records_->find(key) : nullptr;
}

void Include_memo::stop_logging() {
    if (store_logging_)
        store_logging_->log_changes(nullptr);
    store_logging_ = nullptr;
    log_.clear();
}

void Include_memo::pop_frame() {
    frames_.pop_back();
    if (frames_.empty())
        stop_logging();
}

void Include_memo::keep(Frame& f) {
    Entry e;
    e.changes.assign(log_.begin() + static_cast<std::ptrdiff_t>(f.start),
                     log_.begin() + static_cast<std::ptrdiff_t>(f.stop));
    e.nested = f.deepest - f.depth;
    if (!holds_page_value(e.changes))
        records_->keep(f.key, std::move(e));
}

void Include_memo::begin(Eval_context& store, std::string key, std::string state, int depth, long block,
                         std::size_t messages) {
    if (block < 0 || !records_ || records_->full(key))
        return;
    if (store_logging_ && store_logging_ != &store)
        abandon();
    if (!store.log_changes(&log_))
        return;
    frames_.push_back(Frame{std::move(key), std::move(state), depth, depth, block, log_.size(), messages});
    store_logging_ = &store;
}

void Include_memo::reached(int depth) {
    for (Frame& f : frames_)
        if (depth > f.deepest)
            f.deepest = depth;
}

void Include_memo::unkept() {
    for (Frame& f : frames_)
        f.spoiled = true;
}

// The log holds the file's changes, then the store leaving its directory.
void Include_memo::text_ended(int depth, const std::string& state, std::size_t messages) {
    if (frames_.empty() || frames_.back().depth != depth || frames_.back().ended)
        return;
    Frame& f = frames_.back();
    f.ended = true;
    f.stop = log_.empty() ? 0 : log_.size() - 1;
    if (state != f.state || messages != f.messages || log_.size() < f.start + 1 ||
        log_.back().kind != Deps_change::leave_include_dir)
        f.spoiled = true;
}

void Include_memo::parsed_end(long height, std::size_t messages) {
    if (frames_.empty() || !frames_.back().ended)
        return;
    Frame& f = frames_.back();
    if (!f.spoiled && height == f.block + 2 && messages == f.messages && log_.size() == f.stop + 1)
        keep(f);
    pop_frame();
}

void Include_memo::block_closed(long block) {
    for (Frame& f : frames_)
        if (f.block >= block)
            f.spoiled = true;
}

void Include_memo::abandon() {
    frames_.clear();
    stop_logging();
}
