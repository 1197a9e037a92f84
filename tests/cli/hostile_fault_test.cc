// Faults while the results are written: a full disk, a file size limit, an interruption.  Whatever happens,
// the previous file stays whole (or is replaced whole) and no temporary file is left behind.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "support/test_support.h"

namespace {

ts::Run_result run_in(const std::string& dir, const std::string& name, std::vector<std::string> args,
                      const std::string& prelude = "true") {
    std::vector<std::string> argv = {"/bin/bash", "-c", prelude + "; exec -a " + name + " \"$0\" \"$@\"",
                                     name == "vorn" ? VORN_BIN : TOVIK_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    ts::Run_options o;
    o.cwd = dir;
    return ts::run(argv, o);
}

// Temporary files are named "." + the file's name + "." + six characters.
bool has_temporary_file(const std::string& dir) {
    for (const auto& entry : ts::read_tree(dir))
        if (entry.first.find("/.") != std::string::npos || entry.first[0] == '.')
            return true;
    return false;
}

struct Write_case {
    const char* program;
    std::vector<std::string> args;
    std::string error;
};

const Write_case write_cases[] = {
    {"vorn-tovik",
     {"--prefix=out"},
     "vorn-tovik: fatal: Can't write output file Makefile; No space left on device\n"},
    {"vorn-tovik",
     {},
     "vorn-tovik: fatal: Can't write sources file Makefile.sources; No space left on device\n"},
    {"vorn",
     {"page.vrn", "page.html"},
     "vorn: fatal: Can't write output file page.html; No space left on device\n"},
};

// A small file system of its own, mounted for the test and filled up.
TEST(HostileFault, DiskFull) {
    ts::Temp_dir tmp;
    const std::string dir = tmp / "full";
    ts::make_dirs(dir);
    if (geteuid() != 0 || ts::sh("mount -t tmpfs -o size=64k tmpfs " + dir + " 2>/dev/null").status != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    struct Unmount {
        std::string dir;
        ~Unmount() { ts::sh("umount " + dir); }
    } unmount{dir};

    ts::write_file(dir + "/page.vrn", "<vorn>echo(1);</vorn>\n");
    ts::write_file(dir + "/Makefile", "old makefile\n");
    ts::write_file(dir + "/Makefile.sources", "old list\n");
    ts::write_file(dir + "/page.html", "old page\n");
    ts::sh("cat /dev/zero > filler 2>/dev/null", dir);
    const auto before = ts::read_tree(dir);
    for (const Write_case& c : write_cases) {
        SCOPED_TRACE(c.error);
        auto r = run_in(dir, c.program, c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.error);
        EXPECT_TRUE(ts::read_tree(dir) == before);
    }
}

// The same failure injected by a file size limit, where no file system can be mounted.
TEST(HostileFault, PageBeyondTheFileSizeLimit) {
    ts::Temp_dir dir;
    ts::write_file(dir / "page.vrn", "<vorn>echo(\"" + std::string(4000, 'x') + "\");</vorn>\n");
    ts::write_file(dir / "page.html", "old page\n");
    const auto before = ts::read_tree(dir.path());
    auto r = run_in(dir.path(), "vorn", {"page.vrn", "page.html"}, "ulimit -f 2; trap '' XFSZ");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "vorn: fatal: Can't write output file page.html; File too large\n");
    EXPECT_EQ(ts::read_tree(dir.path()), before);
}

// A failed allocation ends either program with "out of memory" and status 2; the files stay as they were.
TEST(HostileFault, OutOfMemory) {
#ifdef VT_SANITIZED
    GTEST_SKIP() << "the sanitizers' allocator ends the process itself when memory runs out";
#endif
    struct Case {
        const char* program;
        std::string prelude;
        std::string page;
        std::string error;
    };
    std::string big_expression = "<vorn>x = ";
    for (int i = 0; i < 2500000; ++i)
        big_expression += "1+";
    big_expression += "1;</vorn>\n";
    const Case cases[] = {
        {"vorn", "true", "<vorn>\nx = {1,2} * 2147483647;</vorn>\n", "page.vrn:2: fatal: out of memory\n"},
        {"vorn", "ulimit -v 200000", big_expression, "page.vrn:1: fatal: out of memory\n"},
        {"vorn-tovik", "ulimit -v 200000", big_expression, "page.vrn:1: fatal: out of memory\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program + (" " + c.prelude));
        ts::Temp_dir dir;
        ts::write_file(dir / "page.vrn", c.page);
        for (const char* name : {"page.html", "Makefile", "Makefile.sources"})
            ts::write_file(dir / name, "old\n");
        const auto before = ts::read_tree(dir.path());
        const bool vorn = std::string(c.program) == "vorn";
        auto r = run_in(dir.path(), c.program,
                        vorn ? std::vector<std::string>{"page.vrn", "page.html"} : std::vector<std::string>{},
                        c.prelude);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, c.error);
        EXPECT_EQ(ts::read_tree(dir.path()), before);
    }
}

pid_t start(const std::string& dir, const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

// SIGTERM or SIGINT at moments spread over a whole run: the file is the old one or the complete new one.
TEST(HostileFault, InterruptedRuns) {
    struct Run {
        std::vector<std::string> argv;
        std::string file;
        void (*setup)(const std::string& dir);
    };
    const Run runs[] = {
        {{TOVIK_BIN},
         "Makefile",
         [](const std::string& dir) {
             for (int i = 0; i < 3000; ++i)
                 ts::write_file(dir + "/p" + std::to_string(i) + ".vrn", "<vorn>echo(1);</vorn>\n");
         }},
        {{VORN_BIN, "page.vrn", "page.html"},
         "page.html",
         [](const std::string& dir) {
             ts::write_file(dir + "/page.vrn", "<vorn>s=\"" + std::string(1000, 'x') +
                                                   "\";for(i=0;i<20000;i++){echo(s);}</vorn>");
         }},
    };
    const int delays_ms[] = {0, 1, 3, 6, 10, 20, 35, 50, 75, 100, 150, 200, 300, 500};
    for (const Run& run : runs) {
        SCOPED_TRACE(run.file);
        ts::Temp_dir dir;
        run.setup(dir.path());
        const std::string file = dir / run.file;
        pid_t pid = start(dir.path(), run.argv);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_EQ(status, 0);
        const std::string complete = ts::read_file(file);

        for (int delay : delays_ms) {
            for (int sig : {SIGTERM, SIGINT}) {
                SCOPED_TRACE(std::to_string(delay) + " ms, signal " + std::to_string(sig));
                ts::write_file(file, "old\n");
                pid = start(dir.path(), run.argv);
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                kill(pid, sig);
                ASSERT_EQ(waitpid(pid, &status, 0), pid);
                const std::string now = ts::read_file(file);
                EXPECT_TRUE(now == "old\n" || now == complete) << now.size() << " bytes";
                EXPECT_FALSE(has_temporary_file(dir.path()));
            }
        }
    }
}

} // namespace
