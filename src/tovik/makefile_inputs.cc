#include "tovik/makefile_inputs.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <fnmatch.h>
#include <string_view>
#include <sys/stat.h>

#include "base/make_names.h"
#include "base/paths.h"
#include "os/read_open.h"

namespace {

// The bytes at which make splits a text into words.
bool make_space(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void add_words(std::set<std::string>& words, const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && make_space(static_cast<unsigned char>(text[pos])))
            ++pos;
        std::size_t end = pos;
        while (end < text.size() && !make_space(static_cast<unsigned char>(text[end])))
            ++end;
        if (end > pos)
            words.insert(text.substr(pos, end - pos));
        pos = end;
    }
}

// `word` written in a variable's value so that make gives it back: "$" doubled; before "#", which would
// start a comment, the run of backslashes doubled and one more added.
std::string literal_word(const std::string& word) {
    std::string out;
    std::size_t backslashes = 0;
    for (char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '#' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        if (c == '$')
            out += '$';
        out += c;
    }
    out.append(backslashes, '\\');
    return out;
}

// A variable holding `words`, one a line; the empty line after the last ends it.
std::string word_list(const std::string& name, const std::set<std::string>& words) {
    std::string out = name + " := \\\n";
    for (const std::string& word : words)
        out += "\t" + literal_word(word) + " \\\n";
    return out + "\n";
}

// Whether a directory's path from the run directory has a component that begins with "." ("..", which
// leads out of the run directory, excepted).
bool hidden_path(const std::string& dir) {
    for (std::size_t start = 0; start < dir.size();) {
        std::size_t slash = dir.find('/', start);
        if (slash == std::string::npos)
            slash = dir.size();
        const std::string part = dir.substr(start, slash - start);
        if (!part.empty() && part[0] == '.' && part != "." && part != "..")
            return true;
        start = slash + 1;
    }
    return false;
}

const char markers[][9] = {"notovik", "nooutput"};
constexpr std::string_view prefix_variable = "$(prefix)";

} // namespace

Makefile_inputs::Makefile_inputs(std::string source_ext, const std::vector<std::string>& translations,
                                 std::string prefix)
    : source_ext_(std::move(source_ext)), prefix_(std::move(prefix)) {
    // Sources, named "*.vrn" or "vrn", and their translations.
    for (const std::string& lang : translations) {
        const std::string tail = lang.empty() ? source_ext_ : source_ext_ + "." + lang;
        if (!unsafe_make_name(tail))
            file_patterns_.push_back("*" + tail);
    }
}

// Names beginning with "." are not watched: editors and version control keep their files there, and
// patterns for them would have make read every directory once more.  Nor is a directory whose name make
// cannot read plainly in a pattern.
void Makefile_inputs::enter_directory(const std::string& dir) {
    Watched* watched = unsafe_make_name(dir) || hidden_path(dir) ? nullptr : &watched_[dir];
    listings_.push_back(Listing{dir, watched});
}

void Makefile_inputs::leave_directory() {
    if (!listings_.empty())
        listings_.pop_back();
}

void Makefile_inputs::entry(const std::string& name, bool directory) {
    if (listings_.empty() || !listings_.back().watched || name[0] == '.')
        return;
    const std::string& dir = listings_.back().dir;
    Watched& watched = *listings_.back().watched;
    for (const std::string& pattern : file_patterns_)
        if (fnmatch(pattern.c_str(), name.c_str(), 0) == 0)
            watched.found.insert(dir + name);
    if (!directory)
        return;
    watched.found.insert(dir + name + "/");
    if (unsafe_make_name(name))
        return;
    // A marker is looked for by name: make finds any entry of that name.
    for (const char* marker : markers) {
        const std::string path = name + "/" + marker;
        watched.markers.insert(dir + path);
        struct stat st;
        if (lstat(path.c_str(), &st) == 0)
            watched.found.insert(dir + path);
    }
}

void Makefile_inputs::read(const std::string& path) {
    read_.insert(path);
}

void Makefile_inputs::prerequisite(const std::string& text) {
    prerequisites_.insert(text);
}

// Only what a pattern of a watched directory can return needs leaving out; a name make would read as a
// pattern of filter-out cannot be left out.
void Makefile_inputs::output(const std::string& path) {
    outputs_.insert(path);
    std::string file = path;
    if (file.compare(0, prefix_variable.size(), prefix_variable) == 0)
        file = normalize_path(prefix_ + file.substr(prefix_variable.size()), true);
    for (std::size_t slash = file.find('/'); slash != std::string::npos; slash = file.find('/', slash + 1)) {
        const std::string dir = file.substr(0, slash + 1);
        if (dir != "/" && !unsafe_make_name(dir) && !hidden_path(dir))
            made_dirs_.insert(dir);
    }
}

void Makefile_inputs::optional_input(const std::string& path) {
    if (unsafe_make_name(path))
        return;
    optional_.push_back(path);
    struct stat st;
    if (lstat(path.c_str(), &st) == 0)
        optional_found_.insert(path);
}

bool Makefile_inputs::made_only(const std::string& dir, const std::set<std::string>& source_dirs) const {
    for (std::size_t slash = dir.find('/'); slash != std::string::npos; slash = dir.find('/', slash + 1)) {
        const std::string part = dir.substr(0, slash + 1);
        if (made_dirs_.count(part) != 0 && source_dirs.count(part) == 0)
            return true;
    }
    return false;
}

std::string Makefile_inputs::text(const std::string& makefile, const std::string& command,
                                  const std::set<std::string>& record_dirs) const {
    // The directories of the files read, and every directory above them.
    std::set<std::string> source_dirs;
    for (const std::string& path : read_)
        for (std::size_t slash = path.find('/'); slash != std::string::npos;
             slash = path.find('/', slash + 1))
            source_dirs.insert(path.substr(0, slash + 1));

    std::set<std::string> seen;
    for (const std::string& name : optional_found_)
        add_words(seen, name);
    std::string optional;
    for (const std::string& path : optional_)
        optional += (optional.empty() ? "" : " ") + path;
    std::string patterns = optional;
    std::string marker_patterns;
    for (const auto& [dir, watched] : watched_) {
        if (made_only(dir, source_dirs))
            continue;
        for (const std::string& name : watched.found)
            add_words(seen, name);
        for (const std::string& pattern : file_patterns_)
            patterns += " \\\n\t" + dir + pattern;
        patterns += " \\\n\t" + dir + "*/";
        for (const std::string& marker : watched.markers)
            marker_patterns += " \\\n\t" + marker;
    }
    for (const std::string& dir : made_dirs_)
        seen.erase(dir);

    std::string out =
        "# This makefile is made again (--self-update) when what it was made from changes: its\n"
        "# template, " +
        makefile +
        ".add, a source or an included file; or when a page, a translation, a\n"
        "# directory or a marker file comes or goes.  Once per run of make.\n"
        "ifeq ($(MAKE_RESTARTS),)\n"
        "ifneq ($(MAKECMDGOALS),clean)\n";
    out += word_list("__vt_made", made_dirs_);
    out += word_list("__vt_seen", seen);
    out +=
        "__vt_found := $(sort $(filter-out $(__vt_made),$(wildcard " + patterns + marker_patterns + ")))\n";
    out += "ifneq ($(__vt_found),$(sort $(__vt_seen)))\n" + makefile + ": __vt_tree_changed\nendif\n";
    if (!record_dirs.empty()) {
        out += "__vt_record_dirs := $(wildcard";
        for (const std::string& dir : record_dirs)
            out += " " + dir;
        out += ")\n$(__vt_record_dirs): ;\n";
    }
    out += makefile + ": $(wildcard " + optional + ")" + (record_dirs.empty() ? "" : " $(__vt_record_dirs)");
    std::set<std::string> rule_names = prerequisites_;
    for (const std::string& path : read_) {
        if (!expressible_prerequisite(path))
            continue;
        const std::string text = escaped_prerequisite(path);
        out += " \\\n\t" + text;
        rule_names.insert(text);
    }
    out += "\n\t" + command + "\nendif\nendif\n.PHONY: __vt_tree_changed\n\n";
    // Like gcc's -MP: a prerequisite that is no target has a rule of its own, so that make goes on when it
    // is gone.
    for (const std::string& name : rule_names)
        if (outputs_.count(name) == 0 && name.compare(0, prefix_variable.size(), prefix_variable) != 0)
            out += target_text(name) + ":\n";
    return out + "\n";
}

std::vector<std::string> Makefile_inputs::input_files() const {
    std::vector<std::string> files(optional_.begin(), optional_.end());
    files.insert(files.end(), read_.begin(), read_.end());
    return files;
}

// The record is the page's rule (its output, a colon, then one prerequisite after each blank, backslash,
// newline and tab), an empty line, and the empty rules.
std::vector<std::string> recorded_prerequisites(const std::string& path) {
    std::vector<std::string> names;
    std::FILE* f = open_for_reading(path);
    if (!f)
        return names;
    std::string text;
    char buf[8192];
    for (std::size_t got; (got = std::fread(buf, 1, sizeof buf, f)) > 0;)
        text.append(buf, got);
    std::fclose(f);
    const std::string separator = " \\\n\t";
    const std::size_t end = text.find("\n\n");
    if (end == std::string::npos)
        return names;
    std::size_t pos = text.find(separator);
    while (pos < end) {
        const std::size_t start = pos + separator.size();
        pos = std::min(text.find(separator, start), end);
        const std::string name = text.substr(start, pos - start);
        if (escaped_prerequisite_text(name))
            names.push_back(name);
    }
    return names;
}

std::string recipe_word(const std::string& argument, bool first) {
    static const char plain[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_./,:=+-";
    const bool bare = !argument.empty() && argument.find_first_not_of(plain) == std::string::npos &&
                      !(first && (argument[0] == '-' || argument[0] == '+'));
    std::string out = bare ? "" : "'";
    for (char c : argument) {
        if (c == '\'')
            out += "'\\''";
        else if (c == '$')
            out += "$$";
        else
            out += c;
    }
    return bare ? out : out + "'";
}

void keep_after_inputs(const std::string& name, const std::vector<std::string>& inputs) {
    struct stat st;
    if (stat(name.c_str(), &st) != 0)
        return;
    struct timespec newest = st.st_mtim;
    bool older = false;
    for (const std::string& input : inputs) {
        struct stat in;
        if (stat(input.c_str(), &in) != 0)
            continue;
        if (in.st_mtim.tv_sec > newest.tv_sec ||
            (in.st_mtim.tv_sec == newest.tv_sec && in.st_mtim.tv_nsec > newest.tv_nsec)) {
            newest = in.st_mtim;
            older = true;
        }
    }
    if (!older)
        return;
    const struct timespec times[2] = {{0, UTIME_OMIT}, newest};
    utimensat(AT_FDCWD, name.c_str(), times, 0);
}
