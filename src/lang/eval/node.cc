#include "lang/eval/node.h"

#include <new>
#include <vector>

#if defined(VT_SANITIZED) || defined(VT_FUZZING)
#define VT_PLAIN_NODE_BLOCKS 1
#endif

namespace {

#ifndef VT_PLAIN_NODE_BLOCKS
// Free lists of node blocks by size, in steps of 16 bytes; larger nodes come from the heap.  Blocks are
// carved from chunks that are kept: what stays is the most the parser ever held at once.
constexpr std::size_t step = 16;
constexpr std::size_t classes = 24;
constexpr std::size_t chunk_size = std::size_t(64) << 10;

struct Free_block {
    Free_block* next;
};

struct Node_blocks {
    Free_block* free[classes] = {};
    char* room = nullptr; // the unused rest of the newest chunk
    std::size_t room_left = 0;
    std::vector<char*> chunks;

    void* get(std::size_t cls) {
        if (Free_block* b = free[cls]) {
            free[cls] = b->next;
            return b;
        }
        const std::size_t size = (cls + 1) * step;
        if (room_left < size) {
            room = static_cast<char*>(::operator new(chunk_size));
            chunks.push_back(room);
            room_left = chunk_size;
        }
        void* b = room;
        room += size;
        room_left -= size;
        return b;
    }
    void put(void* block, std::size_t cls) {
        auto* b = static_cast<Free_block*>(block);
        b->next = free[cls];
        free[cls] = b;
    }
};

Node_blocks& blocks() {
    static auto* b = new Node_blocks();
    return *b;
}
#endif

} // namespace

void* Node::operator new(std::size_t size) {
#ifndef VT_PLAIN_NODE_BLOCKS
    const std::size_t cls = (size + step - 1) / step - 1;
    if (cls < classes)
        return blocks().get(cls);
#endif
    return ::operator new(size);
}

void Node::operator delete(void* block, [[maybe_unused]] std::size_t size) {
    if (!block)
        return;
#ifndef VT_PLAIN_NODE_BLOCKS
    const std::size_t cls = (size + step - 1) / step - 1;
    if (cls < classes) {
        blocks().put(block, cls);
        return;
    }
#endif
    ::operator delete(block);
}

Node::~Node() = default;

void Node::unchain(Node_ptr& head) {
    Node_ptr cur = std::move(head);
    while (cur) {
        Node_ptr* link = cur->chain_child();
        Node_ptr next = link ? std::move(*link) : nullptr;
        cur.reset();
        cur = std::move(next);
    }
}

Gen_type N_base_var::first_index() {
    auto* inner = dynamic_cast<N_base_var*>(inner_.get());
    if (!inner || !inner->index_)
        return Gen_type();
    return inner->index_->exec();
}

bool N_base_var::names_variable() const {
    const N_base_var* v = this;
    while (v->form_ == Var_form::nested_element) {
        v = dynamic_cast<const N_base_var*>(v->inner_.get());
        if (!v)
            return false;
    }
    return true;
}
