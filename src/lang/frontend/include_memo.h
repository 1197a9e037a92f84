// What reading an included file did to the dependency store, kept for the run: a site's pages include the
// same few files thousands of times, and an inclusion made in the same circumstances as one seen before
// makes the same changes again without the file being scanned and parsed.
//
// A record is made again only when nothing that the reading depended on can differ:
// - the same file (by its directory's identity and its name), its contents still those the run keeps;
// - entered in the same scanner state, and left in the state it was entered in;
// - entered at the same parser state (the block the scanner opens for an inclusion), its text parsed
//   within that block and ending at a statement's end, so that the parse goes on exactly as after the
//   record's end (an unbalanced "}" or a missing ";" leaves a file to be read for every page);
// - the reading reported nothing, and making its changes now would report nothing either (no dependency
//   warned about while "__ALWAYS__" is off, no unsafe name);
// - every variable read while names were evaluated has the value it had;
// - nothing in it took a value that differs from page to page or from one evaluation to the next (the
//   page's own names, random numbers, the output of a command or script) or changed a variable;
// - its own inclusions stay within the nesting limit, and were all read from contents the run keeps.
// A file gets a few records, for the different circumstances it is read in; everything else is read as
// usual.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "lang/eval/deps_changes.h"

class Eval_context;

namespace include_memo {

struct Entry {
    Deps_changes changes; // between entering the file and leaving it
    int nested = 0;       // how many levels of inclusion it goes below its own
};

} // namespace include_memo

// The records kept for a pass over a site (part of its Site_cache, lang/frontend/site_cache.h), by the
// file's key, the scanner state and the parser state it was entered in.
class Include_records {
public:
    // The records kept under `key`, or null.
    const std::vector<include_memo::Entry>* find(const std::string& key) const;
    // Whether `key` has all the records it may have.
    bool full(const std::string& key) const;
    // Keeps a record under `key`, unless the key or all records together would grow past their bounds.
    void keep(const std::string& key, include_memo::Entry entry);

private:
    std::unordered_map<std::string, std::vector<include_memo::Entry>> entries_;
    // The records are held to a bound: a site with endless distinct inclusions reads them as usual.
    std::size_t kept_bytes_ = 0;
};

// The records being made by one source scan: the files being read that may yet be recorded, and what the
// store changed while any of them is open.  Without records to keep them in (no pass over a site), nothing
// is recorded.
class Include_memo {
public:
    explicit Include_memo(Include_records* records) : records_(records) {}
    ~Include_memo() { abandon(); }
    Include_memo(const Include_memo&) = delete;
    Include_memo& operator=(const Include_memo&) = delete;

    // The records kept under `key`, or null.
    const std::vector<include_memo::Entry>* find(const std::string& key) const;
    // Starts recording the included file just entered (the store already in its directory), at inclusion
    // depth `depth`, in the scanner state `state`, with the block its inclusion opened at height `block` of
    // the parser's stack; `messages` is the reporter's count of messages so far.  Nothing is recorded when
    // the key has all the records it may have, or when the store keeps no list of its changes.
    void begin(Eval_context& store, std::string key, std::string state, int depth, long block,
               std::size_t messages);
    // A file reached inclusion depth `depth` (entered, or made again from its record).
    void reached(int depth);
    // A file was entered whose contents the run does not keep: none of the files being read is recorded.
    void unkept();
    // The text of the file at `depth` ended (after the store left its directory), the scanner now in
    // `state`.
    void text_ended(int depth, const std::string& state, std::size_t messages);
    // The parser took the end of an included file as a statement at height `height` of its stack: the
    // record of the file that ended last is kept when its text ended cleanly, at a statement's end within
    // its block.
    void parsed_end(long height, std::size_t messages);
    // The parser closed a block that began at height `block`: a file whose text closes the block its
    // inclusion opened is not recorded.
    void block_closed(long block);
    // Forgets the open records (a parse abandoned).
    void abandon();

private:
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
    void stop_logging();
    void pop_frame();
    void keep(Frame& f);

    Include_records* records_;
    // What the store changes while any record is open; each open record owns its tail.
    Deps_changes log_;
    std::vector<Frame> frames_;
    Eval_context* store_logging_ = nullptr;
};
