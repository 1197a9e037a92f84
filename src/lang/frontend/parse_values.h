// The heap values that live on the parser's stacks: nodes built and not yet given to a parent or to the
// store, and the names and constants the scanner made for its tokens.  Every such value is tracked here from
// the moment it is made until something takes it over, so that a parse ended in the middle (a syntax error,
// or a fatal error that unwinds the parser in tests and fuzzing) can free exactly what it still held.
//
// Tracking costs no lookup: a node knows its place in the list of tracked nodes, and a token value is a
// slot of a pool whose slots are used again once their value has been taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "lang/eval/node.h"
#include "lang/values/gen_type.h"

namespace parse_values {

// A token value on the parser's stack: an identifier's name or a constant's value, with its place in the
// pool.
struct Name {
    std::string text;
    int32_t slot = -1;
};
struct Value {
    Gen_type value;
    int32_t slot = -1;
};

// A new node: tracked, then registered with the current store (which stamps it and, for the dependency
// store, runs its deps).  Returns the node.
Node* reg(Node* node);
// A parent takes the node over.
Node_ptr take(Node* node);
// The store takes the node over (a completed top-level statement, complete_statement follows).
void hand_over(Node* node);
// A value the parser threw away (bison's %destructor).
void discard(Node* node);

// Token values made by the scanner.
Name* new_name(const char* text, std::size_t length);
std::string take_name(Name* name);
void discard(Name* name);
Value* new_value(Gen_type value);
Gen_type take_value(Value* value);
void discard(Value* value);

// The parser's stack blocks beyond its first 200 entries (bison's YYMALLOC and YYFREE).
void* stack_alloc(std::size_t size);
void stack_free(void* block);

// Frees everything still tracked.  Only for a parse that will never resume.
void release_all();
// How many values are tracked (stack blocks excluded).
std::size_t live_count();

} // namespace parse_values
