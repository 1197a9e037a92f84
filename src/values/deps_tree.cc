#include "diag/reporter.h"
#include "driver/paths.h"
#include "frontend/node.h"
#include "values/tree.h"

Deps_tree::Deps_tree(std::string target_extension)
    : target_extension_(std::move(target_extension)), working_directory_(working_dir() + "/") {
    run_dir_ = working_directory_;
}

Deps_tree::~Deps_tree() = default;

void Deps_tree::ensure_exec() {
    reporter().fatal("Deps_tree::ensure_exec () -- Internal Error");
}

Node* Deps_tree::add_statement(Node* node) {
    stamp(node);
    node->deps();
    pending_.push_back(node);
    return node;
}

// The statement at the back of the queue is the completed top-level statement; every other queued node
// belongs to its subtree and goes with it.
void Deps_tree::drop_statement() {
    if (pending_.empty())
        return;
    Node* statement = pending_.back();
    forget_pending();
    delete statement;
}

std::string Deps_tree::output_name() const {
    return output_name_ + (output_extension_.empty() ? target_extension_ : output_extension_);
}

void Deps_tree::refresh(const std::string& file_name) {
    saved_dirs_.push_back(current_dir_);
    current_dir_ += dir_part(file_name);
}

void Deps_tree::undo_refresh() {
    if (saved_dirs_.empty())
        reporter().fatal("Deps_tree::undo_refresh () - internal error");
    current_dir_ = std::move(saved_dirs_.back());
    saved_dirs_.pop_back();
}

void Deps_tree::set_input_name(const std::string& name) {
    input_name_ = normalize_path(name, true);
    input_path_ = working_directory_ + input_name_;
}

void Deps_tree::set_output_name(const std::string& name) {
    output_name_ = normalize_path(name, true);
    output_path_ = working_directory_ + output_name_;
}

void Deps_tree::set_directory(const std::string& path) {
    current_dir_ = dir_part(path);
    main_file = 1;
}

void Deps_tree::append_rule_text(const std::string& text) {
    (always ? always_list : target_list) += text;
}

void Deps_tree::write_dependencies() {
    for (const std::string& entry : dependencies)
        text_ += entry;
}

std::string Deps_tree::take_archive_excludes() {
    std::string out;
    for (const std::string& entry : archive_excludes)
        out += entry;
    archive_excludes.clear();
    return out;
}

void Deps_tree::reset_source_state() {
    saved_dirs_.clear();
    forget_pending();
}
