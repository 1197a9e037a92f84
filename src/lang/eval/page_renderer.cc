#include <memory>

#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/node.h"
#include "lang/eval/page_renderer.h"

Page_renderer::Page_renderer(const std::string& input_name, const std::string& output_name,
                             const std::string& root_dir, std::string policy)
    : policy_(std::move(policy)) {
    input_name_ = input_name;
    output_name_ = output_name;
    // An absolute name is its own path.
    Work_dir& here = work_dir();
    std::string cwd = here.working_dir() + "/";
    run_dir_ = cwd;
    input_path_ = !input_name.empty() && input_name[0] == '/' ? input_name : cwd + input_name;
    output_path_ = !output_name.empty() && output_name[0] == '/' ? output_name : cwd + output_name;
    root_level = root_dir == "./" ? here.cwd_depth() : here.path_depth(with_slash(root_dir));
    // A page written to standard output counts as one in the run directory, so that links made for it climb
    // to the root like those of a page written there.
    output_level = here.path_depth(output_name == "-" ? std::string("page") : output_name);
    variables_["_argc"] = Gen_type(1);
    Gen_type argv = Gen_type::empty_array();
    argv.elements().emplace_back(input_name);
    variables_["_argv"] = std::move(argv);
}

Page_renderer::~Page_renderer() = default;

void Page_renderer::ensure_dep() {
    reporter().fatal("Exec_tree::ensure_dep () Internal Error");
}

Node* Page_renderer::add_statement(Node* node) {
    stamp(node);
    pending_.push_back(node);
    return node;
}

// Runs the completed top-level statement (the back of the queue; the other queued nodes are its subtree),
// then destroys it.
void Page_renderer::complete_statement() {
    if (pending_.empty())
        return;
    std::unique_ptr<Node> statement(pending_.back());
    forget_pending();
    Reporter& r = reporter();
    r.set_executing(true);
    statement->exec();
    r.set_executing(false);
}

// The run directory is the system's own name for it (no symbolic link in it), so ".." from it is exact.
void Page_renderer::note_read(const std::string& path) {
    if (!recording_ || path.empty())
        return;
    const std::string full =
        normalize_path(path[0] == '/' ? path : work_dir().working_dir() + "/" + path, true);
    const std::string& run = run_dir_;
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
    saved_argc_.push_back(argc.get_int());
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
