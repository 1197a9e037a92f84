// The context of vorn: runs every completed statement of a source to produce its page.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "lang/eval/eval_context.h"

class Page_renderer : public Eval_context {
public:
    // policy: "warning" or "error" restrict external programs; anything else allows them.
    Page_renderer(const std::string& input_name, const std::string& output_name, const std::string& root_dir,
                  std::string policy);
    ~Page_renderer() override;

    bool is_exec() const override { return true; }
    [[noreturn]] void ensure_dep() override;
    Node* add_statement(Node* node) override;
    void complete_statement() override;

    const std::string& policy() const { return policy_; }
    // From now on, the files the page reads are kept (vorn --deps), named from the run directory, or
    // absolute when they lie outside the run directory's top-level directory.
    void record_reads() { recording_ = true; }
    void note_read(const std::string& path) override;
    const std::set<std::string>& reads() const { return reads_; }
    void save_arguments();
    void push_plain_frame();
    void restore_arguments();

private:
    std::string policy_;
    bool recording_ = false;
    std::set<std::string> reads_;
    std::vector<bool> frames_;
    std::vector<int32_t> saved_argc_;
    std::vector<Gen_type> saved_argv_;
};
