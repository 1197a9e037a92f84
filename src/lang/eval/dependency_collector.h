// The context of vorn-tovik's scan: collects what a source depends on, and what it asks of its page's
// rule, as makefile text, without running it.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/block_text.h"
#include "lang/eval/deps_changes.h"
#include "lang/eval/eval_context.h"
#include "lang/eval/exclude_list.h"

// How sources are scanned: in full, included files followed, or fast (--fast): an included file only has to
// exist, and the dependencies hang on the source instead of on its page.
enum class Scan_mode : uint8_t { full, fast };

class Dependency_collector : public Eval_context {
public:
    explicit Dependency_collector(std::string target_extension);
    ~Dependency_collector() override;

    // Asks every node for its dependencies as it is built, and discards each completed statement.
    Node* add_statement(Node* node) override;
    void on_statement_complete() override;
    void on_parse_abandoned() override;
    // What code writes while the scan evaluates a name (print, echo, the output of cmd) belongs to no page.
    void on_text(std::string_view) override {}
    void on_marker(Marker marker, const std::string& text) override;
    // In fast mode a source that opens no tag is warned about.
    void on_file_end(bool tags_seen) override;
    // An inclusion is followed in full mode: the file is read and its directory entered (a name that is no
    // string, taken from a variable the page sets as it runs, is not followed).  In fast mode the file is not
    // read; it only has to exist.  Either way the store no longer reads the main file only.
    bool on_include(const Gen_type& name, Include_reader& reader) override;
    void on_include_end() override { leave_include_dir(); }
    bool log_changes(Deps_changes* log) override {
        change_log_ = log;
        return true;
    }
    // True when making `changes` now would report nothing (no name make cannot express, no warning) and
    // every variable they read holds the value it held.
    bool changes_are_silent(const Deps_changes& changes) const override;
    void make_changes(const Deps_changes& changes) override;
    // A value was taken that another page may give differently (the page's own name): what was read with it
    // is never made again for another page.
    void on_page_value() override { log(Deps_change::page_value); }
    // The collector evaluates names only: a built-in that needs a page being made is an internal error.
    [[noreturn]] void on_page_builtin() override;
    std::string output_name() const override;

    // An included file is entered, named from the directory of the file being read: its directory becomes
    // the one names are taken from, until it is left.
    void enter_include_dir(const std::string& file_name);
    void leave_include_dir();

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
    // A dependency whose name is no fixed text: warned about unless "__ALWAYS__" is on (only noted when
    // vorn records what each page reads, which tracks the file all the same).
    void unfixed_dependency();
    // Variables set in a name's expression last beyond the file: what was read with them is never made
    // again either.
    void variables_changed() override { on_page_value(); }
    // What was read with a variable is made again only while the variable holds the same value.
    void variable_read(const std::string& name, const Gen_type* value) override;
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
    Scan_mode scan = Scan_mode::full;
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
    // Logs a dependency whose name is no fixed text; true when it is to be reported.
    bool note_unfixed_dependency();
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
