// The context a Vorn source is processed in: its variables and the names of its input and output, and the
// hooks through which the scanner, the parser and the built-ins tell it what happens; each kind of context
// answers them in its own way.  Two kinds exist: the dependency collector (vorn-tovik,
// lang/eval/dependency_collector.h) and the page renderer (vorn, lang/eval/page_renderer.h).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>

#include "lang/eval/deps_changes.h"
#include "lang/values/gen_type.h"
#include "os/work_dir.h"

class Node;

// The generator markers a source writes in its comments.
enum class Marker : uint8_t {
    no_output,  // "__NO_OUTPUT__"
    always,     // "__ALWAYS__"
    extension,  // "__EXT__" and the output's extension
    dependency, // "__DEP__" and the name of a file the page depends on
};

// What the front end offers a store for an inclusion it meets (lang/frontend implements it).
class Include_reader {
public:
    // Reads the file `path` (named from the directory of the file being read) as the next part of the
    // source: true when it has been entered; false, after the error, when it cannot be opened.
    virtual bool read(const std::string& path) = 0;
    // Whether the file `path` opens for reading, without reading it (errno tells why not).
    virtual bool opens(const std::string& path) = 0;

protected:
    ~Include_reader() = default;
};

class Eval_context {
public:
    // The context reports through `reporter`, the reporter of its run.
    explicit Eval_context(Reporter& reporter);
    Eval_context(const Eval_context&) = delete;
    Eval_context& operator=(const Eval_context&) = delete;
    virtual ~Eval_context();

    // What the parser hands the store.
    // Registers a node built by the parser: stamps it with the store and the scan location.
    virtual Node* add_statement(Node* node) = 0;
    // A top-level statement is complete (the queued nodes are its subtree): the dependency collector
    // discards it, the page renderer runs it, then destroys it.
    virtual void on_statement_complete() = 0;
    // The parse of a source was abandoned: the queued nodes are gone with it.
    virtual void on_parse_abandoned() { forget_pending(); }

    // What the scanner meets.
    // Text for the page: page text outside code, and what echo, print, verbatim and the programs run write.
    // The page renderer adds it to the page; the dependency collector makes no page and drops it.
    virtual void on_text(std::string_view text) { (void)text; }
    // A generator marker in a comment, with the text after it (blanks around it removed): what the page's
    // rule asks for, which only the dependency collector acts on.
    virtual void on_marker(Marker marker, const std::string& text) {
        (void)marker;
        (void)text;
    }
    // The text of a source file ended (the main source's or an included file's); `tags_seen` tells whether
    // it opened a tag.
    virtual void on_file_end(bool tags_seen) { (void)tags_seen; }

    // Inclusions.
    // An inclusion of the file `name` (the value of its name's expression): the store reads the file
    // through `reader`, or not.  True when the file has been entered (its text comes next, and its end
    // closes the inclusion's block); false when it is not read.
    virtual bool on_include(const Gen_type& name, Include_reader& reader) = 0;
    // The text of an included file ended; the scanner is back in the including file.
    virtual void on_include_end() {}
    // An include statement runs (its file's statements follow): `file` names the file, `arguments` are
    // those given to it (null for none).  Only the page renderer runs statements.
    virtual void on_include_run(Node& file, Node* arguments) {
        (void)file;
        (void)arguments;
    }
    // The end of an included file runs: the statements of the file have run.
    virtual void on_included_end_run() {}
    // The records of included files (lang/frontend/include_memo.h): a file included again in the same
    // circumstances is not read; the changes its reading made to the store are made again instead.  Only a
    // store whose changes are a list takes part (the dependency collector); the page renderer keeps these
    // defaults: nothing is logged, no record fits.
    // Appends every change the store makes to `log` from now on, or stops (null); false when the store
    // keeps no such list.
    virtual bool log_changes(Deps_changes* log) {
        (void)log;
        return false;
    }
    // True when making `changes` now would report nothing and give what they gave when recorded.
    virtual bool changes_are_silent(const Deps_changes& changes) const {
        (void)changes;
        return false;
    }
    virtual void make_changes(const Deps_changes& changes) { (void)changes; }

    // What the built-ins ask of the store.
    // A value was taken that another page, or another evaluation, may give differently: the page's own
    // names, a random number, the output of a program, the clock, a file's date or size.
    virtual void on_page_value() {}
    // A command (`what` is "command") or a script ("script") is about to run: false when it must not run,
    // after the message, with `result` the built-in's value.
    virtual bool on_program(const char* what, Gen_type& result) {
        (void)what;
        (void)result;
        return true;
    }
    // A file the page being made has read or examined, named from the working directory (or absolute).
    virtual void on_file_read(const std::string& path) { (void)path; }
    // The page's name, as outputfile() gives it.
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

    // The reporter of the context's run: the nodes registered with the context, the built-ins and the
    // values they work on report through it.
    Reporter& reporter() const { return reporter_; }

    // "../" once per level the output file lies below the site's root.
    std::string adjust_level();

protected:
    // Stamps a node with this store and the reporter's scan location.
    void stamp(Node* node);
    // The nodes registered since the last completed statement: the last one queued is the statement, the
    // others belong to its subtree.
    void queue(Node* node) { pending_.push_back(node); }
    // The completed statement (null when none is queued); the queue is emptied.
    Node* take_statement();
    // Forgets the queued nodes of a dropped statement (they were its descendants, destroyed with it).
    void forget_pending() { pending_.clear(); }
    // The variable's value, or null, as it is: nothing is told of the reading.
    const Gen_type* peek_variable(const std::string& name) const;

    void set_input(std::string name, std::string path) {
        input_name_ = std::move(name);
        input_path_ = std::move(path);
    }
    void set_output(std::string name, std::string path) {
        output_name_ = std::move(name);
        output_path_ = std::move(path);
    }
    void set_run_dir(std::string dir) { run_dir_ = std::move(dir); }
    // How deep the site's root and the output file lie, in directories, for adjust_level.
    void set_levels(int32_t root, int32_t output) {
        root_level_ = root;
        output_level_ = output;
    }

private:
    std::map<std::string, Gen_type> variables_;
    std::deque<Node*> pending_;
    std::string input_name_;
    std::string input_path_;
    std::string output_name_;
    std::string output_path_;
    std::string run_dir_;
    int32_t root_level_ = 0;
    int32_t output_level_ = 0;
    Reporter& reporter_;
    Work_dir own_work_dir_{reporter_};
    Work_dir* work_dir_ = &own_work_dir_;
};
