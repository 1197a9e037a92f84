// Every example of the language reference, doc/language.md, run through the built vorn: the page and the
// messages it shows are the ones vorn makes, byte for byte.
//
// An example is a fenced block "```vorn" holding a page's source, then a block "```output" holding the
// page, then optionally a block "```messages" (or "```messages STATUS") holding what vorn prints on standard
// error; blocks "```file NAME" before the page's block give the files it uses.  The page runs as
// `vorn page.vrn -` in an empty directory; "```vorn ARGS" gives other arguments, whose last two are the
// source and the output file, and which the prose just above the example shows.  The directory is shown
// as /home/user/site; every file of an example was last changed on 5 March 2026 at 09:07:03 UTC, the time
// zone of the run.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>

#include "support/site.h"

namespace {

struct Block {
    std::vector<std::string> info; // the words after the opening fence
    std::string text;
    std::string before; // the prose between the previous block and this one
    int line = 0;       // of the opening fence
};

std::vector<Block> fenced_blocks(const std::string& markdown) {
    std::vector<Block> blocks;
    const std::vector<std::string> lines = ts::lines_of(markdown);
    std::string prose;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(0, 3, "```") != 0) {
            prose += lines[i] + "\n";
            continue;
        }
        Block b;
        b.before.swap(prose);
        b.line = static_cast<int>(i) + 1;
        std::istringstream words(lines[i].substr(3));
        for (std::string w; words >> w;)
            b.info.push_back(w);
        for (++i; i < lines.size() && lines[i] != "```"; ++i)
            b.text += lines[i] + "\n";
        blocks.push_back(b);
    }
    return blocks;
}

std::string replace_all(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

const char* const shown_dir = "/home/user/site";

void run_example(const std::vector<Block>& files, const Block& page, const Block& output,
                 const Block* messages) {
    SCOPED_TRACE("doc/language.md:" + std::to_string(page.line));
    ts::Temp_dir dir;
    std::vector<std::string> args(page.info.begin() + 1, page.info.end());
    if (args.empty())
        args = {"page.vrn", "-"};
    ASSERT_GE(args.size(), 2u);
    // The reader sees no info string: the prose just above the example names any other command.
    std::string command = "`vorn";
    for (const std::string& a : args)
        command += " " + a;
    if (page.info.size() > 1)
        EXPECT_NE((files.empty() ? page : files.front()).before.find(command + "`"), std::string::npos)
            << command;
    std::vector<std::pair<std::string, std::string>> written;
    for (const Block& f : files)
        written.emplace_back(f.info.at(1), f.text);
    written.emplace_back(args[args.size() - 2], page.text);
    const timespec changed[2] = {{1772701623, 0}, {1772701623, 0}}; // 2026-03-05 09:07:03 UTC
    for (const auto& [name, text] : written) {
        ts::write_file(dir / name, text);
        if (text.compare(0, 2, "#!") == 0)
            chmod((dir / name).c_str(), 0755);
        utimensat(AT_FDCWD, (dir / name).c_str(), changed, 0);
    }
    const ts::Run_result r = ts::run_vorn(dir.path(), args, {"TZ=UTC"});
    const std::string out = args.back() == "-" ? r.out : ts::read_file(dir / args.back());
    EXPECT_EQ(replace_all(out, dir.path(), shown_dir), output.text);
    EXPECT_EQ(replace_all(r.err, dir.path(), shown_dir), messages ? messages->text : "");
    EXPECT_EQ(r.status, messages && messages->info.size() > 1 ? std::stoi(messages->info[1]) : 0);
}

TEST(LanguageDoc, EveryExampleGivesThePageAndMessagesShown) {
    const std::vector<Block> blocks = fenced_blocks(ts::read_file(SOURCE_ROOT "/doc/language.md"));
    std::vector<Block> files;
    int examples = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const std::string kind = blocks[i].info.empty() ? "" : blocks[i].info[0];
        if (kind == "file") {
            ASSERT_EQ(blocks[i].info.size(), 2u) << "line " << blocks[i].line << ": ```file NAME";
            files.push_back(blocks[i]);
        } else if (kind == "vorn") {
            ASSERT_TRUE(i + 1 < blocks.size() && blocks[i + 1].info == std::vector<std::string>{"output"})
                << "line " << blocks[i].line << ": a page without its ```output block";
            const bool shown =
                i + 2 < blocks.size() && !blocks[i + 2].info.empty() && blocks[i + 2].info[0] == "messages";
            run_example(files, blocks[i], blocks[i + 1], shown ? &blocks[i + 2] : nullptr);
            files.clear();
            i += shown ? 2 : 1;
            ++examples;
        } else {
            ASSERT_TRUE(files.empty()) << "line " << blocks[i].line << ": files given to no page";
            ASSERT_TRUE(kind != "output" && kind != "messages") << "line " << blocks[i].line << ": no page";
        }
    }
    EXPECT_GE(examples, 60);
}

} // namespace
