// Filling vorn-tovik's options from the command line and the site's template file.
#pragma once

#include <string>
#include <vector>

#include "tovik/options.h"

class Reporter;

// Fills a freshly constructed options object from the command line and the template file, and configures
// the reporter.  Help, version, accessibility and every usage or option error end the run.
void parse_options(Reporter& reporter, Tovik_opt& options, int argc, char** argv);

// Splits a translations text into the translation list (after its leading empty entry).
void split_translations(const std::string& text, std::vector<std::string>& list);
