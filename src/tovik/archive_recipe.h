// The recipe that packs the site (the makefile's dist-noupdate and dist targets).  tar runs in the site
// directory and reads M.sources through sed, which turns each line into a pattern that matches exactly the
// path it names, counted from the site's root; the members are renamed from "./" to "SITE/".
#pragma once

#include <set>
#include <string>

// Whether `name` (the site directory's name, or with `path` the makefile's name, which may hold "/") can be
// written into the recipe: letters, digits, bytes above 127, blanks and ". _ - + , @ ( )", not starting
// with "-".  Other names could be quoted, but a mistake in one of the three quoting layers (make, the
// shell, tar) would run a command, so they get no archive.
bool archivable_name(const std::string& name, bool path);

// The recipe's text, its lines joined by " \\\n\t", for the site directory `site` and the makefile
// `makefile` (both archivable).  Files left by interrupted writes are never packed: the makefile's and
// its lists' (".M.XXXXXX" beside M) and the pages' (".PAGE.EXT.XXXXXX", one pattern per extension in
// `extensions`).
std::string archive_recipe(const std::string& site, const std::string& makefile,
                           const std::set<std::string>& extensions);
