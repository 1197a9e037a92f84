// The project scan: walks a site section's directory tree, parses every Vorn source once for its
// dependencies and turns it into makefile rules, target-list entries and archive exclude lines, all kept
// in the run's dependency store.
#pragma once

#include <string>

class Dependency_collector;
class Makefile_inputs;
class Source_scan;

// The run's one dependency store, published by the driver before the first scan.
extern Dependency_collector* g_deps;

// Scans the directory `name` (relative to the working directory) and everything below it, parsing its sources
// with `parser`; the empty name starts a pass at the section's root (root directory + branch source
// directory).  Reads the options
// through g_options; tells `inputs`, when not null, what the makefile is made from (--self-update).
// Changes the working directory while it runs and restores it before it returns.  A directory met again
// below itself (through a symbolic link) is reported and skipped.
void scan_directory(Source_scan& parser, const std::string& name, Makefile_inputs* inputs);
