#include "tovik/project_scan.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <optional>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/make_names.h"
#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/eval_context.h"
#include "lang/frontend/parser.h"
#include "os/read_open.h"
#include "os/work_dir.h"
#include "tovik/makefile_inputs.h"
#include "tovik/makefile_writer.h"
#include "tovik/options.h"

namespace {

const char marker_notovik[] = "/notovik";
const char marker_nooutput[] = "/nooutput";

// Parses one source for its dependencies, with the store and the reporter pointed at it.
void parse_dependencies(Source_scan& parser, Dependency_collector& store, std::FILE* source,
                        const std::string& file_path, const std::string& source_path,
                        const std::string& output_path) {
    store.reporter().set_file(file_path);
    store.set_input_name(source_path);
    store.set_output_name(output_path);
    // A parse stopped by a syntax error has cleaned up after itself; the rule is written all the same.
    parser.parse_file(store, source);
    store.reporter().clear_scan_location();
}

// A source that is no regular file (a FIFO, a device) is never read.
void warn_not_regular(Reporter& reporter, const std::string& path) {
    reporter.warning("source " + path + " is not a regular file; skipped", path + ": not a regular file");
}

// The file in which vorn records what the page `output_path` read (--exact-deps): the records directory
// holds the outputs' paths below the prefix.  Empty when the page gets none: records are off, or the path
// leads out of the directory or holds a name the shell or make would misread.
std::string record_path(const Dependency_collector& store, const std::string& output_path) {
    if (store.records_dir().empty())
        return std::string();
    std::string rest = output_path;
    if (rest.compare(0, 9, "$(prefix)") == 0)
        rest.erase(0, 9);
    rest = normalize_path(rest, true);
    if (rest.empty() || rest[0] == '/' || rest == ".." || rest.compare(0, 3, "../") == 0 ||
        unsafe_make_name(rest))
        return std::string();
    return store.records_dir() + "/" + rest + ".d";
}

// What vorn recorded that the page read and the scan did not find (`found`, in byte order), as make reads
// the names, in byte order.  A makefile that remakes itself when a record changes holds the records in its
// rules: make then reads no record at all.
std::vector<std::string> recorded_names(const Dependency_collector& store, const std::string& record,
                                        const std::string& source_path, const std::vector<std::string>& found,
                                        const Makefile_inputs* inputs) {
    std::vector<std::string> names;
    if (record.empty() || !inputs)
        return names;
    for (const std::string& name : recorded_prerequisites(store.working_directory() + record))
        if (name != source_path && !std::binary_search(found.begin(), found.end(), name))
            names.push_back(name);
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

// What the makefile's rule for itself needs to know of a page's rule.
void note_rule(const Page_rule& page, Makefile_inputs* inputs) {
    if (!inputs)
        return;
    inputs->output(page.output);
    inputs->prerequisite(page.source);
    for (const std::string& name : page.prerequisites)
        inputs->prerequisite(name);
    for (const std::string& name : page.recorded)
        inputs->prerequisite(name);
}

// One pass over a section's tree: the state the recursive calls share.  Every call restores the two
// directories before it returns, so a pass starts and ends with both empty.
struct Walk {
    explicit Walk(const Scan_run& run) : run(run) {}

    void scan_directory(const std::string& name, Makefile_inputs* inputs);
    void process_source(const std::string& name, const std::string& base, Makefile_inputs* inputs);
    void descend(const std::string& dir, const struct stat& st, Makefile_inputs* inputs);
    void scan_subdirectory(const std::string& dir, const struct stat& st, Makefile_inputs* inputs);
    void scan_entry(const std::string& name, Makefile_inputs* inputs);
    std::vector<std::string> list_entries(const std::string& name, bool subdirectory, bool& listed);
    std::string opt(Option_id id) const { return run.options.get(id); }

    const Scan_run& run;
    std::string source_dir; // the directory being scanned, as the makefile names it
    std::string output_dir; // where its outputs are made, as makefile text
    int32_t prefix_length = 0;
    // How many directories between the pass's root and the directory being scanned have unsafe names.
    int unsafe_dirs = 0;
    // The directories from the pass's root down to the one being scanned: a symbolic link to one of them
    // would make the walk go round for ever.
    std::set<Dir_id> walk_path;
    // How many directories between the pass's root and the directory being scanned hold a "nooutput"
    // marker: their pages get rules but stay out of the target lists.
    int unlisted_dirs = 0;
};

// One rule per output page of the source `name` (base `base`, ending with its "."): the untranslated page
// first, then one per translation.
void Walk::process_source(const std::string& name, const std::string& base, Makefile_inputs* inputs) {
    Dependency_collector& store = run.store;
    const std::string path = normalize_path(source_dir + name, true);
    // Source names go unquoted into rules and recipes.  A source left out is still kept out of the archive
    // (unless its name would break the archive's list, one name a line).
    if (unsafe_dirs > 0 || unsafe_make_name(name)) {
        run.reporter.warning(
            path + ": file name holds characters that make or the shell read specially; skipped",
            path + ": unsafe name");
        if (!has_control_byte(path))
            store.exclude_source(path);
        return;
    }

    for (const std::string& lang : run.options.translations) {
        std::string source_path = path;
        std::string output_path;
        std::string file = name;
        if (lang.empty()) {
            run.reporter.verbose_info("Checking for " + source_path, "");
            output_path = normalize_path(output_dir + base, true);
        } else {
            // The language's directory goes directly under the prefix.
            const std::size_t cut = std::min<std::size_t>(prefix_length, output_dir.size());
            output_path =
                normalize_path(output_dir.substr(0, cut) + lang + "/" + output_dir.substr(cut) + base, true);
            file = name + "." + lang;
            run.reporter.verbose_info("Checking for " + source_path + "." + lang, "");
        }

        store.set_directory(source_dir + name);
        std::FILE* source = open_for_reading(file);
        if (!source) {
            const bool not_regular = errno == not_regular_file;
            if (lang.empty()) {
                // A source that vanished since the listing is no source any more.
                if (not_regular)
                    warn_not_regular(run.reporter, path);
                else if (errno != ENOENT)
                    run.reporter.error_errno("can't open file " + path, path);
                continue;
            }
            if (not_regular)
                warn_not_regular(run.reporter, path + "." + lang);
            run.reporter.verbose_info("Missing Translation " + name + "." + lang, "");
        }

        if (lang.empty()) {
            parse_dependencies(run.parser, store, source, source_dir + name, source_path, output_path);
            if (inputs)
                inputs->read(source_path);
        } else if (source)
            source_path += "." + lang;

        std::string extension = store.output_extension();
        if (extension.empty())
            extension = opt(Option_id::target_ext);
        output_path += extension;
        if (source)
            std::fclose(source);

        Page_rule page;
        page.record = record_path(store, output_path);
        page.output = std::move(output_path);
        page.source = std::move(source_path);
        page.extension = std::move(extension);
        page.options_variable = opt(Option_id::opts_variable);
        page.language = lang;
        // A translation whose file is missing is made from the source.
        page.revert = !lang.empty() && !source;
        page.prerequisites = prerequisite_names(store);
        page.recorded = recorded_names(store, page.record, page.source, page.prerequisites, inputs);
        page.on_source = store.scan_mode() == Scan_mode::fast;
        page.always = store.always();
        store.exclude_source(page.source);
        note_rule(page, inputs);
        page.listed = !store.take_no_output() && unlisted_dirs == 0;
        run.writer.add_page(page);
    }
    store.end_source();
}

// The marker check of a subdirectory: true when `dir` + `marker` can be opened; `regular` then tells
// whether it is a regular file.  A marker whose status cannot be had is an error, and the directory is
// skipped (false with `skip` set) when the run goes on.
bool find_marker(Reporter& reporter, const std::string& dir, const char* marker, bool& regular, bool& skip) {
    const std::string path = dir + marker;
    if (!can_read(path))
        return false;
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        reporter.error_errno("while checking for " + path, "");
        skip = true;
        return false;
    }
    regular = S_ISREG(st.st_mode);
    return true;
}

// Scans the subdirectory `dir` (its status `st`), unless it is one of the directories being scanned.
void Walk::descend(const std::string& dir, const struct stat& st, Makefile_inputs* inputs) {
    if (walk_path.count(Dir_id{st.st_dev, st.st_ino}) != 0) {
        const std::string path = normalize_path(source_dir + dir, true);
        run.reporter.error("directory " + path +
                               " is a symbolic link back to a directory being scanned; skipped",
                           path + ": link loop");
        return;
    }
    scan_directory(dir, inputs);
}

// A "notovik" file hides the directory from the makefile; a "nooutput" file keeps the outputs of the
// directory and of everything below it out of the target lists.  Both keep it out of the archive.
void Walk::scan_subdirectory(const std::string& dir, const struct stat& st, Makefile_inputs* inputs) {
    Dependency_collector& store = run.store;
    // The records of what pages read are the makefile's own.
    if (!store.records_dir().empty() && normalize_path(source_dir + dir, true) == store.records_dir())
        return;
    bool regular = false;
    bool skip = false;
    if (find_marker(run.reporter, dir, marker_notovik, regular, skip)) {
        if (regular)
            store.exclude_from_archive(normalize_path(source_dir + dir, true) + "\n");
        else
            descend(dir, st, inputs);
        return;
    }
    if (skip)
        return;
    if (find_marker(run.reporter, dir, marker_nooutput, regular, skip)) {
        if (regular) {
            store.exclude_from_archive(normalize_path(source_dir + dir, true) + "\n");
            ++unlisted_dirs;
            descend(dir, st, inputs);
            --unlisted_dirs;
        } else {
            descend(dir, st, inputs);
        }
        return;
    }
    if (skip)
        return;
    descend(dir, st, inputs);
}

void Walk::scan_entry(const std::string& name, Makefile_inputs* inputs) {
    struct stat st;
    if (stat(name.c_str(), &st) != 0) {
        // An entry that vanished since the listing (an editor's scratch file) is skipped silently; a
        // symbolic link that leads nowhere is still there.
        const int err = errno;
        struct stat link;
        if (err == ENOENT && lstat(name.c_str(), &link) != 0 && errno == ENOENT)
            return;
        if (inputs)
            inputs->entry(name, false);
        errno = err;
        run.reporter.error_errno("unable to get infos about file " + name, name);
        return;
    }
    if (inputs)
        inputs->entry(name, S_ISDIR(st.st_mode));
    if (S_ISDIR(st.st_mode)) {
        scan_subdirectory(name, st, inputs);
        return;
    }
    // The base keeps its final "."; a name without "." is all extension.
    std::size_t dot = name.rfind('.');
    std::string base = dot == std::string::npos ? std::string() : name.substr(0, dot + 1);
    std::string extension = dot == std::string::npos ? name : name.substr(dot + 1);
    if (extension == opt(Option_id::source_ext))
        process_source(name, base, inputs);
}

// The entries of the working directory, in the order the listing delivers them.  The listing is closed
// before any of them is scanned, so that a deep tree does not hold one open listing per level.  A
// subdirectory that cannot be listed is an error (none of its entries is scanned, `listed` stays false), a
// pass's root a fatal one.
std::vector<std::string> Walk::list_entries(const std::string& name, bool subdirectory, bool& listed) {
    std::vector<std::string> entries;
    DIR* listing = opendir("./");
    if (!listing) {
        if (!subdirectory)
            run.reporter.fatal("can't open directory " + source_dir, source_dir);
        run.reporter.error("can't open directory " + source_dir, source_dir);
        return entries;
    }
    listed = true;
    while (dirent* entry = readdir(listing)) {
        const char* entry_name = entry->d_name;
        if (std::strcmp(entry_name, ".") != 0 && std::strcmp(entry_name, "..") != 0)
            entries.emplace_back(entry_name);
    }
    if (closedir(listing) != 0)
        run.reporter.error_errno("can't close directory " + name, name);
    return entries;
}

// The walk goes down by plain names and comes back up through "..", so that no path it uses grows with
// the depth of the tree; only a pass's root is entered and left by its full path.
void Walk::scan_directory(const std::string& name, Makefile_inputs* inputs) {
    // A subdirectory appends to the two directories, so cutting them back restores them.
    const std::size_t saved_source_size = source_dir.size();
    const std::size_t saved_output_size = output_dir.size();

    const std::string root = opt(Option_id::root_dir) + opt(Option_id::branch_root);
    const std::string dir = name.empty() ? root : name;
    const bool subdirectory = !source_dir.empty();
    const bool unsafe = subdirectory && unsafe_make_name(name);
    if (subdirectory) {
        output_dir += name + "/";
        source_dir += name + "/";
    } else {
        walk_path.clear();
        source_dir = root;
        const std::string prefix = opt(Option_id::prefix);
        if (!prefix.empty()) {
            output_dir = "$(prefix)" + opt(Option_id::branch_prefix);
            prefix_length = 9;
        } else {
            output_dir = opt(Option_id::root_dir) + opt(Option_id::branch_prefix);
        }
    }
    if (unsafe)
        ++unsafe_dirs;

    // Nothing but the walk changes the working directory during a pass: the text it keeps is believed.
    std::optional<Dir_trust> trust;
    if (!subdirectory)
        trust.emplace(run.work_dir);
    // A pass's root may lie anywhere: the way back to where the pass started is held open.
    std::optional<Dir_return> start;
    Dir_mark parent;
    if (subdirectory)
        parent = run.work_dir.mark_dir();
    else
        start.emplace(run.work_dir);
    // A subdirectory that cannot be entered is an error: the rest of the site is scanned when errors are
    // ignored.
    const bool entered = run.work_dir.change_dir(dir);
    if (!entered && !subdirectory)
        run.reporter.fatal_errno("can't change directory to " + dir, dir);
    if (!entered)
        run.reporter.error_errno("can't change directory to " + dir, dir);
    if (entered) {
        const Dir_id here = run.work_dir.mark_dir().id;
        walk_path.insert(here);
        bool listed = false;
        const std::vector<std::string> entries = list_entries(name, subdirectory, listed);
        if (listed && inputs)
            inputs->enter_directory(normalize_path(source_dir, true));
        for (const std::string& entry : entries)
            scan_entry(entry, inputs);
        if (listed && inputs)
            inputs->leave_directory();
        walk_path.erase(here);
    }

    if (unsafe)
        --unsafe_dirs;
    if (subdirectory) {
        source_dir.resize(saved_source_size);
        output_dir.resize(saved_output_size);
    } else {
        source_dir.clear();
        output_dir.clear();
    }
    if (!entered)
        return;
    if (start ? !start->go_back() : !run.work_dir.return_to(parent)) {
        const std::string path = start ? start->path() : run.work_dir.marked_path(parent);
        run.reporter.fatal_errno("can't change directory to " + path, path);
    }
}

} // namespace

void scan_section(const Scan_run& run) {
    Walk(run).scan_directory("", run.inputs);
}
