#include <climits>
#include <cstdint>
#include <memory>

#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/node.h"
#include "lang/eval/page_renderer.h"

Page_renderer::Page_renderer(Reporter& reporter, const std::string& input_name,
                             const std::string& output_name, const std::string& root_dir,
                             Program_policy policy)
    : Eval_context(reporter), policy_(policy) {
    // An absolute name is its own path.
    Work_dir& here = work_dir();
    std::string cwd = here.working_dir() + "/";
    set_run_dir(cwd);
    set_input(input_name, !input_name.empty() && input_name[0] == '/' ? input_name : cwd + input_name);
    set_output(output_name, !output_name.empty() && output_name[0] == '/' ? output_name : cwd + output_name);
    // A page written to standard output counts as one in the run directory, so that links made for it climb
    // to the root like those of a page written there.
    set_levels(root_dir == "./" ? here.cwd_depth() : here.path_depth(with_slash(root_dir)),
               here.path_depth(output_name == "-" ? std::string("page") : output_name));
    set_variable("_argc", Gen_type(1));
    Gen_type argv = Gen_type::empty_array();
    argv.elements().emplace_back(input_name);
    set_variable("_argv", argv);
}

Page_renderer::~Page_renderer() = default;

Node* Page_renderer::add_statement(Node* node) {
    stamp(node);
    queue(node);
    return node;
}

// Runs the completed top-level statement (the back of the queue; the other queued nodes are its subtree),
// then destroys it.
void Page_renderer::on_statement_complete() {
    std::unique_ptr<Node> statement(take_statement());
    if (!statement)
        return;
    Reporter& r = reporter();
    r.set_executing(true);
    statement->exec();
    r.set_executing(false);
}

bool Page_renderer::on_include(const Gen_type& name, Include_reader& reader) {
    const std::string& path = name.get_string(reporter());
    if (!reader.read(path))
        return false;
    // The file's directory has been entered.
    on_file_read(base_name(path));
    return true;
}

// _argc and _argv describe the inclusion: the file name first, then the arguments.  A single argument (an
// array included) is one element.
void Page_renderer::on_include_run(Node& file, Node* arguments) {
    if (!arguments) {
        push_plain_frame();
        return;
    }
    save_arguments();
    Gen_type args = arguments->exec();
    Gen_type argv = Gen_type::empty_array();
    argv.elements().push_back(file.exec());
    if (args.is_list()) {
        for (Gen_type& element : args.elements())
            argv.elements().push_back(std::move(element));
    } else {
        argv.elements().push_back(std::move(args));
    }
    const std::size_t argc = argv.elements().size();
    set_variable("_argc", Gen_type(static_cast<int32_t>(argc > INT32_MAX ? INT32_MAX : argc)));
    set_variable("_argv", argv);
}

bool Page_renderer::on_program(const char* what, Gen_type& result) {
    if (policy_ == Program_policy::warn) {
        reporter().warning(std::string("can't execute ") + what + ": --noext-warning used");
        result = Gen_type(std::string());
        return false;
    }
    if (policy_ == Program_policy::refuse) {
        reporter().error(std::string("can't execute ") + what + ": --noext-error used");
        result = Gen_type(-1);
        return false;
    }
    return true;
}

// The run directory is the system's own name for it (no symbolic link in it), so ".." from it is exact.
void Page_renderer::on_file_read(const std::string& path) {
    if (!recording_ || path.empty())
        return;
    const std::string full =
        normalize_path(path[0] == '/' ? path : work_dir().working_dir() + "/" + path, true);
    const std::string& run = run_dir();
    std::size_t common = 0; // up to and including the last "/" the two share
    for (std::size_t i = 0; i < full.size() && i < run.size() && full[i] == run[i]; ++i)
        if (run[i] == '/')
            common = i + 1;
    if (common <= 1) {
        reads_.insert(full);
        return;
    }
    std::string name;
    for (std::size_t i = common; i < run.size(); ++i)
        if (run[i] == '/')
            name += "../";
    reads_.insert(name + full.substr(common));
}

void Page_renderer::save_arguments() {
    frames_.push_back(true);
    Gen_type argc = get_variable("_argc");
    if (!argc.is_int())
        reporter().error("_argc must be an integer");
    saved_argc_.push_back(argc.get_int(reporter()));
    saved_argv_.push_back(get_variable("_argv"));
}

void Page_renderer::push_plain_frame() {
    frames_.push_back(false);
}

void Page_renderer::restore_arguments() {
    if (frames_.empty())
        return;
    if (frames_.back()) {
        set_variable("_argc", Gen_type(saved_argc_.back()));
        set_variable("_argv", saved_argv_.back());
        saved_argc_.pop_back();
        saved_argv_.pop_back();
    }
    frames_.pop_back();
}
