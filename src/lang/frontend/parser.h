// Parsing a Vorn source for the current store (g_store): every node the parser builds is registered with
// the store at once, and every completed top-level statement is handed to it (complete_statement).
#pragma once

#include <cstdio>
#include <string>

// Parses the main source read from `f`, starting in plain-text mode.  The caller has set g_store, pointed the
// reporter at the source (set_file) and, for the dependency store, set its directory and names.  Returns 0
// when the source was accepted, 1 when the parse stopped on a syntax error or a full parser stack; a parse
// that stopped has already been abandoned (abandon_parse).
int parse_file(std::FILE* f);
// The same for a main source held in a string (tests, fuzzing).
int parse_string(const std::string& text);

// Cleans up after a parse that stopped before the end of its source: closes the included files still open,
// returns to the directory that was current when the main source started, takes the reporter back out of
// the included files, forgets the scanner's modes and the type-capture state, frees the values the parser
// still held and clears the dependency store's per-source state (Dependency_collector::reset_source_state).
// parse_file and parse_string do this themselves, also when the end of the run unwinds them (tests); harmless
// when nothing is left to clean.
void abandon_parse();

// abandon_parse, then releases everything the scanner holds: the state of a process that has parsed nothing
// (between fuzz inputs, whatever way the last one ended).
void reset_front_end();
