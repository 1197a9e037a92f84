// The message reporter of a run: words, locates and filters every message, and ends the run where the error
// policy says so.  Each program's entry makes one for its run and hands it to everything that reports.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <new>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

// The errno value with which a file that is neither a regular file nor a directory is refused
// (os/read_open.h): one of the programs' own, beyond the system's values; the reporter shows it as "not a
// regular file".
constexpr int not_regular_file = 4095;

enum class Verbosity : int32_t { unset = 0, normal = 2, quiet = 3, verbose = 4 };
enum class Policy : int32_t { unset = 0, normal = 5, fatal_warnings = 6, ignore_errors = 7 };

// A source file's directory (relative to the run directory, empty or ending in "/") and name, with the
// include chain it was read under.  Interned by the reporter so that syntax-tree nodes can carry their
// position as one pointer: a statement of an included file runs after the file has been left, and its
// messages still name the files that included it.
struct Src_name {
    std::string dir;
    std::string file;
    std::string chain; // the "In file included from" lines, or empty
};

struct Location {
    std::string dir;
    std::string file;
    int32_t line = 0;
};

class Reporter {
public:
    // Configuration.
    void set_program_name(const std::string& name) { program_name_ = name; }
    const std::string& program_name() const { return program_name_; }
    void set_brief() { brief_ = 1; }
    bool brief() const { return brief_ != 0; }
    void set_verbosity(Verbosity v) { verbosity_ = v; }
    void set_policy(Policy p) { policy_ = p; }
    Verbosity verbosity() const { return verbosity_; }
    Policy policy() const { return policy_; }
    bool quiet() const { return verbosity_ == Verbosity::quiet; }
    bool verbose() const { return verbosity_ == Verbosity::verbose; }

    // Reporting.
    void info(const std::string& text, const std::string& brief = std::string());
    void verbose_info(const std::string& text, const std::string& brief = std::string());
    void warning(const std::string& text, const std::string& brief = std::string());
    void error(const std::string& text, const std::string& brief = std::string());
    void error_at(int32_t adjust, const std::string& text, const std::string& brief = std::string());
    [[noreturn]] void fatal(const std::string& text, const std::string& brief = std::string());
    void error_errno(const std::string& text, const std::string& brief = std::string());
    [[noreturn]] void fatal_errno(const std::string& text, const std::string& brief = std::string());
    // The fatal error "out of memory", ending the run with status 2.
    [[noreturn]] void out_of_memory();
    // The same, unlocated and as its fixed text, for a failure that comes before any reporter exists.
    [[noreturn]] static void out_of_memory_unlocated();
    // What was wrong with the command line, printed like an error just before the usage text; the caller
    // then ends the run.
    void usage_error(const std::string& text);

    // How many messages were reported so far, whether shown or not.
    std::size_t messages() const { return messages_; }

    // Location keeping.
    void set_file(const std::string& path);
    void count_lines(const char* text, std::size_t length);
    void count_lines(const std::string& text) { count_lines(text.data(), text.size()); }
    void add_lines(int32_t n) { scan_.line += n; }
    void save_location();
    void restore_location();
    void set_exec_location(const Src_name* name, int32_t line);
    void set_executing(bool flag) { executing_ = flag ? 1 : 0; }
    bool executing() const { return executing_ != 0; }
    void clear_scan_location();
    const Location& scan_location() const { return scan_; }
    std::size_t include_depth() const { return include_stack_.size(); }

    // The scan location's directory and file, interned: stable for the life of the process.
    const Src_name* scan_name();
    // The same without the include chain (which only the messages of executed statements show), interned
    // until forget_plain_names: for a store whose nodes all go before the next source starts, so that
    // what is kept does not grow with the inclusions and sources of the run.
    const Src_name* scan_plain_name();
    void forget_plain_names();

private:
    enum class Level { info, warning, error, fatal };
    void print(Level level, int32_t adjust, const std::string& text, const std::string& brief);
    std::string chain_text() const;
    const Src_name* intern(const std::string& chain, const std::string& dir, const std::string& file);

    std::string program_name_;
    unsigned char brief_ = 0;
    Verbosity verbosity_ = Verbosity::unset;
    Policy policy_ = Policy::unset;
    int32_t executing_ = 0;
    Location scan_;
    std::vector<Location> include_stack_;
    Location exec_;
    std::string exec_chain_;

    std::size_t messages_ = 0;
    const Src_name* scan_name_ = nullptr; // cache for scan_name(); cleared when the file or the chain changes
    std::deque<Src_name> names_;
    std::unordered_map<std::string, const Src_name*> name_index_;
    const Src_name* plain_name_ = nullptr; // cache for scan_plain_name(); cleared when the file changes
    std::deque<Src_name> plain_names_;
    std::unordered_map<std::string, const Src_name*> plain_index_;
};

// Runs `body`, the work of a run that reports through `reporter`, and returns its result; an allocation that
// fails anywhere in it (or a size beyond what a container can hold) ends the run with the fatal error "out
// of memory" and status 2, located where the run stood.
template <class Body> int run_reporting_memory(Reporter& reporter, Body&& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    reporter.out_of_memory();
}
