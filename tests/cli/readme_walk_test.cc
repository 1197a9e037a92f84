// The README's walk from an empty directory to a built site, run as a newcomer would type it, with the
// built programs first on PATH: the README stays true.
#include <gtest/gtest.h>

#include "support/site.h"

namespace {

// The indented command block of the README section `heading`, without its indentation.
std::string commands_of(const std::string& readme, const std::string& heading) {
    std::size_t start = readme.find("\n## " + heading + "\n");
    if (start == std::string::npos)
        return std::string();
    std::size_t end = readme.find("\n## ", start + 1);
    std::string section = readme.substr(start, end - start);
    std::string out;
    bool in_block = false;
    for (std::size_t pos = 0; pos < section.size();) {
        std::size_t nl = section.find('\n', pos);
        std::string line = section.substr(pos, nl - pos);
        pos = nl == std::string::npos ? section.size() : nl + 1;
        if (line.compare(0, 4, "    ") == 0) {
            in_block = true;
            out += line.substr(4) + "\n";
        } else if (in_block && !line.empty()) {
            break; // the block ends at the first prose line
        }
    }
    return out;
}

TEST(ReadmeWalk, FromAnEmptyDirectoryToABuiltSite) {
    const std::string readme = ts::read_file(std::string(SOURCE_ROOT) + "/README.md");
    const std::string walk = commands_of(readme, "From an empty directory to a built site");
    ASSERT_NE(walk.find("vorn-tovik"), std::string::npos) << "the README has no walk";
    ts::Temp_dir tmp;
    std::string bin_dirs = std::string(TOVIK_BIN).substr(0, std::string(TOVIK_BIN).rfind('/'));
#ifdef VORN_BIN
    bin_dirs += ":" + std::string(VORN_BIN).substr(0, std::string(VORN_BIN).rfind('/'));
#endif
    ts::Run_result r = ts::run_on_path({"/bin/sh", "-e", "-c", walk}, tmp.path(), bin_dirs);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(ts::exists(tmp / "site/index.html"));
    EXPECT_TRUE(ts::exists(tmp / "site/site.tar.gz"));
    EXPECT_NE(r.out.find("Nothing to be done"), std::string::npos) << r.out;
}

} // namespace
