#include "tovik/template_reader.h"

#include <gtest/gtest.h>

#include "diag/reporter.h"
#include "support/test_support.h"

namespace {

struct Token {
    int code;
    std::string value; // only for tokens 7 to 13
    bool operator==(const Token& o) const { return code == o.code && value == o.value; }
};

std::ostream& operator<<(std::ostream& os, const Token& t) {
    return os << "{" << t.code << ", \"" << t.value << "\"}";
}

struct Scan {
    std::vector<Token> tokens;
    int status = -1; // -1: the scan reached the end of the text
    std::string err;
};

Scan scan(const std::string& text) {
    Reporter rep;
    rep.set_program_name("vorn-tovik");
    Scan s;
    ts::Stderr_capture err;
    try {
        Template_scanner scanner(rep, text);
        for (int t; (t = scanner.next()) != tmpl_end;)
            s.tokens.push_back({t, t >= tmpl_prefix && t <= tmpl_translations ? scanner.value() : ""});
    } catch (const ts::Process_ended& e) {
        s.status = e.status;
    }
    s.err = err.text();
    return s;
}

TEST(TemplateScanner, TokenStream) {
    struct Case {
        const char* text;
        std::vector<Token> tokens;
    };
    const Case cases[] = {
        {"", {}},
        {"# only a comment\n\n\t\n#another\n", {}},
        {"brief:\nfatal-warnings:\nignore_errors:\nquiet:\nsilent:\nverbose:\nfast:",
         {{1, ""}, {2, ""}, {3, ""}, {4, ""}, {5, ""}, {6, ""}, {14, ""}}},
        {"brief:\t\nquiet:#why\n", {{1, ""}, {4, ""}}},
        {"self-update:\nexact-deps:#both\n", {{15, ""}, {16, ""}}},
        {"prefix: out\n", {{7, " out"}}},
        {"prefix:a b\t# not a comment\n", {{7, "a b\t# not a comment"}}},
        {"source-extension:v\ntarget-extension:htm\nvorn-option:-x -y\ntranslations:en, it\n",
         {{8, "v"}, {9, "htm"}, {10, "-x -y"}, {13, "en, it"}}},
        {"prefix:a:b", {{7, "a:b"}}},
        {"*main\nend-main\n", {{12, ""}}},
        {"*main\nvorn-option: -a\n\t# c\n\nvorn-option:-b\nend-main\nfast:\n", {{12, "  -a  -b "}, {14, ""}}},
        {"*branch*src*out/\nend-branch\n", {{11, "src*out/*--parents "}}},
        {"*branch*a/b*c\nvorn-option:-x\nend-branch", {{11, "a/b*c*--parents  -x "}}},
        {"*branch*a*b\nend-branch\n*branch*c*d\nend-branch\n",
         {{11, "a*b*--parents "}, {11, "c*d*--parents "}}},
        // "*main" may stand anywhere on its line.
        {"quiet:*main\nend-main\n", {{4, ""}, {12, ""}}},
        // An unfinished section is dropped without complaint.
        {"verbose:\n*main\nvorn-option:-x\n", {{6, ""}}},
        {"*branch*a*b\nvorn-option:-x", {}},
        // A value at the very end without its newline.
        {"target-extension:x", {{9, "x"}}},
        // A comment may hold a carriage return.
        {"#x\r\nfast:\n", {{14, ""}}},
    };
    for (const auto& c : cases) {
        Scan s = scan(c.text);
        EXPECT_EQ(s.status, -1) << "template: " << c.text;
        EXPECT_EQ(s.err, "") << "template: " << c.text;
        EXPECT_EQ(s.tokens, c.tokens) << "template: " << c.text;
    }
}

TEST(TemplateScanner, RefusedLayouts) {
    const char* cases[] = {
        " ",                           // a blank outside a value
        "brief: \n",                   // ... after a flag keyword
        "brief: yes\n",                //
        "brief:\r\n",                  // a carriage return
        "prefix: out\r\n",             // ... also at the end of a value
        "prefix:\n",                   // an empty value
        "prefix:",                     //
        "#\n",                         // a lone "#"
        "#",                           //
        " brief:\n",                   // a keyword that does not start its line
        "\tverbose:\n",                //
        "fast:brief:\n",               //
        "self-update: \n",             //
        "exact-deps:y\n",              //
        "end-main\n",                  // outside a section
        "end-branch\n",                //
        "*main\nend-branch\n",         // the other section's end
        "*branch*a*b\nend-main\n",     //
        "*main\nprefix:x\nend-main\n", // only vorn options inside a section
        "*main\n vorn-option:x\nend-main\n",
        "*main\n\tvorn-option:x\nend-main\n",
        "*branch*a*b c\nend-branch\n", // the rest of a branch line
        "*branch*a*b*\nend-branch\n",  //
        "*branch**b\nend-branch\n",    // an empty source directory
        "*branch*a\nend-branch\n",     // no output directory
        "*Main\nend-main\n",           // any other text
        "BRIEF:\n",                    //
        "vorn-option\n",               //
        "end-main",                    //
        "\xff",                        //
    };
    for (const char* text : cases) {
        Scan s = scan(text);
        EXPECT_EQ(s.status, 1) << "template: '" << text << "'";
        EXPECT_EQ(s.err, "vorn-tovik: fatal: Wrong template file\n") << "template: '" << text << "'";
    }
    // A NUL byte is any other character too.
    Scan nul = scan(std::string("fast:\n\0", 7));
    EXPECT_EQ(nul.status, 1);
    EXPECT_EQ(nul.tokens, (std::vector<Token>{{14, ""}}));
}

// A refusal ends the scan where it stands; the tokens before it were handed out.
TEST(TemplateScanner, TokensBeforeARefusal) {
    Scan s = scan("quiet:\nprefix:p\nfast: \n");
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.tokens, (std::vector<Token>{{4, ""}, {7, "p"}, {14, ""}}));
}

// A scan stopped by a refusal leaves nothing behind for the next one.
TEST(TemplateScanner, FreshStateAfterARefusalInsideASection) {
    EXPECT_EQ(scan("*main\nbad\n").status, 1);
    Scan s = scan("end-main\n");
    EXPECT_EQ(s.status, 1);
    s = scan("verbose:\n");
    EXPECT_EQ(s.tokens, (std::vector<Token>{{6, ""}}));
}

TEST(TemplateMerge, ConflictsInsideTheTemplate) {
    struct Case {
        const char* text;
        const char* err;
    };
    const Case cases[] = {
        {"verbose:\nsilent:\n", "vorn-tovik: fatal: template: both `verbose' and `silent' set\n"},
        {"quiet:\nverbose:\n", "vorn-tovik: fatal: template: both `verbose' and `silent' set\n"},
        {"ignore_errors:\nfatal-warnings:\n",
         "vorn-tovik: fatal: template: both `fatal-warnings' and `ignore-errors' set\n"},
    };
    for (const auto& c : cases) {
        Reporter rep;
        rep.set_program_name("vorn-tovik");
        Tovik_opt o;
        Pending_settings pending;
        ts::Stderr_capture err;
        int status = -1;
        try {
            merge_template_text(rep, o, pending, c.text);
        } catch (const ts::Process_ended& e) {
            status = e.status;
        }
        EXPECT_EQ(status, 1) << c.text;
        EXPECT_EQ(err.text(), c.err) << c.text;
    }
}

TEST(TemplateMerge, FirstRequestWinsAgainstNormal) {
    Reporter rep;
    Tovik_opt o;
    Pending_settings pending;
    merge_template_text(rep, o, pending, "quiet:\nsilent:\nfatal-warnings:\nprefix:a\nprefix:b\n");
    EXPECT_EQ(pending.verbosity, Verbosity::quiet);
    EXPECT_EQ(pending.policy, Policy::fatal_warnings);
    EXPECT_EQ(pending.prefix, std::optional<std::string>("b"));
}

} // namespace
