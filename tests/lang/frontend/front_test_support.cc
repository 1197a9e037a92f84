#include "front_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <typeinfo>
#include <unistd.h>

#include "base/paths.h"
#include "lang/nodes/array_builtins.h"
#include "lang/nodes/commands.h"
#include "lang/nodes/expressions.h"
#include "lang/nodes/file_builtins.h"
#include "lang/nodes/statements.h"
#include "lang/nodes/string_builtins.h"
#include "os/work_dir.h"
#include "support/test_support.h"

namespace ft {

Node* Keep_context::add_statement(Node* node) {
    stamp(node);
    registered.push_back(node);
    registered_as.push_back(label(node));
    queue(node);
    return node;
}

void Keep_context::on_statement_complete() {
    if (Node* statement = take_statement())
        statements.emplace_back(statement);
}

void Keep_context::on_text(std::string_view text) {
    if (exec)
        text_.append(text);
}

bool Keep_context::on_include(const Gen_type& name, Include_reader& reader) {
    if (exec)
        return reader.read(name.get_string(reporter()));
    if (name.is_string() && !reader.opens(name.text()))
        reporter().fatal_errno(name.get_string(reporter()) + ": No such file or directory", "");
    return false;
}

namespace {

std::string class_name(const Node* node) {
    const char* mangled = typeid(*node).name();
    int status = 0;
    char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string out = status == 0 && plain ? plain : mangled;
    std::free(plain);
    return out;
}

std::string join(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : ", ") + p;
    return out;
}

std::string var_suffix(Var_form form, const Node* index) {
    switch (form) {
    case Var_form::array:
        return "[]";
    case Var_form::element:
        return "[" + dump(index) + "]";
    default:
        return "";
    }
}

// The letter the labels give each form.
char form_letter(Var_form form) {
    switch (form) {
    case Var_form::array:
        return 'a';
    case Var_form::element:
        return 'i';
    case Var_form::nested_element:
        return 'I';
    default:
        return 's';
    }
}

} // namespace

std::vector<const Node*> children(const Node* n) {
    std::vector<const Node*> out;
    auto add = [&](const Node* c) {
        if (c)
            out.push_back(c);
    };
    if (auto* b = dynamic_cast<const N_binary*>(n)) {
        add(b->left());
        add(b->right());
    } else if (auto* u = dynamic_cast<const N_unary*>(n)) {
        add(u->operand());
    } else if (auto* o = dynamic_cast<const N_output_base*>(n)) {
        add(o->value());
    } else if (auto* br = dynamic_cast<const N_branch*>(n)) {
        add(br->test());
        add(br->body());
    } else if (auto* cs = dynamic_cast<const N_cond_seq*>(n)) {
        add(cs->chain());
        add(cs->next());
    } else if (auto* ie = dynamic_cast<const N_if_else*>(n)) {
        add(ie->chain());
        add(ie->else_body());
    } else if (auto* st = dynamic_cast<const N_stmt*>(n)) {
        add(st->sequence());
        add(st->statement());
    } else if (auto* l = dynamic_cast<const N_list*>(n)) {
        add(l->left());
        add(l->right());
    } else if (auto* ar = dynamic_cast<const N_assign_rec*>(n)) {
        add(ar->value());
    } else if (auto* a = dynamic_cast<const N_assign*>(n)) {
        add(a->target());
        add(a->value());
    } else if (auto* e = dynamic_cast<const N_epp*>(n)) {
        add(e->operand());
    } else if (auto* ud = dynamic_cast<const N_undef*>(n)) {
        add(ud->target());
    } else if (auto* ea = dynamic_cast<const N_empty_array*>(n)) {
        add(ea->target());
    } else if (auto* ix = dynamic_cast<const N_ind_expr*>(n)) {
        add(ix->name_expr());
        add(ix->index());
    } else if (auto* v = dynamic_cast<const N_base_var*>(n)) {
        add(v->inner());
        add(v->index());
    } else if (auto* fd = dynamic_cast<const N_file_dep*>(n)) {
        add(fd->file());
        add(fd->second());
    } else if (auto* d = dynamic_cast<const N_dep*>(n)) {
        add(d->file());
    } else if (auto* b3 = dynamic_cast<const N_builtin3*>(n)) {
        for (int i = 0; i < 3; ++i)
            add(b3->arg(i));
    } else if (auto* fe = dynamic_cast<const N_foreach*>(n)) {
        add(fe->var());
    }
    return out;
}

std::string dump(const Node* n) {
    if (!n)
        return "-";
    if (auto* c = dynamic_cast<const N_const*>(n))
        return c->value().is_int() ? std::to_string(c->value().integer()) : "\"" + c->value().text() + "\"";
    if (auto* ix = dynamic_cast<const N_ind_expr*>(n))
        return "$(" + dump(ix->name_expr()) + ")" + var_suffix(ix->form(), ix->index());
    if (auto* v = dynamic_cast<const N_var*>(n)) {
        if (v->form() == Var_form::nested_element)
            return "I(" + dump(v->inner()) + ", " + dump(v->index()) + ")";
        return v->name() + var_suffix(v->form(), v->index());
    }
    std::vector<std::string> parts;
    if (auto* ar = dynamic_cast<const N_assign_rec*>(n))
        parts.push_back(dump(ar->target()));
    for (const Node* c : children(n))
        parts.push_back(dump(c));
    if (auto* a = dynamic_cast<const N_assign*>(n); a && a->define_only())
        parts.push_back("define");
    if (auto* e = dynamic_cast<const N_epp*>(n)) {
        parts.push_back(e->step() > 0 ? "+1" : "-1");
        parts.push_back(e->old_value() ? "post" : "pre");
    }
    if (auto* fm = dynamic_cast<const N_find_match*>(n)) {
        parts.push_back(std::string("last=") + (fm->last() ? "1" : "0"));
        parts.push_back(std::string("not=") + (fm->negated() ? "1" : "0"));
    }
    if (auto* f = dynamic_cast<const N_find*>(n))
        parts.push_back(f->reverse() ? "reverse" : "forward");
    if (auto* r = dynamic_cast<const N_replace*>(n))
        parts.push_back(r->all() ? "all" : "first");
    if (auto* cc = dynamic_cast<const N_ch_case*>(n))
        parts.push_back(cc->lower() ? "lower" : "upper");
    if (auto* cmd = dynamic_cast<const N_cmd*>(n))
        parts.push_back(cmd->capture() ? "eval" : "run");
    if (auto* ex = dynamic_cast<const N_exec*>(n))
        parts.push_back(ex->capture() ? "eval" : "run");
    std::string name = class_name(n);
    return parts.empty() ? name : name + "(" + join(parts) + ")";
}

std::string dump_all(const Keep_context& store) {
    std::string out;
    for (const auto& s : store.statements)
        out += (out.empty() ? "" : " | ") + dump(s.get());
    return out;
}

std::string label(const Node* n) {
    std::string name = class_name(n);
    if (name.compare(0, 2, "N_") == 0)
        name.erase(0, 2);
    if (auto* c = dynamic_cast<const N_const*>(n))
        return name + " " + (c->value().is_int() ? std::to_string(c->value().integer()) : c->value().text());
    if (auto* v = dynamic_cast<const N_var*>(n))
        return name + " " + v->name() + form_letter(v->form());
    return name;
}

namespace {

template <class F> Outcome run_parse(F parse) {
    Outcome o;
    ts::Stderr_capture cap;
    try {
        o.result = parse();
    } catch (const ts::Process_ended& e) {
        o.exit = e.status;
    }
    o.err = cap.text();
    return o;
}

} // namespace

Outcome parse_text(Source_scan& parser, const std::string& text) {
    return run_parse([&] { return parser.parse_string(*parser.store(), text); });
}

Outcome parse_path(Source_scan& parser, const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "r");
    EXPECT_NE(f, nullptr) << path;
    if (!f)
        return Outcome();
    parser.reporter().set_file(path);
    Outcome o = run_parse([&] { return parser.parse_file(*parser.store(), f); });
    std::fclose(f);
    return o;
}

std::string cwd() {
    return ts::current_dir();
}

Cwd::Cwd(const std::string& dir) : saved_(ts::current_dir()) {
    if (chdir(dir.c_str()) != 0)
        ADD_FAILURE() << "chdir " << dir;
}

Cwd::~Cwd() {
    if (chdir(saved_.c_str()) != 0)
        ADD_FAILURE() << "chdir back to " << saved_;
}

void Front_test::SetUp() {
    rep.set_file("t.vrn");
}

// The context may have been a local of the test body: it is gone by now.
void Front_test::TearDown() {
    parser.work_for(nullptr);
    parser.abandon();
}

} // namespace ft
