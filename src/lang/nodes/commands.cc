// cmd/evalcmd run a command line through the shell; exec/evalexec start a script directly, with its own
// argument vector and an environment of one variable.
#include "lang/nodes/commands.h"

#include <cerrno>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "base/make_names.h"
#include "base/paths.h"
#include "base/process_end.h"
#include "diag/reporter.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/eval_context.h"
#include "lang/nodes/child_output.h"
#include "lang/nodes/statements.h"

namespace {

Gen_type failed(Reporter& reporter, const std::string& program) {
    reporter.error("error while executing " + program, "exec " + program);
    return Gen_type(-1);
}

// Whatever is still buffered would otherwise be written by the new process as well.
void flush_standard_streams() {
    std::fflush(stdout);
    std::fflush(stderr);
}

// In the new process: its standard output goes to the pipe's writing end.
void output_to(int write_end) {
    if (write_end != STDOUT_FILENO) {
        ::dup2(write_end, STDOUT_FILENO);
        ::close(write_end);
    }
}

// The output read to its end, then the status the process ended with.
int wait_for(pid_t pid, int read_end, Output_sink& sink) {
    collect_output(read_end, sink);
    ::close(read_end);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

} // namespace

N_cmd::N_cmd(Node_ptr command, bool capture) : command_(std::move(command)), capture_(capture ? 1 : 0) {}

void N_cmd::on_registered() {
    build_dir_ = owner->work_dir().working_dir() + "/";
}

N_exec::N_exec(Node_ptr script, Node_ptr arguments, bool capture)
    : N_dep(std::move(script)), arguments_(std::move(arguments)), capture_(capture ? 1 : 0) {}

void N_exec::on_registered() {
    build_dir_ = owner->work_dir().working_dir() + "/";
}

// The command line runs as "sh -c" would run it from popen, in the directory the node was built in.
Gen_type N_cmd::exec() {
    locate();
    Gen_type result;
    if (!owner->on_program("command", result))
        return result;
    const std::string command = command_->exec().get_string(reporter());
    // A program's output may differ from one run to the next.
    owner->on_page_value();
    int fds[2];
    if (::pipe(fds) != 0)
        return failed(reporter(), command);
    flush_standard_streams();
    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return failed(reporter(), command);
    }
    if (pid == 0) {
        ::close(fds[0]);
        if (::chdir(build_dir_.c_str()) == 0) {
            output_to(fds[1]);
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    ::close(fds[1]);
    Output_sink sink;
    sink.store = owner;
    sink.capture = capture();
    if (wait_for(pid, fds[0], sink) != 0)
        return failed(reporter(), command);
    return capture() ? Gen_type(std::move(sink.captured)) : Gen_type(0);
}

// In the new process: builds the argument vector and the environment, points the standard output at the
// pipe and becomes the script.  Never returns.
[[noreturn]] void N_exec::run_child(const std::string& path, int read_end, int write_end) {
    unregister_temp_file();
    try {
        ::close(read_end);
        std::vector<std::string> args{path};
        if (arguments_) {
            Gen_type value = arguments_->exec();
            if (value.is_string()) {
                args.push_back(value.text());
            } else if (value.is_list()) {
                for (const Gen_type& element : value.elements())
                    args.push_back(element.get_string(reporter()));
            } else {
                locate();
                reporter().fatal("N_exec::exec () -- internal error");
            }
        }
        locate();
        const std::string level = "LA=" + owner->adjust_level();
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(&a[0]);
        argv.push_back(nullptr);
        char* envp[] = {const_cast<char*>(level.c_str()), nullptr};
        const std::string program = !path.empty() && path[0] != '/' && names_from_run_dir(file_.get())
                                        ? owner->run_dir() + path
                                        : path;
        if (::chdir(build_dir_.c_str()) == 0) {
            output_to(write_end);
            ::execve(program.c_str(), argv.data(), envp);
        }
    } catch (const Run_end& end) {
        // A fatal error in the new process (reported there) ends that process only, at once: no exit
        // handlers, no flushing of buffers inherited from the generator, no removal of its temporary file.
        _exit(end.status);
    } catch (...) {
    }
    // The script could not be started (or the process failed on its way there).
    _exit(127);
}

Gen_type N_exec::exec() {
    locate();
    Gen_type result;
    if (!owner->on_program("script", result))
        return result;
    const std::string path = file_->exec().get_string(reporter());
    owner->on_page_value();
    // The script, as the new process finds it: what the page runs is what it read.
    const std::string script = !path.empty() && path[0] != '/'
                                   ? (names_from_run_dir(file_.get()) ? owner->run_dir() : build_dir_) + path
                                   : path;
    if (::access(script.c_str(), F_OK) == 0)
        owner->on_file_read(script);
    int fds[2];
    if (::pipe(fds) != 0)
        return failed(reporter(), path);
    flush_standard_streams();
    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return failed(reporter(), path);
    }
    if (pid == 0)
        run_child(path, fds[0], fds[1]);
    ::close(fds[1]);
    Output_sink sink;
    sink.store = owner;
    sink.capture = capture();
    wait_for(pid, fds[0], sink);
    return capture() ? Gen_type(std::move(sink.captured)) : Gen_type(0);
}

// The script is a dependency of the page (when its name is fixed and make can express it), and the file it
// names is kept out of the site archive, with its backup, unless it holds a control byte: the archive's
// list has one name a line.
void N_exec::deps(Dependency_collector& collector) {
    record_dependency(collector, "N_dep::deps () -- Internal Error");
    locate();
    Gen_type value = file_->exec();
    // A script named by a variable that the page sets as it runs is unknown here (and was warned about).
    if (!value.is_string())
        return;
    const std::string& script = value.text();
    if (!has_control_byte(script))
        collector.add_archive_exclude(script);
}
