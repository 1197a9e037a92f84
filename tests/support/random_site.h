// Small sites made at random from a seed, for comparing how vorn-tovik and vorn see each page: pages in
// three directories sharing included files in three others, nested inclusions, inclusions named by a
// variable that an include name sets or by a command's output, markers, scripts, unbalanced braces and
// translations.  Every page sets the variables it reads itself, so that a page reads the same files in a
// whole site as alone.  A file read only through a name computed while the page runs is named "c_...".
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace ts {

struct Random_site {
    std::map<std::string, std::string> shared; // everything but the pages ("*.sh" is to be executable)
    std::map<std::string, std::string> pages;  // the sources, and "page.it" translations of some
};

Random_site random_site(unsigned seed);

} // namespace ts
