// Helpers for the front-end tests: a store that keeps what the parser hands it, a printer for syntax trees,
// and runners that catch the end of the process and what was reported.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/eval/node.h"
#include "lang/frontend/parser.h"

namespace ft {

// Keeps every registered node in registration order, and every completed statement instead of running it.
// Plain text reaches text() when `exec` is set, and inclusions are followed then, without the dependency
// collector's directory tracking; otherwise an included file only has to exist.
class Keep_context : public Eval_context {
public:
    explicit Keep_context(Reporter& reporter) : Eval_context(reporter) {}
    Node* add_statement(Node* node) override;
    void on_statement_complete() override;
    void on_text(std::string_view text) override;
    bool on_include(const Gen_type& name, Include_reader& reader) override;
    std::string& text() { return text_; }

    bool exec = false;
    std::vector<Node*> registered;          // may dangle once a node has been discarded
    std::vector<std::string> registered_as; // label() of each, taken at registration
    std::vector<std::unique_ptr<Node>> statements;

private:
    std::string text_;
};

// One line per node: "N_plus(a, 3)"; variables as a, a[], a[1], I(inner, index), $(expr)...; string
// constants in double quotes, written as they are held.
std::string dump(const Node* node);
// The kept statements, separated by " | ".
std::string dump_all(const Keep_context& store);
// Class name without the N_ prefix, plus the name or value of variables and constants ("var a", "const 3").
std::string label(const Node* node);
// The children a node owns, in order (the target of a compound assignment belongs to its combining node).
std::vector<const Node*> children(const Node* node);

// The result of a run that may end the process.
struct Outcome {
    int result = -1; // what the parse returned, -1 when the process "ended"
    int exit = -1;   // the status it ended with, -1 when it did not
    std::string err; // what went to stderr
};

// Parses text as a main source for the context the parser works for (the reporter's file is t.vrn unless set
// otherwise).
Outcome parse_text(Source_scan& parser, const std::string& text);
// Parses a file by name in the current directory, with the reporter pointed at it.
Outcome parse_path(Source_scan& parser, const std::string& path);

// Changes into a directory for the life of the object.
class Cwd {
public:
    explicit Cwd(const std::string& dir);
    ~Cwd();
    const std::string& saved() const { return saved_; }

private:
    std::string saved_;
};

std::string cwd();

// Each test reports through a fresh reporter, `rep`, and parses with `parser` for the context it uses.
class Front_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void use(Eval_context* store) { parser.work_for(store); }

    Reporter rep;
    Source_scan parser{rep};
};

} // namespace ft
