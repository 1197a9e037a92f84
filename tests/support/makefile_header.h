// The comment block that opens every makefile vorn-tovik writes, shared by the writer's tests.
#pragma once

#include <string>

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
           "\n";
}

} // namespace ts
