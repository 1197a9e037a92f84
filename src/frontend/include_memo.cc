#include "frontend/include_memo.h"

#include <unordered_map>
#include <vector>

#include "values/tree.h"

namespace include_memo {

namespace {

struct Frame {
    std::string key;
    std::string state; // the scanner's, when the file was entered
    int depth;
    int deepest;
    std::size_t start; // of the file's changes in the log
    std::size_t messages;
};

// What the store changes while any record is open; each open record owns its tail.
Deps_changes log;
std::vector<Frame> frames;
Deps_tree* logging_store = nullptr;

std::unordered_map<std::string, Entry> entries;
// The records are held to a bound: a site with endless distinct inclusions reads them as usual.
std::size_t kept_bytes = 0;
constexpr std::size_t kept_limit = std::size_t(4) << 20;

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

} // namespace

const Entry* find(const std::string& key) {
    auto it = entries.find(key);
    return it == entries.end() ? nullptr : &it->second;
}

void begin(Deps_tree& store, const std::string& key, const std::string& state, int depth,
           std::size_t messages) {
    if (logging_store && logging_store != &store)
        abandon();
    frames.push_back(Frame{key, state, depth, depth, log.size(), messages});
    logging_store = &store;
    store.set_change_log(&log);
}

bool recording_at(int depth) {
    return !frames.empty() && frames.back().depth == depth;
}

void reached(int depth) {
    for (Frame& f : frames)
        if (depth > f.deepest)
            f.deepest = depth;
}

void end(Deps_tree& store, int depth, const std::string& state, std::size_t messages) {
    if (!recording_at(depth))
        return;
    Frame f = std::move(frames.back());
    frames.pop_back();
    // The log holds the store entering the file's directory, the file's changes, and the store leaving it.
    const std::size_t stop = log.size();
    const bool clean = state == f.state && messages == f.messages && &store == logging_store &&
                       stop >= f.start + 2 && log[f.start].kind == Deps_change::refresh &&
                       log[stop - 1].kind == Deps_change::undo_refresh;
    if (clean && entries.find(f.key) == entries.end()) {
        Entry e;
        e.changes.assign(log.begin() + static_cast<std::ptrdiff_t>(f.start) + 1,
                         log.begin() + static_cast<std::ptrdiff_t>(stop) - 1);
        e.nested = f.deepest - f.depth;
        const std::size_t w = weight(f.key, e.changes);
        if (kept_bytes + w <= kept_limit) {
            kept_bytes += w;
            entries.emplace(std::move(f.key), std::move(e));
        }
    }
    if (frames.empty())
        stop_logging();
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
