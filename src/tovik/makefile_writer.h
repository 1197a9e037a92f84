// The generated makefile and its side file ".sources": all the makefile's text is made here, from what the
// scan found -- the variables block, each page's rule and its entry in a target list (from the dependencies
// the collector gathered for the page's source), the dist-noupdate rule -- and the files are written from it
// at the end.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/block_text.h"

class Dependency_collector;
class Makefile_inputs;

enum class Archive_form {
    archive, // dist-noupdate packs the site, leaving out the files listed in M.sources
    refusal  // dist-noupdate only says that no archive is made
};

// The name of the directory the tool runs in, taken from the root directory ("./" when used) as an
// absolute path.
std::string site_name(const std::string& root_dir);

// The files the page of the source just scanned depends on (those the collector gathered), as make reads
// their names back, in byte order, each once.
std::vector<std::string> prerequisite_names(const Dependency_collector& store);

// One output page of a source, as the scan found it.
struct Page_rule {
    std::string output;           // the page, as the makefile names it (with the prefix variable)
    std::string source;           // the file vorn reads (a translation's own file, when it exists)
    std::string extension;        // the page's extension
    std::string options_variable; // the variable holding the options of the page's section
    std::string record;           // where vorn records what the page read (--exact-deps), or empty
    std::string language;         // a translation's language, empty for the untranslated page
    bool revert = false;          // the translation's file is missing: vorn makes the page from the source
    // What the page depends on besides its source: the source's dependencies (prerequisite_names), then what
    // vorn recorded that the page read besides them; each in byte order, each name once.
    std::vector<std::string> prerequisites;
    std::vector<std::string> recorded;
    bool on_source = false; // --fast: the prerequisites hang on the source instead of on the page
    bool always = false;    // rebuilt by every make (__ALWAYS__)
    bool listed = true;     // in a target list (not __NO_OUTPUT__, not below a "nooutput" directory)
};

class Makefile_writer {
public:
    // `makefile` is the makefile's name (M); the side files are named after it.  The pages' rules wait in
    // a scratch file beside it until it is written.
    Makefile_writer(Dependency_collector& store, std::string makefile);

    void begin_variables(const std::string& prefix, const std::string& vorn_options,
                         const std::string& section_options);
    void add_branch_variables(const std::string& name, const std::string& options);
    // Completes the dist-noupdate rule; the archive form also lists the makefile's own files (and the
    // archive named after `site`) in the store's archive excludes.  A site directory or makefile whose name
    // cannot be written into the recipe gets the refusal form all the same, with a warning.
    void finish_archive_rule(Archive_form form, const std::string& site);

    // The makefile remakes itself (--self-update): `inputs` gathers what it is made from, `command` is the
    // recipe line of its rule for itself.
    void remake_itself(const Makefile_inputs* inputs, std::string command) {
        inputs_ = inputs;
        self_command_ = std::move(command);
    }

    // The rule of a page, its entry in a target list, its recipe in the always rule.
    void add_page(const Page_rule& page);
    // Whether any page got into a target list: a site of none gets the empty makefile.
    bool lists_pages() const { return !target_list_.empty() || !always_list_.empty(); }

    // Takes the archive excludes from the store and writes M.sources.
    void write_sources_file();
    // Writes M in full, with the text of M.add when that file can be read.
    void write_makefile();
    // Leaves M as an empty file.
    void write_empty_makefile();

    // The makefile's whole text, with `extra` standing for the contents of M.add.
    std::string makefile_text(const std::string& extra) const;

    const std::string& variables() const { return variables_; }
    const std::string& dist_noupdate() const { return dist_noupdate_; }

private:
    // Gives the makefile's text piece by piece, in order.
    // Returns 0, or the error number of rules that could not be read back.
    int write_text(const std::string& extra, const std::function<void(std::string_view)>& put) const;

    Dependency_collector& store_;
    std::string makefile_;
    Block_text rules_; // the pages' rules, in order
    std::string target_list_;
    std::string always_list_;                 // the pages rebuilt by every make
    std::string always_recipes_;              // their recipes, for the always rule
    std::set<std::string> output_extensions_; // of every page that got a rule
    // The patterns of make's wildcard that find every record of what a page read (--exact-deps).
    std::set<std::string> record_patterns_;
    std::string variables_;
    std::string dist_noupdate_ = "\n\ndist-noupdate:\n\t";
    std::string archive_recipe_; // the recipe of dist-noupdate, which dist runs too
    const Makefile_inputs* inputs_ = nullptr;
    std::string self_command_;
};
