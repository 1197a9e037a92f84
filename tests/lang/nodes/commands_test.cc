#include "lang/nodes/commands.h"

#include <cstdio>
#include <set>
#include <sys/stat.h>

#include "lang/eval/dependency_collector.h"
#include "lang/eval/page_renderer.h"
#include "lang/nodes/array_builtins.h"
#include "lang/nodes/eval_fixture.h"
#include "tovik/makefile_writer.h"

namespace {

using namespace evalfx;

Node_ptr L(Node_ptr a, Node_ptr b) {
    return N<N_list>(std::move(a), std::move(b));
}
Node_ptr cmd(const std::string& line, bool capture) {
    return N<N_cmd>(C(line), capture);
}
Node_ptr exec(const std::string& path, Node_ptr args, bool capture) {
    return N<N_exec>(C(path), std::move(args), capture);
}

class CommandsTest : public Eval_test {
protected:
    void SetUp() override {
        Eval_test::SetUp();
        script("args.sh", "echo \"$#\" \"$@\"\n");
        // Scripts see no PATH: programs are named by their full path.
        script("big.sh", "/usr/bin/head -c 100000 /dev/zero | /usr/bin/tr '\\0' x\n");
        // A NUL ends the first 200-byte chunk early; the next chunk is kept whole.
        script("nul.sh",
               "printf 'ab\\000'; /usr/bin/head -c 197 /dev/zero | /usr/bin/tr '\\0' y; printf tail\n");
    }
    void script(const std::string& name, const std::string& body) {
        ts::write_file(dir_ / name, "#!/bin/sh\n" + body);
        ASSERT_EQ(::chmod((dir_ / name).c_str(), 0755), 0);
    }
    ts::Temp_dir dir_;
};

TEST_F(CommandsTest, OutputResultsAndFailures) {
    const std::string args = dir_ / "args.sh";
    struct Row {
        Node_ptr node;
        std::string value, err, text;
    } rows[] = {
        {cmd("echo hello", false), "0", "", "hello\n"},
        {cmd("echo hello", true), "\"hello\n\"", "", ""},
        {cmd("exit 3", true), "-1", E("error while executing exit 3"), ""},
        {cmd("echo partial; exit 1", false), "-1", E("error while executing echo partial; exit 1"),
         "partial\n"},
        {cmd(dir_ / "nul.sh", true), "\"abtail\"", "", ""},
        {exec(args, nullptr, true), "\"0\n\"", "", ""},
        {exec(args, C("one"), true), "\"1 one\n\"", "", ""},
        {exec(args, L(L(C("a"), C("b c")), C("d")), true), "\"3 a b c d\n\"", "", ""},
        {exec(args, C("x"), false), "0", "", "1 x\n"},
        {exec("/usr/bin/env", nullptr, true), "\"LA=\n\"", "", ""},
        {exec(dir_ / "big.sh", nullptr, true), "\"" + std::string(100000, 'x') + "\"", "", ""},
        {exec(dir_ / "nul.sh", nullptr, false), "0", "", "abtail"},
        // The new process ends on its own fatal error; the generator goes on with the empty output.
        {exec(args, C(5), true), "\"\"", F("N_exec::exec () -- internal error"), ""},
        {exec(args, L(C("a"), C(1)), true), "\"\"", F("Gen_type::get_string () -- Internal Error"), ""},
    };
    for (Row& r : rows) {
        store_->take_text();
        Outcome o = eval([&] { return r.node->exec(); });
        const std::string row = r.value.substr(0, 40);
        EXPECT_TRUE(o.value == r.value)
            << row << " gave " << o.value.substr(0, 40) << " (" << o.value.size() << ")";
        EXPECT_EQ(o.err, r.err) << row;
        EXPECT_EQ(store_->text(), r.text) << row;
        EXPECT_EQ(o.status, -1) << row;
    }
    rep.set_brief();
    EXPECT_EQ(eval([&] { return rows[2].node->exec(); }).err, E("exec exit 3"));

    Page_renderer below(rep, "sub/page.vrn", "sub/page.html", "./");
    st = &below;
    EXPECT_EQ(eval([] { return exec("/usr/bin/env", nullptr, true)->exec(); }).value, "\"LA=../\n\"");
}

// A new process that cannot start its script (or fails before) ends at once: nothing buffered in the
// parent, in stdout or in any other stream, is written a second time.
TEST_F(CommandsTest, FailedStartLeavesNoSecondTestProcess) {
    const std::string buffered = dir_ / "buffered";
    std::FILE* f = std::fopen(buffered.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::setvbuf(f, nullptr, _IOFBF, 4096);
    std::fputs("once", f);
    std::string out;
    {
        ts::Stdout_capture cap;
        std::fputs("out-once", stdout);
        Outcome o = eval([&] { return exec(dir_ / "no-such-script", nullptr, true)->exec(); });
        EXPECT_EQ(o.value + o.err, "\"\"");
        o = eval([&] { return exec(dir_ / "no-such-script", nullptr, false)->exec(); });
        EXPECT_EQ(o.value + o.err, "0");
        o = eval([&] { return exec(dir_ / "args.sh", C(5), false)->exec(); });
        EXPECT_EQ(o.value, "0");
        out = cap.text();
    }
    std::fclose(f);
    EXPECT_EQ(ts::read_file(buffered), "once");
    EXPECT_EQ(out, "out-once");
    EXPECT_EQ(store_->text(), "");
}

TEST_F(CommandsTest, PolicyKeepsProgramsFromRunning) {
    const std::string marker = dir_ / "marker";
    Page_renderer warn(rep, "page.vrn", "page.html", "./", Program_policy::warn),
        error(rep, "page.vrn", "page.html", "./", Program_policy::refuse);
    struct Row {
        Eval_context* store;
        bool script;
        std::string value, err;
    } rows[] = {
        {&warn, false, "\"\"", W("can't execute command: --noext-warning used")},
        {&warn, true, "\"\"", W("can't execute script: --noext-warning used")},
        {&error, false, "-1", E("can't execute command: --noext-error used")},
        {&error, true, "-1", E("can't execute script: --noext-error used")},
    };
    for (const Row& r : rows) {
        st = r.store;
        Node_ptr n = r.script ? exec("/usr/bin/touch", C(marker), true) : cmd("touch " + marker, true);
        Outcome o = eval([&] { return n->exec(); });
        EXPECT_EQ(o.value + o.err, r.value + r.err);
        EXPECT_FALSE(ts::exists(marker)) << r.err;
    }
}

TEST_F(CommandsTest, DependencyAndArchiveExclude) {
    rep.set_executing(false);
    Dependency_collector deps(rep, "html");
    deps.set_directory("news/page.vrn");
    st = &deps;
    Node_ptr fixed = exec("tools/gen.sh", nullptr, false);
    EXPECT_EQ(prerequisite_names(deps), std::vector<std::string>{"news/tools/gen.sh"});
    // The archive leaves out the file the name means, counted from the site's root.
    EXPECT_EQ(deps.take_archive_excludes(), "news/tools/gen.sh\nnews/tools/gen.sh~\n");
    // A script named by a variable the page sets as it runs: warned about, and nothing recorded.
    Outcome o = eval([] {
        N<N_exec>(N<N_var>("script", Var_form::variable), nullptr, true);
        return Gen_type();
    });
    EXPECT_EQ(o.err, W("unable to get dependency") + W("variable `script' not defined"));
    EXPECT_EQ(o.status, -1);
    EXPECT_EQ(deps.take_archive_excludes(), "");
}

} // namespace
