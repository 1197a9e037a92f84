// What reading an included file did to the dependency store, kept for the run: a site's pages include the
// same few files thousands of times, and an inclusion made in the same circumstances as one seen before
// makes the same changes again without the file being scanned and parsed.
//
// A file's record is kept only when reading it reported nothing and left the scanner as it found it; it is
// used again only for the same file (by its directory's identity and its name, its contents still kept by
// the run), entered in the same scanner state, when making its changes now reports nothing either and its
// own inclusions stay within the nesting limit.  Everything else is read as usual.
#pragma once

#include <cstddef>
#include <string>

#include "values/deps_changes.h"

class Deps_tree;

namespace include_memo {

struct Entry {
    Deps_changes changes; // between entering the file and leaving it
    int nested = 0;       // how many levels of inclusion it goes below its own
};

// The record kept under `key`, or null.
const Entry* find(const std::string& key);
// Starts recording the included file just entered, at inclusion depth `depth`, in the scanner state
// `state`; `messages` is the reporter's count of messages so far.
void begin(Deps_tree& store, const std::string& key, const std::string& state, int depth,
           std::size_t messages);
// Whether a record is open for the file at `depth`.
bool recording_at(int depth);
// A file reached inclusion depth `depth` (entered, or made again from its record).
void reached(int depth);
// The file at `depth` was left (after the store left its directory), the scanner now in `state`; its record
// is kept when that is the state it was entered in.
void end(Deps_tree& store, int depth, const std::string& state, std::size_t messages);
// Forgets the open records (a parse abandoned).
void abandon();
// Forgets everything.
void clear();

} // namespace include_memo
