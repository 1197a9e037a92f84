#include "lang/frontend/parse_values.h"

#include <cstdlib>
#include <memory>
#include <unordered_set>
#include <vector>

#include "lang/eval/eval_context.h"

namespace parse_values {

namespace {

// The nodes held by the parser; each knows its index.
std::vector<Node*>& nodes() {
    static auto* list = new std::vector<Node*>();
    return *list;
}

// A pool of token values: `live` holds the values in use, each knowing its index there; `spare` the
// values whose contents were taken, ready for the next token (their text keeps its room).
template <class T> struct Pool {
    std::vector<T*> live;
    std::vector<std::unique_ptr<T>> spare;

    T* get() {
        T* v;
        if (!spare.empty()) {
            v = spare.back().release();
            spare.pop_back();
        } else {
            v = new T();
        }
        v->slot = static_cast<int32_t>(live.size());
        live.push_back(v);
        return v;
    }
    // Out of the live list; false when it was not there.
    bool untrack(T* v) {
        if (!v || v->slot < 0 || static_cast<std::size_t>(v->slot) >= live.size() || live[v->slot] != v)
            return false;
        T* last = live.back();
        live[v->slot] = last;
        last->slot = v->slot;
        live.pop_back();
        v->slot = -1;
        return true;
    }
    void put_back(T* v) { spare.emplace_back(v); }
};

Pool<Name>& names() {
    static auto* pool = new Pool<Name>();
    return *pool;
}
Pool<Value>& values() {
    static auto* pool = new Pool<Value>();
    return *pool;
}
std::unordered_set<void*>& blocks() {
    static auto* set = new std::unordered_set<void*>();
    return *set;
}

void track(Node* node) {
    std::vector<Node*>& list = nodes();
    node->track_slot = static_cast<int32_t>(list.size());
    list.push_back(node);
}

bool untrack(Node* node) {
    std::vector<Node*>& list = nodes();
    const int32_t slot = node->track_slot;
    if (slot < 0 || static_cast<std::size_t>(slot) >= list.size() || list[slot] != node)
        return false;
    Node* last = list.back();
    list[slot] = last;
    last->track_slot = slot;
    list.pop_back();
    node->track_slot = -1;
    return true;
}

} // namespace

// Tracked before registration: the store's deps may end the parse, and the node must then still be freed.
Node* reg(Node* node) {
    track(node);
    g_store->add_statement(node);
    return node;
}

Node_ptr take(Node* node) {
    if (node)
        untrack(node);
    return Node_ptr(node);
}

void hand_over(Node* node) {
    if (node)
        untrack(node);
}

void discard(Node* node) {
    if (node && untrack(node))
        delete node;
}

Name* new_name(const char* text, std::size_t length) {
    Name* name = names().get();
    name->text.assign(text, length);
    return name;
}

std::string take_name(Name* name) {
    Pool<Name>& pool = names();
    pool.untrack(name);
    std::string out = name->text;
    pool.put_back(name);
    return out;
}

void discard(Name* name) {
    Pool<Name>& pool = names();
    if (pool.untrack(name))
        pool.put_back(name);
}

Value* new_value(Gen_type value) {
    Value* v = values().get();
    v->value = std::move(value);
    return v;
}

Gen_type take_value(Value* value) {
    Pool<Value>& pool = values();
    pool.untrack(value);
    Gen_type out = std::move(value->value);
    value->value = Gen_type();
    pool.put_back(value);
    return out;
}

void discard(Value* value) {
    Pool<Value>& pool = values();
    if (pool.untrack(value)) {
        value->value = Gen_type();
        pool.put_back(value);
    }
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

// A tracked node never owns another tracked node (a parent takes its children out of the list), so each is
// deleted exactly once.
void release_all() {
    std::vector<Node*> n;
    n.swap(nodes());
    for (Node* node : n)
        delete node;
    Pool<Name>& s = names();
    for (Name* name : s.live)
        delete name;
    s.live.clear();
    s.spare.clear();
    Pool<Value>& v = values();
    for (Value* value : v.live)
        delete value;
    v.live.clear();
    v.spare.clear();
    std::unordered_set<void*> b;
    b.swap(blocks());
    for (void* block : b)
        std::free(block);
}

std::size_t live_count() {
    return nodes().size() + names().live.size() + values().live.size();
}

} // namespace parse_values
