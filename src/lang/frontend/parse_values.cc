#include "lang/frontend/parse_values.h"

#include <cstdlib>

#include "lang/eval/eval_context.h"

namespace parse_values {

template <class T> T* Pool<T>::get() {
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

template <class T> bool Pool<T>::untrack(T* v) {
    if (!v || v->slot < 0 || static_cast<std::size_t>(v->slot) >= live.size() || live[v->slot] != v)
        return false;
    T* last = live.back();
    live[v->slot] = last;
    last->slot = v->slot;
    live.pop_back();
    v->slot = -1;
    return true;
}

template <class T> void Pool<T>::release() {
    for (T* v : live)
        delete v;
    live.clear();
    spare.clear();
}

template struct Pool<Name>;
template struct Pool<Value>;

} // namespace parse_values

using parse_values::Name;
using parse_values::Value;

void Parse_values::track(Node* node) {
    node->track_slot = static_cast<int32_t>(nodes_.size());
    nodes_.push_back(node);
}

bool Parse_values::untrack(Node* node) {
    const int32_t slot = node->track_slot;
    if (slot < 0 || static_cast<std::size_t>(slot) >= nodes_.size() || nodes_[slot] != node)
        return false;
    Node* last = nodes_.back();
    nodes_[slot] = last;
    last->track_slot = slot;
    nodes_.pop_back();
    node->track_slot = -1;
    return true;
}

// Tracked before registration: the store's deps may end the parse, and the node must then still be freed.
Node* Parse_values::reg(Eval_context& store, Node* node) {
    track(node);
    store.add_statement(node);
    return node;
}

Node_ptr Parse_values::take(Node* node) {
    if (node)
        untrack(node);
    return Node_ptr(node);
}

void Parse_values::hand_over(Node* node) {
    if (node)
        untrack(node);
}

void Parse_values::discard(Node* node) {
    if (node && untrack(node))
        delete node;
}

Name* Parse_values::new_name(const char* text, std::size_t length) {
    Name* name = names_.get();
    name->text.assign(text, length);
    return name;
}

std::string Parse_values::take_name(Name* name) {
    names_.untrack(name);
    std::string out = name->text;
    names_.put_back(name);
    return out;
}

void Parse_values::discard(Name* name) {
    if (names_.untrack(name))
        names_.put_back(name);
}

Value* Parse_values::new_value(Gen_type value) {
    Value* v = values_.get();
    v->value = std::move(value);
    return v;
}

Gen_type Parse_values::take_value(Value* value) {
    values_.untrack(value);
    Gen_type out = std::move(value->value);
    value->value = Gen_type();
    values_.put_back(value);
    return out;
}

void Parse_values::discard(Value* value) {
    if (values_.untrack(value)) {
        value->value = Gen_type();
        values_.put_back(value);
    }
}

void* Parse_values::stack_alloc(std::size_t size) {
    void* block = std::malloc(size);
    if (block)
        blocks_.insert(block);
    return block;
}

void Parse_values::stack_free(void* block) {
    if (block && blocks_.erase(block))
        std::free(block);
}

// A tracked node never owns another tracked node (a parent takes its children out of the list), so each is
// deleted exactly once.
void Parse_values::release_all() {
    std::vector<Node*> n;
    n.swap(nodes_);
    for (Node* node : n)
        delete node;
    names_.release();
    values_.release();
    std::unordered_set<void*> b;
    b.swap(blocks_);
    for (void* block : b)
        std::free(block);
}

std::size_t Parse_values::live_count() const {
    return nodes_.size() + names_.live.size() + values_.live.size();
}
