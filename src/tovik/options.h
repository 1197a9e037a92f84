// The run's settings: the option store and the options object of vorn-tovik with its branch and translation
// lists (tovik/parse_options.h fills it from the command line and the site's template file).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "diag/reporter.h"

// Keys of the option store.  The numbers are fixed.
enum class Option_id : int {
    root_dir = 0,
    prefix = 1,
    source_ext = 2,
    target_ext = 3,
    vorn_options = 4,
    makefile = 5,
    branch_root = 6,
    branch_prefix = 7,
    section_options = 8,
    opts_variable = 9,
};

// An ordered multimap from option id to string values plus the program name.  Several values may stand
// under one id; they keep their insertion order.
class Options {
public:
    virtual ~Options();
    // Print the usage lines (status != 0, on stderr) or the help (status 0, on stdout) and end the run.
    [[noreturn]] virtual void usage(int status) = 0;
    [[noreturn]] virtual void version() = 0;

    // Replaces every value under id by this one.
    void set(Option_id id, const std::string& value);
    // Stores a value under id after those already there.
    void add(Option_id id, const std::string& value);
    // All values under id joined with one blank; empty when there is none.  Values are not trimmed.
    std::string get(Option_id id) const;

    const std::string& program_name() const { return program_name_; }
    void set_program_name(const std::string& name) { program_name_ = name; }

private:
    std::multimap<int, std::string> store_;
    std::string program_name_;
};

// A site subtree built into its own output directory with its own vorn options (a template branch).
struct Branch {
    std::string source_dir;
    std::string output_dir;
    std::string options;
};

class Tovik_opt : public Options {
public:
    // Holds the defaults of every option that has one.
    Tovik_opt();

    [[noreturn]] void usage(int status) override;
    [[noreturn]] void version() override;
    // Prints the accessibility notes on stdout and ends the run.
    [[noreturn]] void accessibility();

    // Takes the last branch entry and points branch_root, branch_prefix, section_options and opts_variable
    // at it; false (nothing changed) when the list is empty.
    bool next_branch();

    // The flags, from the command line or the template.
    bool fast = false;        // scan sources fast (Scan_mode::fast)
    bool self_update = false; // the makefile remakes itself when what it was made from changes
    bool exact_deps = false;  // each page's recipe has vorn record what the page read

    std::vector<Branch> branches;
    // The first entry is always the empty string: the page in its untranslated form.
    std::vector<std::string> translations;
    // The command line as given (the program's name first), for the makefile's rule that runs it again.
    std::vector<std::string> arguments;
};

// What parse_options has gathered from the command line and the template before it is stored: the
// remembered directories and extensions, the verbosity and error policy, the translations text.
struct Pending_settings {
    std::string root_dir;
    std::optional<std::string> prefix;
    std::optional<std::string> source_ext;
    std::optional<std::string> target_ext;
    std::optional<std::string> translations;
    Verbosity verbosity = Verbosity::normal;
    Policy policy = Policy::normal;
};
