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
#include <vector>

#include "lang/eval/deps_changes.h"

class Dependency_collector;

namespace include_memo {

struct Entry {
    Deps_changes changes; // between entering the file and leaving it
    int nested = 0;       // how many levels of inclusion it goes below its own
};

// The records kept under `key`, or null.
const std::vector<Entry>* find(const std::string& key);
// Starts recording the included file just entered (the store already in its directory), at inclusion
// depth `depth`, in the scanner state `state`, with the block its inclusion opened at height `block` of the
// parser's stack; `messages` is the reporter's count of messages so far.  Nothing is recorded when the key
// has all the records it may have.
void begin(Dependency_collector& store, std::string key, std::string state, int depth, long block,
           std::size_t messages);
// A file reached inclusion depth `depth` (entered, or made again from its record).
void reached(int depth);
// A file was entered whose contents the run does not keep: none of the files being read is recorded.
void unkept();
// The text of the file at `depth` ended (after the store left its directory), the scanner now in `state`.
void text_ended(int depth, const std::string& state, std::size_t messages);
// The parser took the end of an included file as a statement at height `height` of its stack: the record
// of the file that ended last is kept when its text ended cleanly, at a statement's end within its block.
void parsed_end(long height, std::size_t messages);
// The parser closed a block that began at height `block`: a file whose text closes the block its inclusion
// opened is not recorded.
void block_closed(long block);
// Forgets the open records (a parse abandoned).
void abandon();
// Forgets everything.
void clear();

} // namespace include_memo
