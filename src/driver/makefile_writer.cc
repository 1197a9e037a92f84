#include "driver/makefile_writer.h"

#include <cstdio>

#include "diag/reporter.h"
#include "driver/paths.h"
#include "driver/read_open.h"
#include "driver/replace_file.h"
#include "values/tree.h"

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

} // namespace

std::string site_name(const std::string& root_dir) {
    const std::string dir = normalize_path(absolute_path(root_dir), true);
    if (dir.size() < 2)
        return std::string();
    std::size_t slash = dir.rfind('/', dir.size() - 2);
    std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    return dir.substr(start, dir.size() - 1 - start);
}

// The rules wait in a scratch file beside the makefile until it is written.
Makefile_writer::Makefile_writer(Deps_tree& store, std::string makefile)
    : store_(store), makefile_(std::move(makefile)) {
    const int fd = open_scratch_file(makefile_);
    if (fd >= 0)
        store_.spill_rules_to(fd);
}

void Makefile_writer::begin_variables(const std::string& prefix, const std::string& vorn_options,
                                      const std::string& section_options) {
    variables_ = "prefix = " + prefix + "\n" + "\n__vorn_OPTS = " + vorn_options +
                 "\nmain_OPTS = " + section_options + "\n";
}

void Makefile_writer::add_branch_variables(const std::string& name, const std::string& options) {
    variables_ += name + " = " + options + "\n";
}

void Makefile_writer::finish_archive_rule(Archive_form form, const std::string& site) {
    if (form == Archive_form::refusal) {
        dist_noupdate_ += "@echo \"NO ARCHIVE CREATED. This feature is only enabled when Vorn-tovik is run "
                          "without neither --prefix nor --root-dir option\"";
        return;
    }
    const std::string& m = makefile_;
    // No "o": the old V7 format it selects cannot store a path longer than 99 bytes.  The archive is
    // created before tar runs: gzip would otherwise create it inside the directory while tar reads that
    // directory, and tar would fail with "file changed as we read it".
    dist_noupdate_ += "touch " + site + ".tar.gz && cd ../ && \\\n\ttar chzf " + site + "/" + site +
                      ".tar.gz \\\n\t-X " + site + "/" + m + ".sources " + site + " && \\\n\tcd " + site;
    store_.archive_excludes.insert(m + "\n" + m + "~\n" + m + ".vt\n" + m + ".vt~\n" + m + ".sources\n" + m +
                                   ".sources~\n" + m + ".add\n" + m + ".add~\n" + site + ".tar.gz\n");
}

void Makefile_writer::write_sources_file() {
    replace_file(
        makefile_ + ".sources",
        [this](const Piece_writer& put) {
            store_.archive_excludes.write(put);
            put("\n");
            return 0;
        },
        "Can't open sources file ", "Can't write sources file ");
    store_.archive_excludes.clear();
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
    std::string phony = "\n\n.PHONY: all clean dist dist-noupdate sitedist";
    std::string always_rule;
    if (!store_.always_list.empty()) {
        all += " always";
        always_rule = "always: " + store_.always_recipes;
        clean += store_.always_list;
        phony += " always";
    }

    std::string head = "# Generated automatically from " + makefile_ + ".vt by vorn-tovik " + VT_VERSION;
    head += "\n";
    head += rights_line;
    head += "\n";
    for (const char* line : licence)
        head += line;
    head += variables_ + "\n\n";
    head += "TARGETS = ";
    put(head);
    put(store_.target_list);
    put("\n");
    put(all + "\n\n");
    const int error = store_.kept_rules().write(put);
    put(store_.text());
    put("\n\n");
    put(extra);
    put(always_rule);
    put(clean);
    put(dist_noupdate_);
    put("\n\ndist: all dist-noupdate\n\nsitedist: dist-noupdate\n\n");
    put(phony + "\n");
    return error;
}

void Makefile_writer::write_makefile() {
    const std::string extra = read_whole_file(makefile_ + ".add");
    replace_file(
        makefile_, [&](const Piece_writer& put) { return write_text(extra, put); }, "Can't open output file ",
        "Can't write output file ");
}

void Makefile_writer::write_empty_makefile() {
    replace_file(makefile_, std::string(), "Can't open output file ", "Can't write output file ");
}
