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
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

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

// A pool of token values: `live` holds the values in use, each knowing its index there; `spare` the
// values whose contents were taken, ready for the next token (their text keeps its room).
template <class T> struct Pool {
    std::vector<T*> live;
    std::vector<std::unique_ptr<T>> spare;

    T* get();
    // Out of the live list; false when it was not there.
    bool untrack(T* v);
    void put_back(T* v) { spare.emplace_back(v); }
    void release();
};

} // namespace parse_values

// The values tracked for one parser: one per source scan (lang/frontend/parser.h).
class Parse_values {
public:
    Parse_values() = default;
    ~Parse_values() { release_all(); }
    Parse_values(const Parse_values&) = delete;
    Parse_values& operator=(const Parse_values&) = delete;

    // A new node: tracked, then registered with the current store (which stamps it and, for the dependency
    // store, runs its deps).  Returns the node.
    Node* reg(Eval_context& store, Node* node);
    // A parent takes the node over.
    Node_ptr take(Node* node);
    // The store takes the node over (a completed top-level statement, on_statement_complete follows).
    void hand_over(Node* node);
    // A value the parser threw away (bison's %destructor).
    void discard(Node* node);

    // Token values made by the scanner.
    parse_values::Name* new_name(const char* text, std::size_t length);
    std::string take_name(parse_values::Name* name);
    void discard(parse_values::Name* name);
    parse_values::Value* new_value(Gen_type value);
    Gen_type take_value(parse_values::Value* value);
    void discard(parse_values::Value* value);

    // The parser's stack blocks beyond its first 200 entries (bison's YYMALLOC and YYFREE).
    void* stack_alloc(std::size_t size);
    void stack_free(void* block);

    // Frees everything still tracked.  Only for a parse that will never resume.
    void release_all();
    // How many values are tracked (stack blocks excluded).
    std::size_t live_count() const;

private:
    void track(Node* node);
    bool untrack(Node* node);

    std::vector<Node*> nodes_; // each knows its index
    parse_values::Pool<parse_values::Name> names_;
    parse_values::Pool<parse_values::Value> values_;
    std::unordered_set<void*> blocks_;
};
