#include "lang/eval/dependency_collector.h"
#include "lang/eval/page_renderer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "base/paths.h"
#include "lang/eval/node.h"
#include "os/work_dir.h"
#include "support/test_support.h"

namespace {

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override { rep.set_program_name("t"); }
    Reporter rep;
};

TEST_F(StoreTest, PredefinedMonthsAndDays) {
    Dependency_collector store(rep, "html");
    EXPECT_EQ(store.get_variable_element("_months", Gen_type(2)).get_string(rep), "March");
    EXPECT_EQ(store.get_variable_element("_months", Gen_type(11)).get_string(rep), "December");
    EXPECT_EQ(store.get_variable_element("_days", Gen_type(0)).get_string(rep), "Sunday");
    EXPECT_EQ(store.get_variable_element("_days", Gen_type(6)).get_string(rep), "Saturday");
    EXPECT_FALSE(store.has_variable("_argc"));
    auto r =
        ts::capture([&] { EXPECT_EQ(store.get_variable_element("_months", Gen_type(12)).get_int(rep), -1); });
    EXPECT_EQ(r.err, "t: warning: Array index out of bound\n");
}

TEST_F(StoreTest, MissingVariableWarnsWithBothTexts) {
    Dependency_collector store(rep, "html");
    auto r = ts::capture([&] { EXPECT_TRUE(store.get_variable("x").is_undefined()); });
    EXPECT_EQ(r.err, "t: warning: variable `x' not defined\n");
    rep.set_brief();
    EXPECT_EQ(ts::capture([&] { store.get_variable("x"); }).err, "t: warning: x not def\n");
}

TEST_F(StoreTest, SetReplacesValueAndKindRemoveAndHas) {
    Dependency_collector store(rep, "html");
    store.set_variable("v", Gen_type::empty_array());
    store.set_variable("v", Gen_type("text"));
    EXPECT_EQ(store.get_variable("v").get_string(rep), "text");
    EXPECT_TRUE(store.has_variable("v"));
    EXPECT_TRUE(store.remove_variable("v"));
    EXPECT_FALSE(store.remove_variable("v"));
    EXPECT_FALSE(store.has_variable("v"));
}

TEST_F(StoreTest, ElementWritesOnArraysAndRefusals) {
    Dependency_collector store(rep, "html");
    store.set_variable("a", Gen_type::empty_array());
    EXPECT_EQ(store.set_variable_element("a", Gen_type(2), Gen_type(7), false).get_int(rep), 7);
    Gen_type a = store.get_variable("a");
    ASSERT_EQ(a.get_array(rep).size(), 3u);
    EXPECT_EQ(a.get_array(rep)[0].get_string(rep), "");
    EXPECT_EQ(a.get_array(rep)[2].get_int(rep), 7);
    EXPECT_EQ(store.set_variable_element("a", Gen_type(0), Gen_type("x"), true).get_string(rep), "x");
    EXPECT_EQ(store.get_variable("a").get_array(rep).size(), 4u);

    rep.set_policy(Policy::ignore_errors);
    store.set_variable("s", Gen_type("str"));
    auto r = ts::capture([&] {
        EXPECT_EQ(store.set_variable_element("s", Gen_type(0), Gen_type(1), false).get_string(rep), "");
    });
    EXPECT_EQ(r.err, "t: s is not an array\n");
    r = ts::capture([&] { store.set_variable_element("missing", Gen_type(0), Gen_type(1), false); });
    EXPECT_EQ(r.err, "t: warning: variable `missing' not defined\nt: missing is not an array\n");
    // An element read of a scalar is undefined without a further message.
    EXPECT_EQ(
        ts::capture([&] { EXPECT_TRUE(store.get_variable_element("s", Gen_type(0)).is_undefined()); }).err,
        "");
}

TEST_F(StoreTest, AdjustLevel) {
    // The page lies three directories down, the root one, three and four.
    EXPECT_EQ(Page_renderer(rep, "a.vrn", "x/y/z/a.html", "r").adjust_level(), "../../");
    EXPECT_EQ(Page_renderer(rep, "a.vrn", "x/y/z/a.html", "r/s/t").adjust_level(), "");
    Page_renderer outside(rep, "a.vrn", "x/y/z/a.html", "r/s/t/u");
    auto r = ts::capture([&] { EXPECT_EQ(outside.adjust_level(), ""); });
    EXPECT_EQ(r.err, "t: warning: Can't adjust level: output file outside root directory\n");
    rep.set_brief();
    EXPECT_EQ(ts::capture([&] { outside.adjust_level(); }).err, "t: warning: No adjust\n");
}

TEST_F(StoreTest, DependencyStoreNamesAndDirectories) {
    Dependency_collector store(rep, "html");
    std::string wd = ts::current_dir() + "/";
    EXPECT_EQ(store.working_directory(), wd);
    store.set_input_name("./sub/./page.vrn");
    store.set_output_name("$(prefix)sub/page.");
    EXPECT_EQ(store.input_name(), "sub/page.vrn");
    EXPECT_EQ(store.input_path(), wd + "sub/page.vrn");
    EXPECT_EQ(store.output_name(), "$(prefix)sub/page.html");
    store.set_output_extension("php");
    EXPECT_EQ(store.output_name(), "$(prefix)sub/page.php");
    store.end_source();
    EXPECT_EQ(store.output_extension(), "");

    // Each source is a main file again: "__NO_OUTPUT__" counts.
    store.leave_main_file();
    store.set_directory("sub/page.vrn");
    EXPECT_EQ(store.current_dir(), "sub/");
    store.on_marker(Marker::no_output, "");
    EXPECT_TRUE(store.take_no_output());
    EXPECT_FALSE(store.take_no_output());
    store.enter_include_dir("inc/head.vrn");
    EXPECT_EQ(store.current_dir(), "sub/inc/");
    store.enter_include_dir("plain.vrn");
    EXPECT_EQ(store.current_dir(), "sub/inc/");
    store.leave_include_dir();
    store.leave_include_dir();
    EXPECT_EQ(store.current_dir(), "sub/");
    auto r = ts::capture([&] { store.leave_include_dir(); });
    EXPECT_EQ(r, (ts::Reported{"t: fatal: Deps_tree::undo_refresh () - internal error\n", 1}));
}

// A name from outputfile() keeps the prefix variable apart; the next source starts afresh.
TEST_F(StoreTest, DependenciesAndArchiveExcludes) {
    Dependency_collector store(rep, "html");
    store.set_directory("sub/page.vrn");
    store.add_dependency("z.png", false);
    store.add_dependency("../head.vrn", false);
    store.add_dependency("z.png", false);
    store.add_dependency("$(prefix)sub/page.html", true);
    store.on_marker(Marker::always, "");
    std::string names;
    for (const Dependency& d : store.dependencies())
        names += (d.below_prefix ? " $(prefix)+" : " ") + d.name;
    EXPECT_EQ(names, " sub/z.png head.vrn sub/z.png $(prefix)+sub/page.html");
    EXPECT_TRUE(store.always());
    store.end_source();
    EXPECT_TRUE(store.dependencies().empty());
    EXPECT_FALSE(store.always());

    store.add_archive_exclude("p.vrn");
    store.exclude_source("index.vrn");
    EXPECT_EQ(store.take_archive_excludes(), "index.vrn\nindex.vrn~\nsub/p.vrn\nsub/p.vrn~\n");
    EXPECT_EQ(store.take_archive_excludes(), "");
}

// A node that records what happens to it.
struct Probe : Node {
    explicit Probe(std::vector<std::string>& log, std::string name, Node_ptr child = nullptr)
        : log_(log), name_(std::move(name)), child_(std::move(child)) {}
    ~Probe() override { log_.push_back("destroy " + name_); }
    Gen_type exec() override {
        log_.push_back("exec " + name_ + (reporter().executing() ? " executing" : ""));
        return Gen_type(0);
    }
    void deps(Dependency_collector&) override { log_.push_back("deps " + name_); }
    std::vector<std::string>& log_;
    std::string name_;
    Node_ptr child_;
};

TEST_F(StoreTest, RegistrationStampsRunsDepsAndDropDestroysOnce) {
    std::vector<std::string> log;
    Dependency_collector store(rep, "html");
    rep.set_file("sub/page.vrn");
    rep.add_lines(4);
    Node* child = store.add_statement(new Probe(log, "child"));
    Node* parent = store.add_statement(new Probe(log, "parent", Node_ptr(child)));
    EXPECT_EQ(parent->owner, &store);
    EXPECT_EQ(parent->src->dir, "sub/");
    EXPECT_EQ(parent->src->file, "page.vrn");
    EXPECT_EQ(parent->line, 5);
    store.on_statement_complete();
    store.on_statement_complete(); // nothing left: nothing happens
    EXPECT_EQ(log,
              (std::vector<std::string>{"deps child", "deps parent", "destroy parent", "destroy child"}));
}

TEST_F(StoreTest, ExecutionStoreRunsDroppedStatement) {
    std::vector<std::string> log;
    Page_renderer store(rep, "page.vrn", "page.html", "./");
    store.add_statement(new Probe(log, "s"));
    store.on_statement_complete();
    EXPECT_FALSE(rep.executing());
    EXPECT_EQ(log, (std::vector<std::string>{"exec s executing", "destroy s"}));
    EXPECT_EQ(store.get_variable("_argc").get_int(rep), 1);
    Gen_type argv = store.get_variable("_argv");
    ASSERT_EQ(argv.get_array(rep).size(), 1u);
    EXPECT_EQ(argv.get_array(rep)[0].get_string(rep), "page.vrn");
}

TEST_F(StoreTest, ArgumentFramesSaveAndRestore) {
    Page_renderer store(rep, "page.vrn", "page.html", "./");
    store.save_arguments();
    store.set_variable("_argc", Gen_type(3));
    store.set_variable("_argv", Gen_type("changed"));
    store.push_plain_frame();
    store.restore_arguments(); // plain frame: nothing restored
    EXPECT_EQ(store.get_variable("_argc").get_int(rep), 3);
    store.restore_arguments();
    EXPECT_EQ(store.get_variable("_argc").get_int(rep), 1);
    EXPECT_TRUE(store.get_variable("_argv").is_array());
    store.restore_arguments(); // no frame left: nothing happens

    store.set_variable("_argc", Gen_type("x"));
    auto r = ts::capture([&] { store.save_arguments(); });
    EXPECT_EQ(r, (ts::Reported{"t: _argc must be an integer\n", 1}));
}

TEST_F(StoreTest, ExecutionStoreLevels) {
    ts::Temp_dir tmp;
    std::string back = ts::current_dir();
    ASSERT_EQ(chdir(tmp.path().c_str()), 0);
    Page_renderer at_root(rep, "a.vrn", "sub/deeper/a.html", "./");
    EXPECT_EQ(at_root.adjust_level(), "../../");
    Page_renderer to_stdout(rep, "a.vrn", "-", "./");
    EXPECT_EQ(to_stdout.adjust_level(), ""); // standard output counts as a page in the run directory
    ts::make_dirs(tmp / "site");
    Page_renderer below(rep, "site/a.vrn", "site/x/a.html", "site");
    EXPECT_EQ(below.adjust_level(), "../");
    EXPECT_EQ(below.input_path(), ts::current_dir() + "/site/a.vrn");
    ASSERT_EQ(chdir(back.c_str()), 0);
}

} // namespace
