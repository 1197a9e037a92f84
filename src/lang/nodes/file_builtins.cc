// Evaluation of the file, date and level built-ins and of the two include nodes.
#include "lang/nodes/file_builtins.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/nodes/statements.h"
#include "os/read_open.h"

namespace {

Gen_type empty_text() {
    return Gen_type(std::string());
}

std::string resolve_in(const std::string& dir, const std::string& name) {
    return !name.empty() && name[0] == '/' ? name : dir + name;
}

// The whole content of a regular file, NUL bytes included; false when it cannot be opened or read, or is
// no regular file.
bool read_whole(const std::string& path, std::string& content) {
    int fd = open_regular(AT_FDCWD, path);
    if (fd < 0)
        return false;
    char buf[8192];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            content.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return false;
        }
    }
    ::close(fd);
    return true;
}

// The common start of fdate and fsize: the file's status, or false after the message (the result is then
// the empty string).  `what` names the function in the messages.
bool file_status(Node* file, Node* format, const std::string& what, const N_file_dep& node, std::string& fmt,
                 struct stat& st) {
    Reporter& r = node.reporter();
    Gen_type name = file->exec();
    if (!name.is_string()) {
        r.error(what + " (file, format): file must be a string");
        return false;
    }
    Gen_type f = format->exec();
    if (!f.is_string()) {
        r.error(what + " (file, format): format must be a string");
        return false;
    }
    std::string path = node.resolve(name.text());
    if (::stat(path.c_str(), &st) != 0) {
        r.warning("unable to get infos about " + path, path);
        return false;
    }
    node.owner->on_file_read(path);
    fmt = f.text();
    return true;
}

} // namespace

N_file_dep::N_file_dep(Node_ptr file, Node_ptr second) : N_dep(std::move(file)), second_(std::move(second)) {}

void N_file_dep::on_registered() {
    build_dir_ = owner->work_dir().working_dir() + "/";
}

// inputfile() and outputfile() give names relative to the run directory; every other relative name is
// relative to the directory of the file the node was written in.
std::string N_file_dep::resolve(const std::string& name) const {
    return resolve_in(names_from_run_dir(file_.get()) && owner ? owner->run_dir() : build_dir_, name);
}

N_fileexists::N_fileexists(Node_ptr file) : N_builtin3(std::move(file)) {}

void N_fileexists::on_registered() {
    build_dir_ = owner->work_dir().working_dir() + "/";
}

Gen_type N_date::exec() {
    locate();
    owner->on_page_value();
    Gen_type format = a_->exec();
    if (!format.is_string()) {
        reporter().error("date (format): format must be a string");
        return empty_text();
    }
    return Gen_type(format_date(*owner, format.text(), static_cast<long long>(std::time(nullptr))));
}

Gen_type N_fdate::exec() {
    locate();
    owner->on_page_value();
    std::string format;
    struct stat st;
    if (!file_status(file_.get(), second_.get(), "fdate", *this, format, st))
        return empty_text();
    return Gen_type(format_date(*owner, format, static_cast<long long>(st.st_mtime)));
}

Gen_type N_fsize::exec() {
    locate();
    owner->on_page_value();
    std::string format;
    struct stat st;
    if (!file_status(file_.get(), second_.get(), "fsize", *this, format, st))
        return empty_text();
    return Gen_type(format_size(format, static_cast<long long>(st.st_size)));
}

// A file that opens but cannot be read (a directory) is reported like one that does not open, and nothing
// of it reaches the page.
Gen_type N_verbatim::exec() {
    locate();
    std::string path = resolve(file_->exec().get_string(reporter()));
    std::string content;
    if (!read_whole(path, content)) {
        reporter().error_errno("can't open file " + path, "open " + path);
        return Gen_type(0);
    }
    owner->on_file_read(path);
    owner->on_text(content);
    return Gen_type(0);
}

Gen_type N_fileexists::exec() {
    locate();
    const std::string& dir = names_from_run_dir(a_.get()) && owner ? owner->run_dir() : build_dir_;
    const std::string path = resolve_in(dir, a_->exec().get_string(reporter()));
    if (!can_read(path))
        return Gen_type(0);
    if (owner)
        owner->on_file_read(path);
    return Gen_type(1);
}

// minimum + (maximum - minimum + 1) * r / 2147483647.0, truncated.  With r == RAND_MAX that formula gives
// maximum + 1; the result is held to the maximum so that it always lies within the bounds.  The generator
// is never seeded: a run repeats the same sequence.
Gen_type N_random::exec() {
    locate();
    // Each call gives the next number of the sequence: never made again from an earlier reading.
    owner->on_page_value();
    Reporter& r = reporter();
    Gen_type min = a_->exec();
    Gen_type max = b_->exec();
    if (!min.is_int()) {
        r.error("minimum value must be an integer");
        return empty_text();
    }
    if (!max.is_int()) {
        r.error("maximum value must be an integer");
        return empty_text();
    }
    if (max.integer() < min.integer()) {
        r.error("maximum value must be greater than minimum");
        return empty_text();
    }
    const long long lo = min.integer();
    const long long hi = max.integer();
    const double span = static_cast<double>(hi - lo + 1);
    long long value = lo + static_cast<long long>(span * static_cast<double>(std::rand()) / 2147483647.0);
    if (value > hi)
        value = hi;
    return Gen_type(static_cast<int32_t>(value));
}

Gen_type N_adj_link::exec() {
    locate();
    return Gen_type(owner->adjust_level());
}

// The included text's argument frame: none for a plain inclusion (its end restores nothing), _argc and _argv
// for one with arguments.  Only the page renderer keeps argument frames.
Gen_type N_include::exec() {
    locate();
    owner->on_include_run(*file_, nullptr);
    return Gen_type(0);
}

Gen_type N_arg_include::exec() {
    locate();
    owner->on_include_run(*file_, arguments_.get());
    return Gen_type(0);
}
