// The context of vorn: runs every completed statement of a source to produce its page.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "lang/eval/eval_context.h"

// What a page may do with external programs (cmd, evalcmd, exec, evalexec).
enum class Program_policy : uint8_t {
    run,    // they run
    warn,   // they do not run, with a warning (--noext-warning)
    refuse, // they do not run, with an error (--noext-error)
};

class Page_renderer : public Eval_context {
public:
    Page_renderer(Reporter& reporter, const std::string& input_name, const std::string& output_name,
                  const std::string& root_dir, Program_policy policy = Program_policy::run);
    ~Page_renderer() override;

    Node* add_statement(Node* node) override;
    // Runs the completed statement, then destroys it.
    void on_statement_complete() override;
    // An inclusion is always followed: the file is read, and its directory entered.
    bool on_include(const Gen_type& name, Include_reader& reader) override;
    // A plain inclusion keeps a frame that restores nothing; one with arguments saves _argc and _argv for the
    // end of the included text, then sets them to describe the inclusion.
    void on_include_run(Node& file, Node* arguments) override;
    void on_included_end_run() override { restore_arguments(); }
    // The policy on external programs (--noext-warning, --noext-error).
    bool on_program(const char* what, Gen_type& result) override;
    void on_text(std::string_view text) override { page_.append(text); }

    // The page made so far.
    const std::string& text() const { return page_; }
    // The page made so far, which is forgotten.
    std::string take_text() {
        std::string page;
        page.swap(page_);
        return page;
    }

    // From now on, the files the page reads are kept (vorn --deps), named from the run directory, or
    // absolute when they lie outside the run directory's top-level directory.
    void record_reads() { recording_ = true; }
    void on_file_read(const std::string& path) override;
    const std::set<std::string>& reads() const { return reads_; }
    void save_arguments();
    void push_plain_frame();
    void restore_arguments();

private:
    std::string page_;
    Program_policy policy_;
    bool recording_ = false;
    std::set<std::string> reads_;
    std::vector<bool> frames_;
    std::vector<int32_t> saved_argc_;
    std::vector<Gen_type> saved_argv_;
};
