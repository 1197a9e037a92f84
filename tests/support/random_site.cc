#include "support/random_site.h"

#include <climits>
#include <cstdlib>
#include <random>
#include <sstream>
#include <sys/stat.h>

#include "support/test_support.h"

namespace ts {

namespace {

const char* const colors[] = {"red", "blue"};
const std::vector<std::string> page_dirs = {"", "sub/", "sub/deep/"};
const std::vector<std::string> inc_dirs = {"inc/", "inc/more/", "sub/"};

// A name relative to the directory `from` for the path `to` (both from the root).
std::string from_dir(const std::string& from, const std::string& to) {
    std::string up;
    for (char c : from)
        if (c == '/')
            up += "../";
    return up + to;
}

std::string dir_of(const std::string& path) {
    return path.substr(0, path.rfind('/') + 1);
}

struct Maker {
    std::mt19937 rng;
    Random_site site;
    std::vector<std::string> includes;
    int data = 0;

    unsigned pick(unsigned n) { return static_cast<unsigned>(rng() % n); }
    // A new data file in `dir`, named from there.
    std::string data_file(const std::string& dir) {
        const std::string name = "d" + std::to_string(data++) + ".txt";
        site.shared[dir + name] = name + "\n";
        return name;
    }
    std::string include_of(const std::string& dir, std::size_t first) {
        return "include(\"" +
               from_dir(dir, includes[first + pick(static_cast<unsigned>(includes.size() - first))]) +
               "\");\n";
    }
    std::string set_theme(const std::string& dir) {
        return std::string("include(\"") + from_dir(dir, "inc/c_") + "\" + (theme = \"" + colors[pick(2)] +
               "\") + \".inc\");\n";
    }
    std::string included_text(std::size_t i) {
        const std::string dir = dir_of(includes[i]);
        std::string text;
        // The first statement of a file names a file by a variable or by a command's output, runs a script or
        // holds unbalanced braces, in turns; the others are drawn at random.
        const unsigned first[] = {7, 8, 6, 11};
        for (unsigned n = 0, count = 1 + pick(4); n < count; ++n) {
            switch (n == 0 ? first[i % 4] : pick(11)) {
            case 0:
            case 1:
                text += "verbatim(\"" + data_file(dir) + "\");\n";
                break;
            case 2:
                text += "echo(fsize(\"" + data_file(dir) + "\", \"#b\"));\n";
                break;
            case 3:
                text += "// __DEP__ " + data_file(dir) + "\n";
                break;
            case 4:
            case 5:
                text += i + 1 < includes.size() ? include_of(dir, i + 1) : "";
                break;
            case 6:
                text += "exec(\"run.sh\");\n";
                break;
            case 7:
                text += "include(\"c_\" + theme + \".inc\");\n";
                break;
            case 8:
                text += "include(evalcmd(\"cat pick.txt\"));\n";
                break;
            case 11:
                // Whole within a statement list, a syntax error within an "if" without braces.
                text += "verbatim(\"" + data_file(dir) + "\"); } verbatim(\"" + data_file(dir) + "\"); {\n";
                break;
            case 10:
                text += "type: <b>@@ theme @@</b>\nendtype;\n</vorn><p>text</p><vorn>\n";
                break;
            default:
                text += pick(2) ? "// __ALWAYS__\n" : "// __EXT__ php\n";
            }
        }
        // Now and then a last statement without its ";": a syntax error wherever the file is included.
        if (pick(25) == 0)
            text += "verbatim(\"" + data_file(dir) + "\")";
        return text;
    }
    std::string page_text(const std::string& path, unsigned number) {
        const std::string dir = dir_of(path);
        const char* const markers[] = {"// __ALWAYS__\n", "// __NO_OUTPUT__\n", "// __EXT__ php\n",
                                       "// __ALWAYS__\n"};
        std::string text = "<h1>page</h1>\n<vorn>";
        if (pick(2) == 0)
            text += markers[pick(4)];
        text += set_theme(dir);
        for (unsigned n = 1 + pick(4); n > 0; --n) {
            switch (pick(9)) {
            case 0:
            case 1:
                text += include_of(dir, 0);
                break;
            case 2:
                text += set_theme(dir);
                break;
            case 3:
                text += "if (theme == \"red\") " + include_of(dir, 0) + "else verbatim(\"" + data_file(dir) +
                        "\");\n";
                break;
            case 4:
            case 5:
                text += "verbatim(\"" + data_file(dir) + "\");\n";
                break;
            case 6:
                text += markers[pick(4)];
                break;
            default:
                text += "v" + std::to_string(number) + " = \"c_v.txt\"; verbatim(v" + std::to_string(number) +
                        ");\n";
            }
        }
        return text + "</vorn>\n<p>end</p>\n";
    }
};

} // namespace

Random_site random_site(unsigned seed) {
    Maker m;
    m.rng.seed(seed);
    m.site.shared["Makefile.vt"] = "translations: it\n";
    // A command run in the wrong directory names a file that is nowhere.
    for (const std::string& dir : page_dirs) {
        m.site.shared[dir + "pick.txt"] = "c_nowhere.inc";
        m.site.shared[dir + "c_v.txt"] = "v\n";
    }
    for (const std::string& dir : inc_dirs) {
        m.site.shared[dir + "pick.txt"] = "c_pick.inc";
        m.site.shared[dir + "c_pick.inc"] = "verbatim(\"t_pick.txt\");\n";
        m.site.shared[dir + "t_pick.txt"] = "picked\n";
        for (const char* color : colors) {
            m.site.shared[dir + "c_" + color + ".inc"] = std::string("verbatim(\"t_") + color + ".txt\");\n";
            m.site.shared[dir + "t_" + color + ".txt"] = std::string(color) + "\n";
        }
        m.site.shared[dir + "run.sh"] = "#!/bin/sh\necho ran\n";
    }
    for (unsigned n = 4 + m.pick(3), i = 0; i < n; ++i)
        m.includes.push_back(inc_dirs[m.pick(3)] + "f" + std::to_string(i) + ".inc");
    for (std::size_t i = 0; i < m.includes.size(); ++i)
        m.site.shared[m.includes[i]] = m.included_text(i);
    for (unsigned n = 4 + m.pick(3), i = 0; i < n; ++i) {
        const std::string path = page_dirs[m.pick(3)] + "p" + std::to_string(i) + ".vrn";
        const std::string text = m.page_text(path, i);
        m.site.pages[path] = text;
        if (m.pick(3) == 0)
            m.site.pages[path + ".it"] = "<p>it</p>\n" + text;
    }
    return m.site;
}

} // namespace ts
