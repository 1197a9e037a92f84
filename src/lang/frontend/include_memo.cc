#include "lang/frontend/include_memo.h"

#include <unordered_map>

#include "lang/eval/dependency_collector.h"

namespace include_memo {

namespace {

struct Frame {
    std::string key;
    std::string state; // the scanner's, when the file was entered
    int depth;
    int deepest;
    long block;        // where the parser's block for the inclusion lies on its stack
    std::size_t start; // of the file's changes in the log
    std::size_t messages;
    bool spoiled = false;
    bool ended = false; // the text ended, cleanly when not spoiled
    std::size_t stop = 0;
};

// What the store changes while any record is open; each open record owns its tail.
Deps_changes log;
std::vector<Frame> frames;
Dependency_collector* logging_store = nullptr;

std::unordered_map<std::string, std::vector<Entry>> entries;
// The records are held to a bound: a site with endless distinct inclusions reads them as usual.
std::size_t kept_bytes = 0;
constexpr std::size_t kept_limit = std::size_t(4) << 20;
// Records of one file, each for other circumstances (another value of a variable its names read).
constexpr std::size_t records_per_file = 8;

std::size_t weight(const std::string& key, const Deps_changes& changes) {
    std::size_t n = key.size() + sizeof(Entry) + 64;
    for (const Deps_change& c : changes)
        n += sizeof(Deps_change) + c.text.size();
    return n;
}

void stop_logging() {
    if (logging_store)
        logging_store->set_change_log(nullptr);
    logging_store = nullptr;
    log.clear();
}

void pop_frame() {
    frames.pop_back();
    if (frames.empty())
        stop_logging();
}

// Never made again: what is recorded holds a value that may differ the next time.
bool holds_page_value(const Deps_changes& changes) {
    for (const Deps_change& c : changes)
        if (c.kind == Deps_change::page_value)
            return true;
    return false;
}

void keep(Frame& f) {
    Entry e;
    e.changes.assign(log.begin() + static_cast<std::ptrdiff_t>(f.start),
                     log.begin() + static_cast<std::ptrdiff_t>(f.stop));
    e.nested = f.deepest - f.depth;
    if (holds_page_value(e.changes))
        return;
    std::vector<Entry>& records = entries[f.key];
    const std::size_t w = weight(f.key, e.changes);
    if (records.size() < records_per_file && kept_bytes + w <= kept_limit) {
        kept_bytes += w;
        records.push_back(std::move(e));
    }
}

} // namespace

const std::vector<Entry>* find(const std::string& key) {
    auto it = entries.find(key);
    return it == entries.end() ? nullptr : &it->second;
}

void begin(Dependency_collector& store, std::string key, std::string state, int depth, long block,
           std::size_t messages) {
    if (block < 0)
        return;
    auto it = entries.find(key);
    if (it != entries.end() && it->second.size() >= records_per_file)
        return;
    if (logging_store && logging_store != &store)
        abandon();
    frames.push_back(Frame{std::move(key), std::move(state), depth, depth, block, log.size(), messages});
    logging_store = &store;
    store.set_change_log(&log);
}

void reached(int depth) {
    for (Frame& f : frames)
        if (depth > f.deepest)
            f.deepest = depth;
}

void unkept() {
    for (Frame& f : frames)
        f.spoiled = true;
}

// The log holds the file's changes, then the store leaving its directory.
void text_ended(int depth, const std::string& state, std::size_t messages) {
    if (frames.empty() || frames.back().depth != depth || frames.back().ended)
        return;
    Frame& f = frames.back();
    f.ended = true;
    f.stop = log.empty() ? 0 : log.size() - 1;
    if (state != f.state || messages != f.messages || log.size() < f.start + 1 ||
        log.back().kind != Deps_change::leave_include_dir)
        f.spoiled = true;
}

void parsed_end(long height, std::size_t messages) {
    if (frames.empty() || !frames.back().ended)
        return;
    Frame& f = frames.back();
    if (!f.spoiled && height == f.block + 2 && messages == f.messages && log.size() == f.stop + 1)
        keep(f);
    pop_frame();
}

void block_closed(long block) {
    for (Frame& f : frames)
        if (f.block >= block)
            f.spoiled = true;
}

void abandon() {
    frames.clear();
    stop_logging();
}

void clear() {
    abandon();
    entries.clear();
    kept_bytes = 0;
}

} // namespace include_memo
