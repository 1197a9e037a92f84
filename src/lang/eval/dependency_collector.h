// The context of vorn-tovik's scan: collects what a source depends on, and what it asks of its pages'
// rules, as data, without running it; the makefile writer (tovik/makefile_writer.h) makes their text.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "lang/eval/deps_changes.h"
#include "lang/eval/eval_context.h"
#include "lang/eval/exclude_list.h"

// How sources are scanned: in full, included files followed, or fast (--fast): an included file only has to
// exist, and the dependencies hang on the source instead of on its page.
enum class Scan_mode : uint8_t { full, fast };

// A file a page depends on: named from the run directory, or absolute.  A name taken from outputfile() lies
// below the makefile's prefix variable, which is no part of `name`.
struct Dependency {
    std::string name;
    bool below_prefix = false;
};

class Dependency_collector : public Eval_context {
public:
    Dependency_collector(Reporter& reporter, std::string target_extension);
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
    std::string output_name() const override;

    // The run's settings: how sources are scanned; where vorn records what each page read (--exact-deps),
    // named from the run directory, empty when it does not; who is told of every file an inclusion reads,
    // named from the run directory (a makefile that remakes itself is made from them, --self-update).
    Scan_mode scan_mode() const { return scan_; }
    void set_scan_mode(Scan_mode scan) { scan_ = scan; }
    const std::string& records_dir() const { return records_dir_; }
    void set_records_dir(std::string dir) { records_dir_ = std::move(dir); }
    void watch_included_files(std::function<void(const std::string& path)> watcher) {
        included_file_watcher_ = std::move(watcher);
    }

    // A source is about to be read (or one of its translations taken): `path` names it from the run
    // directory; names in it are taken from its directory, and it is the main file of its page.
    void set_directory(const std::string& path);
    void set_input_name(const std::string& name);
    void set_output_name(const std::string& name);
    // "__EXT__": the extension the source's outputs take instead of the target extension; empty when none.
    const std::string& output_extension() const { return output_extension_; }
    void set_output_extension(std::string ext) { output_extension_ = std::move(ext); }

    // What the scan of a source found, for its pages' rules.
    // The files its pages depend on, in the order they were found (a file named again is there again).
    const std::vector<Dependency>& dependencies() const { return dependencies_; }
    // "__ALWAYS__": its pages are made by every make.
    bool always() const { return always_; }
    // "__NO_OUTPUT__" in the main file: true once, for the first page made from the source, which is left
    // out of the target lists.
    bool take_no_output();
    // Its pages' rules are made: its dependencies, extension and "__ALWAYS__" are forgotten.
    void end_source();

    // The names the site's archive leaves out (the ".sources" file).
    // A source file and its backup, by its path from the site's root.
    void exclude_source(const std::string& path) { archive_excludes_.insert_source(path); }
    // One entry: one or more names from the site's root, each ending with a newline, which stay together.
    void exclude_from_archive(const std::string& entry) { archive_excludes_.insert(entry); }
    // Gives every entry once, in byte order, piece by piece; then they can be forgotten.
    void write_archive_excludes(const std::function<void(std::string_view)>& put) {
        archive_excludes_.write(put);
    }
    void clear_archive_excludes() { archive_excludes_.clear(); }
    // The entries as one text, forgotten.
    std::string take_archive_excludes();

    // An included file is entered, named from the directory of the file being read: its directory becomes
    // the one names are taken from, until it is left.
    void enter_include_dir(const std::string& file_name);
    void leave_include_dir();
    // The directory names are taken from, from the run directory (empty or ending with "/").
    const std::string& current_dir() const { return current_dir_; }
    // The run directory, with a trailing "/".
    const std::string& working_directory() const { return working_directory_; }

    // The changes a parse makes, each made and, while a log is set, appended to it.
    // A dependency on `name`, taken from the directory of the file being read unless it is absolute or
    // `from_run_dir`.  False when make cannot express the name (after the warning).
    bool add_dependency(const std::string& name, bool from_run_dir);
    // The script `name` (as written, relative to the directory of the file being read) and its backup are
    // kept out of the archive, by their paths from the site's root.
    void add_archive_exclude(const std::string& name);
    // A dependency whose name is no fixed text: warned about unless "__ALWAYS__" is on (only noted when
    // vorn records what each page reads, which tracks the file all the same).
    void unfixed_dependency();
    // The store no longer reads the main file only: "__NO_OUTPUT__" counts no more.
    void leave_main_file();
    // Variables set in a name's expression last beyond the file: what was read with them is never made
    // again either.
    void variables_changed() override { on_page_value(); }
    // What was read with a variable is made again only while the variable holds the same value.
    void variable_read(const std::string& name, const Gen_type* value) override;

private:
    void mark_no_output();
    void mark_always();
    void mark_extension(const std::string& ext);
    // Logs a dependency whose name is no fixed text; true when it is to be reported.
    bool note_unfixed_dependency();
    void log(Deps_change::Kind kind, bool flag = false, const std::string& text = std::string()) {
        if (change_log_)
            change_log_->push_back(Deps_change{kind, flag, text});
    }
    std::string dependency_path(const std::string& name, bool from_run_dir, const std::string& dir) const;

    Scan_mode scan_ = Scan_mode::full;
    std::string records_dir_;
    std::function<void(const std::string& path)> included_file_watcher_;
    Deps_changes* change_log_ = nullptr;
    std::string target_extension_;
    std::string output_extension_;
    std::vector<Dependency> dependencies_;
    bool always_ = false;
    bool no_output_ = false;
    bool main_file_ = true;
    Exclude_list archive_excludes_;
    std::string current_dir_;
    std::vector<std::string> saved_dirs_;
    std::string working_directory_;
};
