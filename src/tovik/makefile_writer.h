// The generated makefile and its side file ".sources": the texts the driver assembles during the run
// (the variables block and the dist-noupdate rule) and the files written from them and from the
// dependency store at the end.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class Dependency_collector;
class Makefile_inputs;

enum class Archive_form {
    archive, // dist-noupdate packs the site, leaving out the files listed in M.sources
    refusal  // dist-noupdate only says that no archive is made
};

// The name of the directory the tool runs in, taken from the root directory ("./" when used) as an
// absolute path.
std::string site_name(const std::string& root_dir);

class Makefile_writer {
public:
    // `makefile` is the makefile's name (M); the side files are named after it.
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
    std::string variables_;
    std::string dist_noupdate_ = "\n\ndist-noupdate:\n\t";
    std::string archive_recipe_; // the recipe of dist-noupdate, which dist runs too
    const Makefile_inputs* inputs_ = nullptr;
    std::string self_command_;
};
