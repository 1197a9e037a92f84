#include "frontend/parse_values.h"

#include <cstdlib>
#include <unordered_set>

#include "values/tree.h"

namespace parse_values {

namespace {

// Function-local so that they exist whenever the first token is made, whatever the order of start-up.
std::unordered_set<Node*>& nodes() {
    static auto* set = new std::unordered_set<Node*>();
    return *set;
}
std::unordered_set<std::string*>& names() {
    static auto* set = new std::unordered_set<std::string*>();
    return *set;
}
std::unordered_set<Gen_type*>& values() {
    static auto* set = new std::unordered_set<Gen_type*>();
    return *set;
}
std::unordered_set<void*>& blocks() {
    static auto* set = new std::unordered_set<void*>();
    return *set;
}

} // namespace

// Tracked before registration: the store's deps may end the parse, and the node must then still be freed.
Node* reg(Node* node) {
    nodes().insert(node);
    g_store->add_statement(node);
    return node;
}

Node_ptr take(Node* node) {
    nodes().erase(node);
    return Node_ptr(node);
}

void hand_over(Node* node) {
    nodes().erase(node);
}

void discard(Node* node) {
    if (node && nodes().erase(node))
        delete node;
}

std::string* new_name(const char* text, std::size_t length) {
    auto* name = new std::string(text, length);
    names().insert(name);
    return name;
}

std::string take_name(std::string* name) {
    names().erase(name);
    std::string out = std::move(*name);
    delete name;
    return out;
}

void discard(std::string* name) {
    if (name && names().erase(name))
        delete name;
}

Gen_type* new_value(Gen_type value) {
    auto* v = new Gen_type(std::move(value));
    values().insert(v);
    return v;
}

Gen_type take_value(Gen_type* value) {
    values().erase(value);
    Gen_type out = std::move(*value);
    delete value;
    return out;
}

void discard(Gen_type* value) {
    if (value && values().erase(value))
        delete value;
}

void* stack_alloc(std::size_t size) {
    void* block = std::malloc(size);
    if (block)
        blocks().insert(block);
    return block;
}

void stack_free(void* block) {
    if (block && blocks().erase(block))
        std::free(block);
}

// A tracked node never owns another tracked node (a parent takes its children out of the set), so each is
// deleted exactly once.
void release_all() {
    std::unordered_set<Node*> n;
    n.swap(nodes());
    for (Node* node : n)
        delete node;
    std::unordered_set<std::string*> s;
    s.swap(names());
    for (std::string* name : s)
        delete name;
    std::unordered_set<Gen_type*> v;
    v.swap(values());
    for (Gen_type* value : v)
        delete value;
    std::unordered_set<void*> b;
    b.swap(blocks());
    for (void* block : b)
        std::free(block);
}

std::size_t live_count() {
    return nodes().size() + names().size() + values().size();
}

} // namespace parse_values
