#include "tovik/options.h"

#include <cstdio>

#include "base/process_end.h"
#include "tovik/texts.h"

// ---- Options

Options::~Options() = default;

void Options::set(Option_id id, const std::string& value) {
    store_.erase(static_cast<int>(id));
    add(id, value);
}

void Options::add(Option_id id, const std::string& value) {
    // A multimap inserts equal keys after those already there, so values keep their order.
    store_.emplace(static_cast<int>(id), value);
}

std::string Options::get(Option_id id) const {
    std::string joined;
    auto range = store_.equal_range(static_cast<int>(id));
    for (auto it = range.first; it != range.second; ++it) {
        if (it != range.first)
            joined += ' ';
        joined += it->second;
    }
    return joined;
}

// ---- Tovik_opt

namespace {

void write_out(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
}

} // namespace

Tovik_opt::Tovik_opt() {
    set(Option_id::root_dir, "./");
    set(Option_id::prefix, "./");
    set(Option_id::source_ext, "vrn");
    set(Option_id::target_ext, "html");
    set(Option_id::makefile, "Makefile");
}

void Tovik_opt::usage(int status) {
    if (status != 0) {
        write_out(stderr, usage_line(program_name()) + try_help_line(program_name()));
    } else {
        write_out(stdout, usage_line(program_name()) + help_text());
    }
    end_process(status);
}

void Tovik_opt::version() {
    write_out(stdout, version_text());
    end_process(0);
}

void Tovik_opt::accessibility() {
    write_out(stdout, accessibility_text());
    end_process(0);
}

bool Tovik_opt::next_branch() {
    if (branches.empty())
        return false;
    const Branch& branch = branches.back();
    set(Option_id::branch_root, branch.source_dir);
    std::string variable = branch.output_dir;
    if (!variable.empty() && variable.back() == '/')
        variable.pop_back();
    set(Option_id::opts_variable, variable + "_OPTS");
    set(Option_id::branch_prefix, branch.output_dir);
    set(Option_id::section_options, branch.options);
    branches.pop_back();
    return true;
}
