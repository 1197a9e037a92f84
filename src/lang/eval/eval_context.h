// The context a Vorn source is processed in: its variables, its text buffer and the names of its input and
// output.  Two kinds exist: the dependency collector (vorn-tovik, lang/eval/dependency_collector.h) and
// the page renderer (vorn, lang/eval/page_renderer.h).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "lang/values/gen_type.h"
#include "os/work_dir.h"

class Node;

class Eval_context {
public:
    Eval_context();
    Eval_context(const Eval_context&) = delete;
    Eval_context& operator=(const Eval_context&) = delete;
    virtual ~Eval_context();

    virtual bool full_mode() const { return false; }
    virtual bool fast_mode() const { return false; }
    virtual bool is_exec() const { return false; }
    virtual void ensure_exec() {}
    virtual void ensure_dep() {}
    // Registers a node built by the parser: stamps it with the store and the scan location.
    virtual Node* add_statement(Node* node) = 0;
    // A top-level statement is complete (the queued nodes are its subtree): the dependency collector
    // discards it, the page renderer runs it, then destroys it.
    virtual void complete_statement() = 0;
    virtual std::string output_name() const { return output_name_; }

    // The variable table: one flat scope.
    Gen_type get_variable(const std::string& name);
    Gen_type set_variable(const std::string& name, const Gen_type& value);
    bool remove_variable(const std::string& name);
    bool has_variable(const std::string& name) const;
    Gen_type get_variable_element(const std::string& name, const Gen_type& index);
    Gen_type set_variable_element(const std::string& name, const Gen_type& index, const Gen_type& value,
                                  bool insert);
    // Direct access for the nodes that change a variable in place (no copy of the whole value).
    Gen_type* find_variable(const std::string& name);
    // Called before the variable table may change.
    virtual void variables_changed() {}
    // Called when a variable is read whole (`value` null when it does not exist).
    virtual void variable_read(const std::string& /*name*/, const Gen_type* /*value*/) {}

    // The text buffer: page text (execution) or makefile rules (dependencies).
    std::string& text() { return text_; }
    // Text for the page, which echo, print, verbatim and the programs run write: the page renderer adds it
    // to the page; the dependency collector makes no page and drops it.
    virtual void on_text(std::string_view text) { text_.append(text); }

    const std::string& input_name() const { return input_name_; }
    const std::string& input_path() const { return input_path_; }
    const std::string& raw_output_name() const { return output_name_; }
    const std::string& output_path() const { return output_path_; }

    // The directory the program was started in, with a trailing "/": inputfile() and outputfile() name
    // files relative to it.
    const std::string& run_dir() const { return run_dir_; }

    // The working directory as the program's run follows it (os/work_dir.h): the run's own once the
    // program hands it over, until then the store's (a store made on its own, as tests make them).
    Work_dir& work_dir() { return *work_dir_; }
    void use_work_dir(Work_dir& work_dir) { work_dir_ = &work_dir; }

    // "../" once per level the output file lies below the site's root.
    std::string adjust_level();
    // A file the page being made has read or examined, named from the working directory (or absolute).
    virtual void note_read(const std::string& path) { (void)path; }
    int32_t root_level = 0;
    int32_t output_level = 0;

protected:
    // Stamps a node with this store and the reporter's scan location.
    void stamp(Node* node);
    // Forgets the queued nodes of a dropped statement (they were its descendants, destroyed with it).
    void forget_pending() { pending_.clear(); }

    std::map<std::string, Gen_type> variables_;
    std::deque<Node*> pending_;
    std::string text_;
    std::string input_name_;
    std::string input_path_;
    std::string output_name_;
    std::string output_path_;
    std::string run_dir_;

private:
    Work_dir own_work_dir_;
    Work_dir* work_dir_ = &own_work_dir_;
};

// The store the scanner and the parser work for (set by whoever runs a parse).
extern Eval_context* g_store;
