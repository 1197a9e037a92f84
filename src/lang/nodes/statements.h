// Statement nodes: sequences, output, conditionals, loops, user messages, input and output names.
#pragma once

#include "lang/eval/node.h"

// ";" alone and "endtype;".
class N_empty : public Node {
public:
    Gen_type exec() override;
};

// "</vorn>".
class N_end : public Node {
public:
    Gen_type exec() override;
};

// The end of an included file: restores the including file's arguments.
class N_eof : public Node {
public:
    Gen_type exec() override;
};

// A statement sequence: the sequence so far, then the next statement.
class N_stmt : public Node {
public:
    N_stmt(Node_ptr sequence, Node_ptr statement)
        : sequence_(std::move(sequence)), statement_(std::move(statement)) {}
    ~N_stmt() override;
    Gen_type exec() override;
    Node* sequence() const { return sequence_.get(); }
    Node* statement() const { return statement_.get(); }

protected:
    Node_ptr* chain_child() override { return &sequence_; }

private:
    Node_ptr sequence_;
    Node_ptr statement_;
};

// echo, print and term: one value.
class N_output_base : public Node {
public:
    explicit N_output_base(Node_ptr value) : value_(std::move(value)) {}
    Node* value() const { return value_.get(); }

protected:
    Node_ptr value_;
};

class N_echo : public N_output_base {
public:
    using N_output_base::N_output_base;
    Gen_type exec() override;
};

class N_print : public N_output_base {
public:
    using N_output_base::N_output_base;
    Gen_type exec() override;
};

class N_term : public N_output_base {
public:
    using N_output_base::N_output_base;
    Gen_type exec() override;
};

// if/elif, ifdef/elifdef, ifndef/elifndef: a test and a body; the result tells whether the body ran.
class N_branch : public Node {
public:
    N_branch(Node_ptr test, Node_ptr body) : test_(std::move(test)), body_(std::move(body)) {}
    Node* test() const { return test_.get(); }
    Node* body() const { return body_.get(); }

protected:
    Node_ptr test_;
    Node_ptr body_;
};

class N_if : public N_branch {
public:
    using N_branch::N_branch;
    Gen_type exec() override;
};

class N_ifdef : public N_branch {
public:
    using N_branch::N_branch;
    Gen_type exec() override;
};

class N_ifndef : public N_branch {
public:
    using N_branch::N_branch;
    Gen_type exec() override;
};

// A chain of branches: the chain so far, then the next branch.  Runs at most one branch.
class N_cond_seq : public Node {
public:
    N_cond_seq(Node_ptr chain, Node_ptr next) : chain_(std::move(chain)), next_(std::move(next)) {}
    ~N_cond_seq() override;
    Gen_type exec() override;
    Node* chain() const { return chain_.get(); }
    Node* next() const { return next_.get(); }

protected:
    Node_ptr* chain_child() override { return &chain_; }

private:
    Node_ptr chain_;
    Node_ptr next_;
};

class N_if_else : public Node {
public:
    N_if_else(Node_ptr chain, Node_ptr else_body)
        : chain_(std::move(chain)), else_body_(std::move(else_body)) {}
    Gen_type exec() override;
    Node* chain() const { return chain_.get(); }
    Node* else_body() const { return else_body_.get(); }

private:
    Node_ptr chain_;
    Node_ptr else_body_;
};

class N_for : public Node {
public:
    N_for(Node_ptr init, Node_ptr cond, Node_ptr step, Node_ptr body)
        : init_(std::move(init)), cond_(std::move(cond)), step_(std::move(step)), body_(std::move(body)) {}
    Gen_type exec() override;

private:
    Node_ptr init_, cond_, step_, body_;
};

class N_while : public Node {
public:
    N_while(Node_ptr cond, Node_ptr body) : cond_(std::move(cond)), body_(std::move(body)) {}
    Gen_type exec() override;

private:
    Node_ptr cond_, body_;
};

class N_foreach : public Node {
public:
    N_foreach(Node_ptr var, Node_ptr collection, Node_ptr body)
        : var_(std::move(var)), collection_(std::move(collection)), body_(std::move(body)) {}
    Gen_type exec() override;
    Node* var() const { return var_.get(); }

private:
    Node_ptr var_, collection_, body_;
};

// raiseerror and raisewarning: a message and an optional short message.
class N_raise_base : public Node {
public:
    N_raise_base(Node_ptr message, Node_ptr brief) : message_(std::move(message)), brief_(std::move(brief)) {}

protected:
    Gen_type raise(bool as_error, const char* type_error);
    Node_ptr message_, brief_;
};

class N_raiseerr : public N_raise_base {
public:
    using N_raise_base::N_raise_base;
    Gen_type exec() override;
};

class N_raisewarn : public N_raise_base {
public:
    using N_raise_base::N_raise_base;
    Gen_type exec() override;
};

// inputfile(), inputfile("prefix"), absinputfile(), and the same for the output file.  Fixed file-name
// arguments for the dependency nodes.
class N_input : public Node {
public:
    // Reports "input (prefix): prefix must be a string literal" when the prefix is not a string.
    // A prefix that is no string is reported to `reporter` (the parse's).
    N_input(Reporter& reporter, const Gen_type* prefix);
    Gen_type exec() override;
    bool is_fixed_arg() const override { return true; }

private:
    std::string prefix_;
};

class N_abs_input : public Node {
public:
    Gen_type exec() override;
    bool is_fixed_arg() const override { return true; }
};

class N_output : public Node {
public:
    N_output(Reporter& reporter, const Gen_type* prefix);
    Gen_type exec() override;
    bool is_fixed_arg() const override { return true; }

private:
    std::string prefix_;
};

class N_abs_output : public Node {
public:
    Gen_type exec() override;
    bool is_fixed_arg() const override { return true; }
};

// Whether a file-name argument is inputfile() or outputfile(), whose values are relative to the run
// directory rather than to the directory of the file being read.
bool names_from_run_dir(const Node* file_name);
