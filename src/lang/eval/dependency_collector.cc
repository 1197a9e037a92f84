#include "lang/eval/dependency_collector.h"

#include <cerrno>
#include <string_view>

#include "base/make_names.h"
#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/node.h"

Dependency_collector::Dependency_collector(Reporter& reporter, std::string target_extension)
    : Eval_context(reporter), target_extension_(std::move(target_extension)),
      working_directory_(work_dir().working_dir() + "/") {
    set_run_dir(working_directory_);
}

Dependency_collector::~Dependency_collector() = default;

// Nodes are named without the include chain: the collector never runs them, and all of them go
// before the next source starts.
Node* Dependency_collector::add_statement(Node* node) {
    Reporter& r = reporter();
    node->owner = this;
    node->on_registered();
    node->src = r.scan_plain_name();
    node->line = r.scan_location().line;
    node->deps(*this);
    queue(node);
    return node;
}

// The statement at the back of the queue is the completed top-level statement; every other queued node
// belongs to its subtree and goes with it.
void Dependency_collector::on_statement_complete() {
    delete take_statement();
}

void Dependency_collector::on_parse_abandoned() {
    saved_dirs_.clear();
    forget_pending();
}

namespace {

// An extension is one word of letters, digits, ".", "_", "-" and "+": it ends the output's name in the
// rule and in the recipe.
bool plain_word(const std::string& word) {
    for (char c : word) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && c != '.' && c != '_' && c != '-' && c != '+')
            return false;
    }
    return true;
}

} // namespace

void Dependency_collector::on_marker(Marker marker, const std::string& text) {
    switch (marker) {
    case Marker::no_output:
        mark_no_output();
        break;
    case Marker::always:
        mark_always();
        break;
    case Marker::extension:
        // Blanks alone name no extension.
        if (text.empty())
            return;
        if (!plain_word(text)) {
            reporter().warning("__EXT__ " + text +
                                   ": an extension is one word of letters, digits, \".\", \"_\", \"-\" and "
                                   "\"+\"; marker ignored",
                               "__EXT__ " + text + ": ignored");
            return;
        }
        mark_extension(text);
        break;
    case Marker::dependency:
        // A marker followed by blanks only names no file (not the directory of the file being read).
        if (!text.empty())
            add_dependency(text, false);
        break;
    }
}

void Dependency_collector::on_file_end(bool tags_seen) {
    if (!tags_seen && scan_ == Scan_mode::fast)
        reporter().warning("Source file with no <vorn> tags in fast mode");
}

bool Dependency_collector::on_include(const Gen_type& name, Include_reader& reader) {
    leave_main_file();
    // The collector runs no statement: a name taken from a variable that the page sets as it runs is
    // undefined here.  That inclusion is not followed (the page was warned about its name already); the
    // page itself is still scanned to its end.
    if (!name.is_string())
        return false;
    const std::string& path = name.get_string(reporter());
    if (scan_ == Scan_mode::fast) {
        if (!reader.opens(path)) {
            int err = errno;
            std::string text = path + ": No such file or directory";
            errno = err;
            reporter().fatal_errno(text, "");
        }
        return false;
    }
    if (!reader.read(path))
        return false;
    enter_include_dir(path);
    return true;
}

std::string Dependency_collector::output_name() const {
    return raw_output_name() + (output_extension_.empty() ? target_extension_ : output_extension_);
}

void Dependency_collector::enter_include_dir(const std::string& file_name) {
    log(Deps_change::enter_include_dir, false, file_name);
    if (included_file_watcher_)
        included_file_watcher_(dependency_path(file_name, false, current_dir_));
    saved_dirs_.push_back(current_dir_);
    current_dir_ += dir_part(file_name);
}

void Dependency_collector::leave_include_dir() {
    if (saved_dirs_.empty())
        reporter().fatal("Deps_tree::undo_refresh () - internal error");
    log(Deps_change::leave_include_dir);
    current_dir_ = std::move(saved_dirs_.back());
    saved_dirs_.pop_back();
}

std::string Dependency_collector::dependency_path(const std::string& name, bool from_run_dir,
                                                  const std::string& dir) const {
    return normalize_path((!name.empty() && name[0] == '/') || from_run_dir ? name : dir + name, true);
}

namespace {

// The makefile's own prefix variable, with which the page's output name (outputfile()) begins.
constexpr std::string_view prefix_variable = "$(prefix)";

// The dependency `path`, taken from the run directory when `from_run_dir`: a name from the run directory
// that begins with the prefix variable lies below it.
Dependency dependency_of(const std::string& path, bool from_run_dir) {
    if (from_run_dir && path.compare(0, prefix_variable.size(), prefix_variable) == 0)
        return Dependency{path.substr(prefix_variable.size()), true};
    return Dependency{path, false};
}

bool expressible_dependency(const std::string& path, bool from_run_dir) {
    return expressible_prerequisite(dependency_of(path, from_run_dir).name);
}

} // namespace

bool Dependency_collector::add_dependency(const std::string& name, bool from_run_dir) {
    log(Deps_change::dependency, from_run_dir, name);
    const std::string path = dependency_path(name, from_run_dir, current_dir_);
    if (!expressible_dependency(path, from_run_dir)) {
        reporter().warning(path + ": make cannot read this name back as a file; dependency left out",
                           path + ": name make cannot express");
        return false;
    }
    dependencies_.push_back(dependency_of(path, from_run_dir));
    return true;
}

void Dependency_collector::add_archive_exclude(const std::string& name) {
    log(Deps_change::archive_exclude, false, name);
    // An empty name names no file (the directory's path would take its place).
    if (name.empty())
        return;
    archive_excludes_.insert_source(dependency_path(name, false, current_dir_));
}

void Dependency_collector::mark_no_output() {
    log(Deps_change::no_output);
    if (main_file_)
        no_output_ = true;
}

void Dependency_collector::mark_always() {
    log(Deps_change::always);
    always_ = true;
}

void Dependency_collector::mark_extension(const std::string& ext) {
    log(Deps_change::extension, false, ext);
    set_output_extension(ext);
}

void Dependency_collector::leave_main_file() {
    log(Deps_change::not_main);
    main_file_ = false;
}

bool Dependency_collector::note_unfixed_dependency() {
    log(Deps_change::unfixed_dependency);
    return !always_;
}

void Dependency_collector::unfixed_dependency() {
    if (!note_unfixed_dependency())
        return;
    if (!records_dir_.empty())
        reporter().info("unable to get dependency");
    else
        reporter().warning("unable to get dependency");
}

namespace {

// A variable's name and value as one text, every part of the value included: two texts are equal when the
// names and values are.
void put_value(std::string& out, const Gen_type* value) {
    auto put_size = [&out](std::size_t n) { out.append(reinterpret_cast<const char*>(&n), sizeof n); };
    if (!value) {
        out += '-';
        return;
    }
    out += static_cast<char>(value->kind());
    const int32_t i = value->integer();
    out.append(reinterpret_cast<const char*>(&i), sizeof i);
    put_size(value->text().size());
    out += value->text();
    put_size(value->elements().size());
    for (const Gen_type& element : value->elements())
        put_value(out, &element);
}

std::string variable_text(const std::string& name, const Gen_type* value) {
    std::string out;
    const std::size_t n = name.size();
    out.append(reinterpret_cast<const char*>(&n), sizeof n);
    out += name;
    put_value(out, value);
    return out;
}

} // namespace

void Dependency_collector::variable_read(const std::string& name, const Gen_type* value) {
    if (change_log_)
        log(Deps_change::variable, false, variable_text(name, value));
}

// Followed on copies of the directory stack and the "__ALWAYS__" flag; the variables read are looked up.
bool Dependency_collector::changes_are_silent(const Deps_changes& changes) const {
    std::vector<std::string> dirs{current_dir_};
    bool quiet = always_;
    for (const Deps_change& c : changes) {
        switch (c.kind) {
        case Deps_change::dependency:
            if (!expressible_dependency(dependency_path(c.text, c.flag, dirs.back()), c.flag))
                return false;
            break;
        case Deps_change::always:
            quiet = true;
            break;
        case Deps_change::enter_include_dir:
            dirs.push_back(dirs.back() + dir_part(c.text));
            break;
        case Deps_change::leave_include_dir:
            if (dirs.size() < 2)
                return false;
            dirs.pop_back();
            break;
        case Deps_change::unfixed_dependency:
            if (!quiet)
                return false;
            break;
        case Deps_change::page_value:
            return false;
        case Deps_change::variable: {
            std::size_t n = 0;
            c.text.copy(reinterpret_cast<char*>(&n), sizeof n);
            const std::string name = c.text.substr(sizeof n, n);
            if (variable_text(name, peek_variable(name)) != c.text)
                return false;
            break;
        }
        default:
            break;
        }
    }
    return true;
}

void Dependency_collector::make_changes(const Deps_changes& changes) {
    for (const Deps_change& c : changes) {
        switch (c.kind) {
        case Deps_change::dependency:
            add_dependency(c.text, c.flag);
            break;
        case Deps_change::archive_exclude:
            add_archive_exclude(c.text);
            break;
        case Deps_change::no_output:
            mark_no_output();
            break;
        case Deps_change::always:
            mark_always();
            break;
        case Deps_change::extension:
            mark_extension(c.text);
            break;
        case Deps_change::not_main:
            leave_main_file();
            break;
        case Deps_change::enter_include_dir:
            enter_include_dir(c.text);
            break;
        case Deps_change::leave_include_dir:
            leave_include_dir();
            break;
        case Deps_change::unfixed_dependency:
            note_unfixed_dependency();
            break;
        case Deps_change::page_value:
            on_page_value();
            break;
        case Deps_change::variable:
            log(Deps_change::variable, false, c.text);
            break;
        }
    }
}

void Dependency_collector::set_input_name(const std::string& name) {
    reporter().forget_plain_names();
    std::string input = normalize_path(name, true);
    set_input(input, working_directory_ + input);
}

void Dependency_collector::set_output_name(const std::string& name) {
    std::string output = normalize_path(name, true);
    set_output(output, working_directory_ + output);
}

void Dependency_collector::set_directory(const std::string& path) {
    current_dir_ = dir_part(path);
    main_file_ = true;
}

bool Dependency_collector::take_no_output() {
    const bool taken = no_output_;
    no_output_ = false;
    return taken;
}

void Dependency_collector::end_source() {
    dependencies_.clear();
    output_extension_.clear();
    always_ = false;
}

std::string Dependency_collector::take_archive_excludes() {
    std::string out;
    archive_excludes_.write([&out](std::string_view piece) { out += piece; });
    archive_excludes_.clear();
    return out;
}
