// What a makefile is made from, gathered while the site is scanned, and the makefile text through which
// make remakes the makefile when any of it changes (--self-update): a rule for the makefile itself, whose
// prerequisites are the files the scan read (template, M.add, sources, included files), and a comparison of
// what make's $(wildcard ...) finds in the scanned directories now with what the scan found there.
//
// Directory times would be a poor signal: pages, vorn's temporary files and the makefile's own replacement
// change them on every build.  So the makefile lists the names that make's wildcard returned when it was
// made -- exactly: the same patterns matched the same way, split into words where make splits them -- and
// forces its own remaking only when the two lists differ.  The pages' directories are left out of both
// lists, and directories only the build makes (translations, a prefix) are not watched, so that building
// the site never changes what is compared; nor are names beginning with "." (editors' and version
// control's files).
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

class Makefile_inputs {
public:
    // `source_ext`: the sources' extension; `translations`: the translation list (its empty first entry
    // included); `prefix`: what "$(prefix)" stands for.
    Makefile_inputs(std::string source_ext, const std::vector<std::string>& translations, std::string prefix);

    // A directory is listed: `dir` names it from the run directory as make does (empty, or ending with
    // "/").  Its entries follow, then leave_directory.  Nested listings stack.
    void enter_directory(const std::string& dir);
    void leave_directory();
    // An entry of the directory listed last, read in that directory (the working directory): `directory`
    // tells whether it is one, symbolic links followed.
    void entry(const std::string& name, bool directory);

    // A file the scan read (a source, an included file), as the makefile names it.
    void read(const std::string& path);
    // A prerequisite of a page's rule, exactly as the rule writes it.
    void prerequisite(const std::string& text);
    // A page's output, as the rule names it ("$(prefix)..."): it is a target, and its directories are the
    // build's.
    void output(const std::string& path);
    // A file that may be missing (the template, M.add), named from the run directory.
    void optional_input(const std::string& path);

    // The makefile's rule for itself and what goes with it; `command` is the recipe line that makes it;
    // `record_dirs`: the directories of vorn's records of what pages read (--exact-deps), whose times
    // change when vorn changes a record in them.
    std::string text(const std::string& makefile, const std::string& command,
                     const std::set<std::string>& record_dirs) const;
    // The files the makefile is made from, named from the run directory.
    std::vector<std::string> input_files() const;

private:
    // What a watched directory holds that make's wildcard finds, and the markers looked for in its
    // subdirectories.
    struct Watched {
        std::set<std::string> found;
        std::set<std::string> markers;
    };
    struct Listing {
        std::string dir;
        Watched* watched; // null: not watched
    };
    // A directory the build makes and no file the scan read lies in: its contents are the build's.
    bool made_only(const std::string& dir, const std::set<std::string>& source_dirs) const;

    std::string source_ext_;
    std::vector<std::string> file_patterns_; // of a directory's entries
    std::string prefix_;
    std::vector<Listing> listings_;
    std::map<std::string, Watched> watched_;
    std::vector<std::string> optional_;
    std::set<std::string> optional_found_;
    std::set<std::string> read_;
    std::set<std::string> prerequisites_;
    std::set<std::string> outputs_;
    std::set<std::string> made_dirs_;
};

// The prerequisites that the record `path` of vorn --deps names for its page, as the record writes them;
// none when it cannot be read.  A text that escaped_prerequisite cannot have written is left out.
std::vector<std::string> recorded_prerequisites(const std::string& path);

// `argument` as one word for the shell, and for make in a recipe (no word of it is read as make or shell
// syntax).  `first`: the recipe's first word, which must not begin with a recipe prefix ("@", "-", "+").
std::string recipe_word(const std::string& argument, bool first);

// Makes the file `name` no older than the newest of `inputs` (those that exist): make takes a target whose
// time equals that of its newest prerequisite to be up to date.
void keep_after_inputs(const std::string& name, const std::vector<std::string>& inputs);
