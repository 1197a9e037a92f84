// The syntax-tree node base: every construct of a Vorn source becomes an object derived from Node.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/fuzz_budget.h"
#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/values/gen_type.h"

class Dependency_collector;
class Eval_context;
class Node;
using Node_ptr = std::unique_ptr<Node>;

class Node {
public:
    Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    virtual ~Node();

    // Evaluates the node; the value belongs to the caller.
    virtual Gen_type exec() = 0;
    // Reports the node's dependencies to the dependency collector; called once, when the collector registers
    // the node.
    virtual void deps(Dependency_collector& collector) { (void)collector; }
    virtual bool is_variable() const { return false; }

    // A literal or an input/output-file expression: a file-name argument known without running the source.
    virtual bool is_fixed_arg() const { return false; }

    // Copies the node's position into the reporter's execution location (and, in the fuzz build, counts a
    // step of the input's work).
    void locate() const {
        reporter().set_exec_location(src, line);
        fuzz_budget_step();
    }
    // The reporter of the context the node is registered with.
    Reporter& reporter() const { return owner->reporter(); }
    // Called when the context registers the node, in the working directory the node was built in.
    virtual void on_registered() {}

    // Set by the store that registers the node.
    Eval_context* owner = nullptr;
    const Src_name* src = nullptr;
    int32_t line = 0;
    // The node's place among the values the parser holds (lang/frontend/parse_values.h), -1 when held by
    // none.
    int32_t track_slot = -1;

protected:
    // Nodes that form long left-leaning chains (statement sequences, operator chains, lists, elif chains)
    // return the slot of their left child, so that a chain of any length is destroyed and evaluated without
    // recursion as deep as the chain.
    virtual Node_ptr* chain_child() { return nullptr; }

    // Destroys a chain hanging from `head` one link at a time.
    static void unchain(Node_ptr& head);

    // For the chain evaluators.
    static Node_ptr* chain_child_of(Node* n) { return n->chain_child(); }
};

// Base of the nodes that name files the generated makefile depends on.  Owns the file-name expression
// (for N_exec, the script expression).
class N_dep : public Node {
public:
    explicit N_dep(Node_ptr file) : file_(std::move(file)) {}
    // The common dependency operation: a fixed file name becomes a dependency entry of the page.
    void deps(Dependency_collector& collector) override;
    Node* file() const { return file_.get(); }

protected:
    // Records the dependency when the name is fixed; false (after the warning) when it is computed.
    bool record_dependency(Dependency_collector& collector, const char* internal_error);
    Node_ptr file_;
};

// How a variable reference names what it reads or writes.
enum class Var_form : uint8_t {
    variable,       // a: the variable
    array,          // a[]: the whole array
    element,        // a[i]: one element
    nested_element, // a[i][j]: an element of an element (or of any indexed expression; the inner reference
                    // is then that expression)
};

// Base of the variable references.
class N_base_var : public Node {
public:
    N_base_var(std::string name, Var_form form, Node_ptr inner, Node_ptr index)
        : name_(std::move(name)), form_(form), inner_(std::move(inner)), index_(std::move(index)) {}
    bool is_variable() const override { return true; }
    virtual std::string variable_name() = 0;
    virtual Gen_type first_index();

    // Whether the reference names a variable at all: false for an element of an expression that is not a
    // variable reference (such as (a + b)[1]), which can be read but not assigned.
    bool names_variable() const;

    const std::string& name() const { return name_; }
    Var_form form() const { return form_; }
    Node* inner() const { return inner_.get(); }
    Node* index() const { return index_.get(); }

protected:
    std::string name_;
    Var_form form_;
    Node_ptr inner_;
    Node_ptr index_;
};
