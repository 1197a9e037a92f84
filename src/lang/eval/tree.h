// The variable stores: the context in which a Vorn source is processed.  Deps_tree collects dependencies
// as makefile text (vorn-tovik); Exec_tree runs the statements to produce a page (vorn).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/block_text.h"
#include "lang/eval/deps_changes.h"
#include "lang/eval/exclude_list.h"
#include "lang/values/gen_type.h"

class Node;

class Tree {
public:
    Tree();
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;
    virtual ~Tree();

    virtual bool full_mode() const { return false; }
    virtual bool fast_mode() const { return false; }
    virtual bool is_exec() const { return false; }
    virtual void ensure_exec() {}
    virtual void ensure_dep() {}
    // Registers a node built by the parser: stamps it with the store and the scan location.
    virtual Node* add_statement(Node* node) = 0;
    // Ends a completed top-level statement.
    virtual void drop_statement() = 0;
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

    const std::string& input_name() const { return input_name_; }
    const std::string& input_path() const { return input_path_; }
    const std::string& raw_output_name() const { return output_name_; }
    const std::string& output_path() const { return output_path_; }

    // The directory the program was started in, with a trailing "/": inputfile() and outputfile() name
    // files relative to it.
    const std::string& run_dir() const { return run_dir_; }

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
};

class Deps_tree : public Tree {
public:
    explicit Deps_tree(std::string target_extension);
    ~Deps_tree() override;

    bool full_mode() const override { return fast == 0; }
    bool fast_mode() const override { return fast == 1; }
    [[noreturn]] void ensure_exec() override;
    Node* add_statement(Node* node) override;
    void drop_statement() override;
    std::string output_name() const override;

    void refresh(const std::string& file_name);
    void undo_refresh();

    // The changes a parse makes, each made and, while a log is set, appended to it.
    // A dependency on `name`, taken from the directory of the file being read unless it is absolute or
    // `from_run_dir`; written as make reads it back, the makefile's "$(prefix)" at the start of a name from
    // the run directory as it is.  False when make cannot express the name (after the warning).
    bool add_dependency(const std::string& name, bool from_run_dir);
    // The script `name` (as written, relative to the directory of the file being read) and its backup are
    // kept out of the archive, by their paths from the site's root.
    void add_archive_exclude(const std::string& name);
    void mark_no_output();
    void mark_always();
    void mark_extension(const std::string& ext);
    void leave_main_file();
    // A dependency whose name is no fixed text; true when it is to be warned about.
    bool unfixed_dependency();
    // A value was taken that another page may give differently (the page's own name): what was read with it
    // is never made again for another page.
    void page_value() { log(Deps_change::page_value); }
    // Variables set in a name's expression last beyond the file: what was read with them is never made
    // again either.
    void variables_changed() override { page_value(); }
    // What was read with a variable is made again only while the variable holds the same value.
    void variable_read(const std::string& name, const Gen_type* value) override;
    void set_change_log(Deps_changes* log) { change_log_ = log; }
    Deps_changes* change_log() const { return change_log_; }
    // True when making `changes` now would report nothing (no name make cannot express, no warning) and
    // every variable they read holds the value it held.
    bool changes_are_silent(const Deps_changes& changes) const;
    void make_changes(const Deps_changes& changes);
    void set_input_name(const std::string& name);
    void set_output_name(const std::string& name);
    void set_directory(const std::string& path);
    std::string output_extension() const { return output_extension_; }
    void set_output_extension(std::string ext) { output_extension_ = std::move(ext); }
    void clear_output_extension() { output_extension_.clear(); }
    void append_rule_text(const std::string& text);
    void write_dependencies();
    void clear_dependencies() { dependencies.clear(); }
    std::string take_archive_excludes();
    // Moves the rules written into text() so far to the kept rules, which are held in blocks: the makefile
    // is written out from them piece by piece, never copied into one text.
    void keep_rules();
    // The kept rules, in order (text() follows them).
    const Block_text& kept_rules() const { return rules_; }
    // The kept rules go to this unlinked scratch file as they grow (see Block_text).
    void spill_rules_to(int fd) { rules_.spill_to(fd); }
    const std::string& current_dir() const { return current_dir_; }
    const std::string& working_directory() const { return working_directory_; }
    // Forgets the include-directory stack and the queued nodes of a source whose parse was abandoned.
    void reset_source_state();

    unsigned char fast = 0;
    // Where vorn records what each page read (--exact-deps), named from the run directory; empty when it
    // does not.
    std::string records_dir;
    // The patterns of make's wildcard that find every record.
    std::set<std::string> record_patterns;
    // Told of every file an inclusion reads, named from the run directory, when set (a makefile that remakes
    // itself is made from them, --self-update).
    std::function<void(const std::string& path)> on_included_file;
    unsigned char always = 0;
    unsigned char no_target = 0;
    int32_t no_output_depth = 0;
    unsigned char main_file = 1;
    std::string target_list;
    std::string always_list;
    std::string always_recipes;
    Exclude_list archive_excludes;
    std::set<std::string> dependencies;
    // The extensions of every output page that got a rule.
    std::set<std::string> output_extensions;

private:
    void log(Deps_change::Kind kind, bool flag = false, const std::string& text = std::string()) {
        if (change_log_)
            change_log_->push_back(Deps_change{kind, flag, text});
    }
    std::string dependency_path(const std::string& name, bool from_run_dir, const std::string& dir) const;

    Deps_changes* change_log_ = nullptr;
    Block_text rules_;
    std::string target_extension_;
    std::string output_extension_;
    std::string current_dir_;
    std::vector<std::string> saved_dirs_;
    std::string working_directory_;
};

class Exec_tree : public Tree {
public:
    // policy: "warning" or "error" restrict external programs; anything else allows them.
    Exec_tree(const std::string& input_name, const std::string& output_name, const std::string& root_dir,
              std::string policy);
    ~Exec_tree() override;

    bool is_exec() const override { return true; }
    [[noreturn]] void ensure_dep() override;
    Node* add_statement(Node* node) override;
    void drop_statement() override;

    const std::string& policy() const { return policy_; }
    // From now on, the files the page reads are kept (vorn --deps), named from the run directory, or
    // absolute when they lie outside the run directory's top-level directory.
    void record_reads() { recording_ = true; }
    void note_read(const std::string& path) override;
    const std::set<std::string>& reads() const { return reads_; }
    void save_arguments();
    void push_plain_frame();
    void restore_arguments();

private:
    std::string policy_;
    bool recording_ = false;
    std::set<std::string> reads_;
    std::vector<bool> frames_;
    std::vector<int32_t> saved_argc_;
    std::vector<Gen_type> saved_argv_;
};

// The store the scanner and the parser work for (set by whoever runs a parse).
extern Tree* g_store;
