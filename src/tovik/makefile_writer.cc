#include "tovik/makefile_writer.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "base/make_names.h"
#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/dependency_collector.h"
#include "os/read_open.h"
#include "os/replace_file.h"
#include "tovik/archive_recipe.h"
#include "tovik/makefile_inputs.h"

namespace {

const char rights_line[] = "# Copyright (C) the authors of this site";

const char* const licence[] = {
    "# This makefile is free software; you have unlimited\n",
    "# permission to copy and/or distribute it, with or without\n",
    "# modifications, as long as this notice is preserved.\n\n",
    "# This makefile is distributed in the hope that it will be \n",
    "# useful, but WITHOUT ANY WARRANTY, to the extent permitted\n",
    "# by law; without even the implied warranty of \n",
    "# MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE.\n\n\n",
};

// make searches its built-in implicit rules for every prerequisite, which on a large site costs far more
// than reading the makefile: none is needed, so they are turned off, the suffix rules by an empty suffix
// list and the five pattern rules that remain by cancelling them.
const char no_builtin_rules[] = ".SUFFIXES:\n"
                                "% : %,v\n"
                                "% : RCS/%,v\n"
                                "% : RCS/%\n"
                                "% : s.%\n"
                                "% : SCCS/s.%\n"
                                "\n";

const char refusal_recipe[] =
    "@echo \"NO ARCHIVE CREATED. This feature is only enabled when Vorn-tovik is run "
    "without neither --prefix nor --root-dir option\"";

// The whole contents of a regular file, or nothing when it cannot be opened.
std::string read_whole_file(const std::string& name) {
    std::string text;
    std::FILE* f = open_for_reading(name);
    if (!f)
        return text;
    char buf[65536];
    std::size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0)
        text.append(buf, got);
    std::fclose(f);
    return text;
}

// What vorn recorded of each page it made (--exact-deps), in the records directory `dir`: the records that
// exist are included, each with a rule, so that make never tries to make one or looks for a rule that would.
std::string records_text(const std::string& dir, const std::set<std::string>& record_patterns) {
    std::string patterns;
    for (const std::string& pattern : record_patterns)
        patterns += (patterns.empty() ? "" : " ") + pattern;
    return "# What each page read when it was last made (--exact-deps), recorded by vorn in " + dir +
           "/.\n__vt_records := $(wildcard " + patterns +
           ")\n-include $(__vt_records)\n$(__vt_records): ;\n\n";
}

// A makefile that remakes itself holds the records in its rules (read when it is made) and is made again
// when a record changes, which changes the time of the record's directory.
std::set<std::string> record_dirs(const std::set<std::string>& record_patterns) {
    std::set<std::string> dirs;
    for (const std::string& pattern : record_patterns)
        dirs.insert(pattern.substr(0, pattern.rfind('/')));
    return dirs;
}

// The pattern of make's wildcard that finds the record `record` and the others of its directory: a record
// is named after its page, and a hidden page's is hidden too.
std::string record_pattern(const std::string& record) {
    return dir_part(record) + (base_name(record)[0] == '.' ? ".*.d" : "*.d");
}

// Each name of a rule's prerequisites goes on a line of its own.
void put_prerequisites(std::string& rule, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        rule += " \\\n\t";
        rule += name;
    }
}

// The prefix variable, with which the makefile names the pages' outputs.
constexpr char prefix_variable[] = "$(prefix)";

} // namespace

std::vector<std::string> prerequisite_names(const Dependency_collector& store) {
    std::vector<std::string> names;
    names.reserve(store.dependencies().size());
    for (const Dependency& d : store.dependencies())
        names.push_back(d.below_prefix ? prefix_variable + escaped_prerequisite(d.name)
                                       : escaped_prerequisite(d.name));
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::string site_name(const std::string& root_dir) {
    const std::string dir = normalize_path(root_dir, true);
    if (dir.size() < 2)
        return std::string();
    std::size_t slash = dir.rfind('/', dir.size() - 2);
    std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return dir.substr(start, dir.size() - 1 - start);
}

Makefile_writer::Makefile_writer(Dependency_collector& store, std::string makefile)
    : store_(store), makefile_(std::move(makefile)) {
    const int fd = open_scratch_file(makefile_);
    if (fd >= 0)
        rules_.spill_to(fd);
}

void Makefile_writer::begin_variables(const std::string& prefix, const std::string& vorn_options,
                                      const std::string& section_options) {
    variables_ = "prefix = " + prefix + "\n" + "\n__vorn_OPTS = " + vorn_options +
                 "\nmain_OPTS = " + section_options + "\n";
}

void Makefile_writer::add_branch_variables(const std::string& name, const std::string& options) {
    variables_ += name + " = " + options + "\n";
}

// vorn's options come before the two names: a translation's language, and whether the page is made from the
// untranslated source.
void Makefile_writer::add_page(const Page_rule& page) {
    std::string options;
    if (!page.language.empty())
        options = " -p -D_LANG=" + page.language + " ";
    if (page.revert)
        options += "-D_REVERT ";
    const std::string recipe = "\n\tvorn $(__vorn_OPTS) $(" + page.options_variable + ") " +
                               (page.record.empty() ? "" : "--deps " + page.record + " ") + options +
                               page.source + " " + page.output;
    std::string rule = page.output + ":\t" + page.source;
    if (!page.on_source) {
        put_prerequisites(rule, page.prerequisites);
        put_prerequisites(rule, page.recorded);
        rule += recipe + "\n\n";
    } else {
        rule += recipe + "\n\n";
        if (!page.prerequisites.empty() || !page.recorded.empty()) {
            rule += page.source + ":\t";
            put_prerequisites(rule, page.prerequisites);
            put_prerequisites(rule, page.recorded);
        }
        rule += "\n\n";
    }
    rules_.append(rule);
    if (page.always)
        always_recipes_ += recipe;
    output_extensions_.insert(page.extension);
    if (!page.record.empty())
        record_patterns_.insert(record_pattern(page.record));
    if (page.listed)
        (page.always ? always_list_ : target_list_) += page.output + "\\\n";
}

void Makefile_writer::finish_archive_rule(Archive_form form, const std::string& site) {
    if (form == Archive_form::refusal) {
        archive_recipe_ = refusal_recipe;
        dist_noupdate_ += archive_recipe_;
        return;
    }
    const std::string& m = makefile_;
    // A name with a control byte would split into other lines of the list: it is left out.
    std::string own;
    if (!has_control_byte(m))
        own = m + "\n" + m + "~\n" + m + ".vt\n" + m + ".vt~\n" + m + ".sources\n" + m + ".sources~\n" + m +
              ".add\n" + m + ".add~\n";
    if (!has_control_byte(site))
        own += site + ".tar.gz\n";
    if (!own.empty())
        store_.exclude_from_archive(own);
    // The name that cannot be written into the recipe, if any.
    const std::string* odd = !archivable_name(site, false) ? &site : !archivable_name(m, true) ? &m : nullptr;
    if (odd) {
        store_.reporter().warning((odd == &site ? "site directory name \"" : "makefile name \"") + *odd +
                                      "\" cannot be passed safely to make, the shell and tar; make dist will "
                                      "make no archive",
                                  *odd + ": no archive");
        archive_recipe_ = refusal_recipe;
    } else {
        archive_recipe_ = archive_recipe(site, m, output_extensions_);
    }
    dist_noupdate_ += archive_recipe_;
}

void Makefile_writer::write_sources_file() {
    replace_file(
        store_.reporter(), makefile_ + ".sources",
        [this](const Piece_writer& put) {
            store_.write_archive_excludes(put);
            put("\n");
            return 0;
        },
        "Can't open sources file ", "Can't write sources file ");
    store_.clear_archive_excludes();
}

std::string Makefile_writer::makefile_text(const std::string& extra) const {
    std::string out;
    write_text(extra, [&out](std::string_view piece) { out += piece; });
    return out;
}

int Makefile_writer::write_text(const std::string& extra,
                                const std::function<void(std::string_view)>& put) const {
    std::string all = "all: $(TARGETS)";
    std::string clean = "\n\nclean:\n\trm -f $(TARGETS) ";
    const std::string& records_dir = store_.records_dir();
    if (!records_dir.empty())
        clean = "\n\nclean:\n\trm -rf " + records_dir + "\n\trm -f $(TARGETS) ";
    std::string phony = "\n\n.PHONY: all clean dist dist-noupdate sitedist";
    std::string always_rule;
    if (!always_list_.empty()) {
        all += " always";
        always_rule = "always: " + always_recipes_;
        clean += always_list_;
        phony += " always";
    }

    std::string head = "# Generated automatically from " + makefile_ + ".vt by vorn-tovik " + VT_VERSION;
    head += "\n";
    head += rights_line;
    head += "\n";
    for (const char* line : licence)
        head += line;
    head += no_builtin_rules;
    head += variables_ + "\n\n";
    head += "TARGETS = ";
    put(head);
    put(target_list_);
    put("\n");
    put(all + "\n\n");
    const int error = rules_.write(put);
    put("\n\n");
    if (inputs_)
        put(inputs_->text(makefile_, self_command_, record_dirs(record_patterns_)));
    else if (!records_dir.empty())
        put(records_text(records_dir, record_patterns_));
    put(extra);
    put(always_rule);
    put(clean);
    put(dist_noupdate_);
    // dist packs only when every page is made: with the archive as a prerequisite's recipe, make -j would
    // run it beside the last pages.
    put("\n\ndist: all\n\t" + archive_recipe_ + "\n\nsitedist: dist-noupdate\n\n");
    put(phony + "\n");
    return error;
}

void Makefile_writer::write_makefile() {
    const std::string extra = read_whole_file(makefile_ + ".add");
    replace_file(
        store_.reporter(), makefile_, [&](const Piece_writer& put) { return write_text(extra, put); },
        "Can't open output file ", "Can't write output file ");
}

void Makefile_writer::write_empty_makefile() {
    replace_file(store_.reporter(), makefile_, std::string(), "Can't open output file ",
                 "Can't write output file ");
}
