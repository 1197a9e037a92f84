// cmd/evalcmd run a command line through the shell; exec/evalexec start a script directly, with its own
// argument vector and an environment of one variable.
#include "nodes/commands.h"

#include <cerrno>
#include <cstdio>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "diag/process_end.h"
#include "diag/reporter.h"
#include "driver/make_names.h"
#include "nodes/child_output.h"
#include "values/tree.h"

namespace {

// The execution store's external-command policy: true (with `result` set, after the message) when the
// program must not run.  Any other store has no policy.
bool refused(Tree* owner, const char* what, Gen_type& result) {
    auto* store = dynamic_cast<Exec_tree*>(owner);
    if (!store)
        return false;
    const std::string& policy = store->policy();
    if (policy == "warning") {
        reporter().warning(std::string("can't execute ") + what + ": --noext-warning used");
        result = Gen_type(std::string());
        return true;
    }
    if (policy == "error") {
        reporter().error(std::string("can't execute ") + what + ": --noext-error used");
        result = Gen_type(-1);
        return true;
    }
    return false;
}

Gen_type failed(const std::string& program) {
    reporter().error("error while executing " + program, "exec " + program);
    return Gen_type(-1);
}

// Whatever is still buffered would otherwise be written by the new process as well.
void flush_standard_streams() {
    std::fflush(stdout);
    std::fflush(stderr);
}

// A fatal error in the new process (reported there) ends that process only, at once: no exit handlers, no
// flushing of buffers inherited from the generator, no removal of the generator's temporary file.
[[noreturn]] void end_child(int status) {
    _exit(status);
}

} // namespace

Gen_type N_cmd::exec() {
    locate();
    Gen_type result;
    if (refused(owner, "command", result))
        return result;
    const std::string command = command_->exec().get_string();
    flush_standard_streams();
    std::FILE* stream = ::popen(command.c_str(), "r");
    if (!stream)
        return failed(command);
    Output_sink sink;
    sink.store = owner;
    sink.capture = capture();
    collect_output(fileno(stream), sink);
    if (::pclose(stream) != 0)
        return failed(command);
    return capture() ? Gen_type(std::move(sink.captured)) : Gen_type(0);
}

// In the new process: builds the argument vector and the environment, points the standard output at the
// pipe and becomes the script.  Never returns.
[[noreturn]] void N_exec::run_child(const std::string& path, int read_end, int write_end) {
    unregister_temp_file();
    set_end_handler(end_child);
    try {
        ::close(read_end);
        std::vector<std::string> args{path};
        if (arguments_) {
            Gen_type value = arguments_->exec();
            if (value.is_string()) {
                args.push_back(value.text());
            } else if (value.is_list()) {
                for (const Gen_type& element : value.elements())
                    args.push_back(element.get_string());
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
        if (write_end != STDOUT_FILENO) {
            ::dup2(write_end, STDOUT_FILENO);
            ::close(write_end);
        }
        ::execve(path.c_str(), argv.data(), envp);
    } catch (...) {
    }
    // The script could not be started (or the process failed on its way there).
    _exit(127);
}

Gen_type N_exec::exec() {
    locate();
    Gen_type result;
    if (refused(owner, "script", result))
        return result;
    const std::string path = file_->exec().get_string();
    int fds[2];
    if (::pipe(fds) != 0)
        return failed(path);
    flush_standard_streams();
    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return failed(path);
    }
    if (pid == 0)
        run_child(path, fds[0], fds[1]);
    ::close(fds[1]);
    Output_sink sink;
    sink.store = owner;
    sink.capture = capture();
    collect_output(fds[0], sink);
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return capture() ? Gen_type(std::move(sink.captured)) : Gen_type(0);
}

// The script is a dependency of the page (when its name is fixed and make can express it), and the name
// exactly as written is kept out of the site archive, with its backup, unless it holds a control byte: the
// archive's list has one name a line.
void N_exec::deps() {
    record_dependency("N_dep::deps () -- Internal Error");
    auto* store = dynamic_cast<Deps_tree*>(owner);
    if (!store) {
        owner->ensure_dep();
        return;
    }
    locate();
    Gen_type value = file_->exec();
    if (!value.is_string())
        reporter().fatal("N_exec::deps () -- Internal Error");
    const std::string& script = value.text();
    if (!has_control_byte(script))
        store->add_archive_exclude(script + "\n" + script + "~\n");
}
