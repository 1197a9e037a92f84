// The text that opens every makefile vorn-tovik writes (the comment block and the lines that turn make's
// built-in rules off) and its archive recipe, shared by the writer's tests.
#pragma once

#include <string>
#include <vector>

namespace ts {

// The header of a makefile made from the template `makefile`.vt.
inline std::string makefile_header(const std::string& makefile = "Makefile") {
    return "# Generated automatically from " + makefile +
           ".vt by vorn-tovik 1.12\n"
           "# Copyright (C) the authors of this site\n"
           "# This makefile is free software; you have unlimited\n"
           "# permission to copy and/or distribute it, with or without\n"
           "# modifications, as long as this notice is preserved.\n"
           "\n"
           "# This makefile is distributed in the hope that it will be \n"
           "# useful, but WITHOUT ANY WARRANTY, to the extent permitted\n"
           "# by law; without even the implied warranty of \n"
           "# MERCHANTABILITY or FITNESS FOR A PARTICULAR PURPOSE.\n"
           "\n"
           "\n"
           ".SUFFIXES:\n"
           "% : %,v\n"
           "% : RCS/%,v\n"
           "% : RCS/%\n"
           "% : s.%\n"
           "% : SCCS/s.%\n"
           "\n";
}

// The recipe that packs the site `site` (a plain name) for the makefile `makefile`, with pages of the
// extensions `exts` (in byte order).
inline std::string archive_recipe(const std::string& site = "site", const std::string& makefile = "Makefile",
                                  const std::vector<std::string>& exts = {"html"}) {
    std::string recipe =
        "test -r " + makefile + ".sources && touch " + site +
        ".tar.gz && \\\n"
        "\tLC_ALL=C sed -e '/^$$/d' -e 's/[][*?\\\\]/\\\\&/g' -e 's/[[:space:]]$$/[&]/' -e 's|^|./|' \\\n"
        "\t" +
        makefile + ".sources | \\\n\ttar chzf " + site + ".tar.gz --transform='s|^\\.|" + site +
        "|S' --anchored --no-wildcards-match-slash \\\n"
        "\t-X - --exclude='./." +
        makefile + ".*' --no-anchored";
    for (const std::string& ext : exts)
        recipe += " --exclude='.*." + ext + ".?????\?'";
    return recipe + " .";
}

// The end of a makefile from the dist-noupdate rule on, with `recipe` as the archive recipe.
inline std::string makefile_closing(const std::string& recipe = archive_recipe()) {
    return "dist-noupdate:\n\t" + recipe + "\n\ndist: all\n\t" + recipe +
           "\n\nsitedist: dist-noupdate\n\n\n\n.PHONY: all clean dist dist-noupdate sitedist";
}

} // namespace ts
