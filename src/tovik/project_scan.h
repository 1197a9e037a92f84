// The project scan: walks a site section's directory tree, parses every Vorn source once for its
// dependencies, hands the makefile writer each of its pages, and keeps the archive exclude lines in the
// run's dependency store.
#pragma once

class Dependency_collector;
class Makefile_inputs;
class Makefile_writer;
class Reporter;
class Source_scan;
class Tovik_opt;
class Work_dir;

// What a pass over a site section works with, all the run's own: its reporter, its options (the section's,
// after next_branch), its dependency store, its working directory, the source scan that parses its sources,
// the writer of the makefile, which takes its pages, and, with --self-update, what the makefile is made from
// (null otherwise).
struct Scan_run {
    Reporter& reporter;
    const Tovik_opt& options;
    Dependency_collector& store;
    Work_dir& work_dir;
    Source_scan& parser;
    Makefile_writer& writer;
    Makefile_inputs* inputs;
};

// Scans the section's root (root directory + branch source directory) and everything below it.  Changes
// the working directory while it runs and restores it before it returns.  A directory met again below
// itself (through a symbolic link) is reported and skipped.
void scan_section(const Scan_run& run);
