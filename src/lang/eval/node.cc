#include "lang/eval/node.h"

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
