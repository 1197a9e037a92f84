#include "lang/nodes/file_builtins.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/paths.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/page_renderer.h"
#include "lang/nodes/array_builtins.h"
#include "lang/nodes/eval_fixture.h"
#include "os/work_dir.h"

namespace {

using namespace evalfx;

const long long march_5 = 1204708023; // Wednesday 5 March 2008, 09:07:03 UTC

class FileBuiltinsTest : public Eval_test {
protected:
    void SetUp() override {
        Eval_test::SetUp();
        setenv("TZ", "UTC0", 1);
        tzset();
    }
};

TEST_F(FileBuiltinsTest, DateAndSizeFormats) {
    struct Row {
        long long when;
        const char* format;
        std::string out;
    };
    const Row dates[] = {
        {march_5, "#d/#m/#y", "5/3/2008"},
        {march_5, "#h:#n:#s", "9:07:03"},
        {march_5 + 12630, "#h:#n:#s", "12:37:33"},
        {march_5, "#D, #M", "Wednesday, March"},
        {march_5, "##d", "#5"},    // the scan resumes just after an unhandled "#"
        {march_5, "#x #", "#x #"}, // unknown directive; a "#" as the last byte
    };
    const Row sizes[] = {
        {1536, "#b|#k|#m", "1536|1.5|0.00146484"},
        {1234567, "#k", "1205.63"},
        {1228800000, "#k", "1.2e+06"},
        {0, "#k#x##b#", "0#x#0#"},
    };
    for (const Row& r : dates)
        EXPECT_EQ(format_date(*st, r.format, r.when), r.out) << r.format;
    for (const Row& r : sizes)
        EXPECT_EQ(format_size(r.format, r.when), r.out) << r.format;
    // Names are read anew each time; the scan goes on inside an inserted name, from its second byte.
    st->set_variable_element("_months", Gen_type(2), Gen_type("x#y"), false);
    EXPECT_EQ(format_date(*st, "#M", march_5), "x2008");
    // No node is evaluated here, so the messages carry no location.
    st->set_variable_element("_days", Gen_type(3), Gen_type(7), false);
    EXPECT_EQ(eval([] { return Gen_type(format_date(*st, "#D", march_5)); }).err,
              "fatal: Gen_type::get_string () -- Internal Error\n");
    st->remove_variable("_months");
    EXPECT_EQ(format_date(*st, "#d", march_5), "5"); // a name is looked up only for its directive
    EXPECT_EQ(eval([] { return Gen_type(format_date(*st, "#M", march_5)); }).err,
              "warning: variable `_months' not defined\nfatal: Gen_type::get_string () -- Internal Error\n");
}

TEST_F(FileBuiltinsTest, EvaluationResultsAndMessages) {
    ts::Temp_dir dir;
    ts::write_file(dir / "f1536", std::string(1536, 'z'));
    ts::write_file(dir / "nul.txt", std::string("a\0b\n", 4));
    ts::make_dirs(dir / "d");
    struct timespec times[2] = {{march_5, 0}, {march_5, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "f1536").c_str(), times, 0), 0);
    const std::time_t now = std::time(nullptr);
    const std::string year = "\"" + int_to_text(std::localtime(&now)->tm_year + 1900) + "\"";

    // Built in the temporary directory, evaluated elsewhere: relative names stay relative to where the
    // nodes were built.
    const std::string home = ts::current_dir();
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    const std::string base = ts::current_dir() + "/", missing = base + "missing";
    struct Row {
        Node_ptr node;
        std::string value, err, text;
    } rows[] = {
        {N<N_fdate>(C("f1536"), C("#y-#m-#d #h:#n:#s")), "\"2008-3-5 9:07:03\"", "", ""},
        {N<N_fdate>(C("missing"), C("#y")), "\"\"", W("unable to get infos about " + missing), ""},
        {N<N_fdate>(C(1), C("#y")), "\"\"", E("fdate (file, format): file must be a string"), ""},
        {N<N_fdate>(C("f1536"), C(1)), "\"\"", E("fdate (file, format): format must be a string"), ""},
        {N<N_fsize>(C("f1536"), C("#b|#k|#m")), "\"1536|1.5|0.00146484\"", "", ""},
        {N<N_fsize>(C(base + "f1536"), C("#b")), "\"1536\"", "", ""},
        {N<N_fsize>(C(1), C("#b")), "\"\"", E("fsize (file, format): file must be a string"), ""},
        {N<N_fsize>(C("f1536"), C(1)), "\"\"", E("fsize (file, format): format must be a string"), ""},
        {N<N_date>(C("#y")), year, "", ""},
        {N<N_date>(C(1)), "\"\"", E("date (format): format must be a string"), ""},
        {N<N_verbatim>(C("nul.txt")), "0", "", std::string("a\0b\n", 4)},
        {N<N_verbatim>(C("missing")), "0", E("can't open file " + missing + "; No such file or directory"),
         ""},
        {N<N_verbatim>(C("d")), "0", E("can't open file " + base + "d; Is a directory"), ""},
        {N<N_fileexists>(C("f1536")), "1", "", ""},
        {N<N_fileexists>(C("missing")), "0", "", ""},
        {N<N_random>(C(3), C(3)), "3", "", ""},
        {N<N_random>(C(5), C(4)), "\"\"", E("maximum value must be greater than minimum"), ""},
        {N<N_random>(C("1"), C(4)), "\"\"", E("minimum value must be an integer"), ""},
        {N<N_random>(C(1), C("4")), "\"\"", E("maximum value must be an integer"), ""},
    };
    ASSERT_EQ(chdir(home.c_str()), 0);
    for (Row& r : rows) {
        store_->take_text();
        Outcome o = eval([&] { return r.node->exec(); });
        EXPECT_EQ(o.value, r.value) << r.err;
        EXPECT_EQ(o.err, r.err) << r.value;
        EXPECT_EQ(store_->text(), r.text) << r.value;
    }
    rep.set_brief(); // the short texts
    EXPECT_EQ(eval([&] { return rows[1].node->exec(); }).err, W(missing));
    EXPECT_EQ(eval([&] { return rows[11].node->exec(); }).err,
              E("open " + missing + "; No such file or directory"));
}

TEST_F(FileBuiltinsTest, StoreDependentNodes) {
    Page_renderer below(rep, "sub/page.vrn", "sub/page.html", "./");
    st = &below;
    EXPECT_EQ(eval([] { return N<N_adj_link>()->exec(); }).value, "\"../\"");

    Dependency_collector deps(rep, "html");
    st = &deps;
    // The clock and a file's date and size are read as vorn reads them, in a name the collector evaluates
    // (include("news-" + date("#y") + ".inc")); they were once an internal error that ended the run.
    ts::Temp_dir dir;
    ts::write_file(dir / "f", "12345");
    EXPECT_EQ(eval([&] { return N<N_fsize>(C(dir / "f"), C("#b"))->exec(); }).value, "\"5\"");
    Outcome o = eval([] { return N<N_date>(C("#y"))->exec(); });
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(o.value.size(), 6u); // "YYYY" in quotes
    // Argument frames exist only in the execution store.
    EXPECT_EQ(eval([] { return N<N_arg_include>(C("a.vrn"), C("x"))->exec(); }).value, "0");
    EXPECT_FALSE(deps.has_variable("_argc"));
}

TEST_F(FileBuiltinsTest, IncludeArgumentFrames) {
    auto args = [] { return show(st->get_variable("_argc")) + " " + show(st->get_variable("_argv")); };
    EXPECT_EQ(eval([] { return N<N_include>(C("inc.vrn"))->exec(); }).value, "0");
    N<N_arg_include>(C("a.vrn"), N<N_list>(C("x"), C(2)))->exec();
    EXPECT_EQ(args(), "3 { a.vrn, x, 2 }");
    N<N_arg_include>(C("b.vrn"), C("y"))->exec();
    EXPECT_EQ(args(), "2 { b.vrn, y }");
    const char* after_each_end[] = {"3 { a.vrn, x, 2 }", "1 { page.vrn }", "1 { page.vrn }"};
    for (const char* expected : after_each_end) {
        store_->restore_arguments(); // what the end of each included file does; the plain frame restores
                                     // nothing
        EXPECT_EQ(args(), expected);
    }
}

} // namespace
