#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "front_test_support.h"
#include "grammar.h"
#include "lang/eval/dependency_collector.h"
#include "lang/frontend/parser.h"
#include "lang/frontend/scanner.h"
#include "support/test_support.h"
#include "tovik/makefile_writer.h"

namespace {

struct Scan {
    std::string tokens; // "T_IDENT(x) ';'"
    std::string err;
    int exit = -1;
};

std::string show(const Scanned_token& t) {
    std::string name = token_name(t.code);
    if (t.code == T_IDENT || t.code == T_TYPE_NAME)
        return name + "(" + t.name + ")";
    if (t.code == T_CONSTANT || t.code == T_TEXT)
        return name + "(" +
               (t.value.is_int() ? std::to_string(t.value.integer()) : "\"" + t.value.text() + "\"") + ")";
    return name;
}

// Every token of a main source held in `text`, up to its end.
Scan scan(Source_scan& parser, const std::string& text) {
    Scan s;
    ts::Stderr_capture cap;
    try {
        scanner_begin_bytes(parser, text);
        for (Scanned_token t = next_token(parser); t.code != 0; t = next_token(parser))
            s.tokens += (s.tokens.empty() ? "" : " ") + show(t);
        scanner_finish(parser);
    } catch (const ts::Process_ended& e) {
        s.exit = e.status;
    }
    s.err = cap.text();
    return s;
}

class ScannerTest : public ft::Front_test {
protected:
    void SetUp() override {
        Front_test::SetUp();
        store.exec = true;
        use(&store);
    }
    // Scans, expecting no message.
    std::string tokens(const std::string& text) {
        Scan s = scan(parser, text);
        EXPECT_EQ(s.err, "") << text;
        EXPECT_EQ(s.exit, -1) << text;
        return s.tokens;
    }
    ft::Keep_context store{rep};
};

TEST_F(ScannerTest, PlainTextIsNoTokenAndReachesTheExecutionStore) {
    struct Case {
        const char* in;
        const char* text; // written for the execution store
        int line;         // reporter line at the end
    };
    const Case cases[] = {
        {"hello\nworld\n", "hello\nworld\n", 3},
        {"a\\\nb", "ab", 2},                   // backslash-newline joins lines
        {"a\\\\\nb", "a\\b", 2},               // only the backslash next to the newline goes
        {"a\\b\\", "a\\b\\", 1},               // other backslashes stay
        {"x<y z\n<p>", "x<y z\n<p>", 2},       // "<" that cannot begin a tag
        {"<vornx a/>", "<vornx a/>", 1},       // not a tag
        {"<vor\n<vorn", "<vor\n<vorn", 2},     // unfinished tag names
        {"a<<b <\n", "a<<b <\n", 2},           // a lone "<" is text like any other
        {"<\\\n", "<\\\n", 2},                 // a "<" run reaches the newline
        {"<vorn/>", "<vorn/>", 1},             // "/" right after the name is no blank
        {"a\r\nb<p>\r\n", "a\r\nb<p>\r\n", 3}, // CRLF text keeps its bytes
        {"<vorn\rx/>\r", "<vorn\rx/>\r", 1},   // a CR before no LF is no blank
        {"x\\\r\ny", "x\\\r\ny", 2},           // nor does it join lines
    };
    for (const Case& c : cases) {
        store.text().clear();
        rep.set_file("t.vrn");
        EXPECT_EQ(tokens(c.in), "") << c.in;
        EXPECT_EQ(store.text(), c.text) << c.in;
        EXPECT_EQ(rep.scan_location().line, c.line) << c.in;
    }
}

// The collector makes no page: the text is scanned past as for a page, and dropped.
TEST_F(ScannerTest, DependencyStoreTakesNoText) {
    Dependency_collector deps(rep, "html");
    use(&deps);
    EXPECT_EQ(tokens("page text <vorn x; /> more"), "T_IDENT(x) ';'");
}

TEST_F(ScannerTest, TagRegions) {
    const std::pair<const char*, const char*> cases[] = {
        {"a<vorn x />b", "T_IDENT(x)"},
        {"<vorn\tx\n/>", "T_IDENT(x)"},
        {"<vorn>x</vorn>", "T_IDENT(x) T_TAG_END"},
        {"<vorn >x</vorn>", "T_IDENT(x) T_TAG_END"}, // a blank before ">" still opens TAG
        {"<vorn \n >x</vorn>", "T_IDENT(x) T_TAG_END"},
        {"<vorn\r\nx\r\n/>", "T_IDENT(x)"}, // a CR ending a line is a blank
        {"<vorn\r\n>\r\nx;\r\n</vorn>\r\n", "T_IDENT(x) ';' T_TAG_END"},
        {"<vorn>type:a\r\nendtype;\r\n</vorn>", "T_TEXT(\"a\r\") T_TEXT(\"\n\") T_TYPE_END T_TAG_END"},
        {"<vorn x </vorn> />", "T_IDENT(x) '<' '/' T_IDENT(vorn) '>'"}, // no closing tag in SHORT_TAG
        {"<vorn> a /> b </vorn>", "T_IDENT(a) '/' '>' T_IDENT(b) T_TAG_END"},
        {"<vorn><vorn x; /> y</vorn>", "T_IDENT(x) ';' T_IDENT(y) T_TAG_END"}, // tags nest
        {"<vorn><vorn>x</vorn>y</vorn>", "T_IDENT(x) T_TAG_END T_IDENT(y) T_TAG_END"},
        {"<vorn>x</vorn></vorn>", "T_IDENT(x) T_TAG_END"}, // the second one is page text
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(tokens(in), out) << in;
    store.text().clear();
    tokens("a<vorn><vorn x; /> y</vorn>b</vorn>");
    EXPECT_EQ(store.text(), "ab</vorn>");
}

TEST_F(ScannerTest, LiteralsKeepEscapesAsWritten) {
    const std::pair<const char*, const char*> cases[] = {
        {R"(<vorn "a\"b" />)", R"(T_CONSTANT("a\"b"))"},
        {R"(<vorn 'a\'b' />)", R"(T_CONSTANT("a\'b"))"},
        {R"(<vorn `a\`b` />)", R"(T_CONSTANT("a\`b"))"},
        {R"(<vorn "it's `x`" 'say "hi"' />)", R"(T_CONSTANT("it's `x`") T_CONSTANT("say "hi""))"},
        {R"(<vorn "a\\" b />)", R"(T_CONSTANT("a\\") T_IDENT(b))"},
        {"<vorn \"\" '' `` />", "T_CONSTANT(\"\") T_CONSTANT(\"\") T_CONSTANT(\"\")"},
        {"<vorn 12 007 -3 />", "T_CONSTANT(12) T_CONSTANT(7) '-' T_CONSTANT(3)"},
        {"<vorn 99999999999 />", "T_CONSTANT(1215752191)"}, // as atoi does it here: cut to 32 bits
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(tokens(in), out) << in;
}

TEST_F(ScannerTest, LiteralsSpanLines) {
    rep.set_file("t.vrn");
    EXPECT_EQ(tokens("<vorn 'a\nb\\\nc' />"), "T_CONSTANT(\"a\nb\\\nc\")");
    EXPECT_EQ(rep.scan_location().line, 3);
}

TEST_F(ScannerTest, UnterminatedLiteralIsAnUnrecognizedQuote) {
    rep.set_policy(Policy::ignore_errors);
    Scan s = scan(parser, "<vorn x = \"abc; />");
    EXPECT_EQ(s.tokens, "T_IDENT(x) '=' T_IDENT(abc) ';'");
    EXPECT_EQ(s.err, "t.vrn:1: Parse error; unrecognized token \"\n");
}

TEST_F(ScannerTest, UnrecognizedCharacters) {
    rep.set_policy(Policy::ignore_errors);
    Scan s = scan(parser, "<vorn>a # b . c\n?</vorn>");
    EXPECT_EQ(s.tokens, "T_IDENT(a) T_IDENT(b) T_IDENT(c) T_TAG_END");
    EXPECT_EQ(s.err, "t.vrn:1: Parse error; unrecognized token #\n"
                     "t.vrn:1: Parse error; unrecognized token .\n"
                     "t.vrn:2: Parse error; unrecognized token ?\n");
    rep.set_brief();
    EXPECT_EQ(scan(parser, "<vorn>@</vorn>").err, "t.vrn:2: Parse error;@\n");
}

TEST_F(ScannerTest, UnrecognizedCharacterStopsTheRunUnlessErrorsAreIgnored) {
    Scan s = scan(parser, "<vorn>a ~ b</vorn>");
    EXPECT_EQ(s.exit, 1);
    EXPECT_EQ(s.err, "t.vrn:1: Parse error; unrecognized token ~\n");
}

// The keyword table of the scanner and the grammar's %token list: every keyword, and the same word
// continued by a letter, digit or underscore as an identifier.
TEST_F(ScannerTest, Keywords) {
    const std::pair<const char*, int> keywords[] = {
        {"undef", T_UNDEF},
        {"verbatim", T_VERBATIM},
        {"_include", T_INCLUDE_FILE},
        {"echo", T_ECHO},
        {"print", T_PRINT},
        {"cmd", T_CMD},
        {"evalcmd", T_EVALCMD},
        {"exec", T_EXEC},
        {"evalexec", T_EVALEXEC},
        {"tobool", T_TOBOOL},
        {"toint", T_TOINT},
        {"tostring", T_TOSTRING},
        {"toarray", T_TOARRAY},
        {"isint", T_ISINT},
        {"isstring", T_ISSTRING},
        {"isarray", T_ISARRAY},
        {"if", T_IF},
        {"elif", T_ELIF},
        {"ifdef", T_IFDEF},
        {"elifdef", T_ELIFDEF},
        {"ifndef", T_IFNDEF},
        {"elifndef", T_ELIFNDEF},
        {"else", T_ELSE},
        {"for", T_FOR},
        {"foreach", T_FOREACH},
        {"while", T_WHILE},
        {"in", T_IN},
        {"date", T_DATE},
        {"fdate", T_FDATE},
        {"fsize", T_FSIZE},
        {"linkadjust", T_LINKADJUST},
        {"inputfile", T_INPUTFILE},
        {"absinputfile", T_ABSINPUTFILE},
        {"outputfile", T_OUTPUTFILE},
        {"absoutputfile", T_ABSOUTPUTFILE},
        {"substring", T_SUBSTRING},
        {"find", T_FIND},
        {"findfirstof", T_FINDFIRSTOF},
        {"findlastof", T_FINDLASTOF},
        {"findfirstnotof", T_FINDFIRSTNOTOF},
        {"findlastnotof", T_FINDLASTNOTOF},
        {"rfind", T_RFIND},
        {"char", T_CHAR},
        {"insert", T_INSERT},
        {"replace", T_REPLACE},
        {"replaceall", T_REPLACEALL},
        {"trim", T_TRIM},
        {"ltrim", T_LTRIM},
        {"rtrim", T_RTRIM},
        {"startswith", T_STARTSWITH},
        {"endswith", T_ENDSWITH},
        {"tolower", T_TOLOWER},
        {"toupper", T_TOUPPER},
        {"length", T_LENGTH},
        {"raiseerror", T_RAISEERROR},
        {"raisewarning", T_RAISEWARNING},
        {"term", T_TERM},
        {"tokenize", T_TOKENIZE},
        {"join", T_JOIN},
        {"delete", T_DELETE},
        {"push", T_PUSH},
        {"random", T_RANDOM},
        {"fileexists", T_FILEEXISTS},
        {"fill", T_FILL},
    };
    for (const auto& [word, code] : keywords) {
        std::string w = word;
        EXPECT_EQ(tokens("<vorn " + w + " />"), token_name(code)) << w;
        EXPECT_EQ(tokens("<vorn " + w + "x " + w + "_ " + w + "2 />"),
                  "T_IDENT(" + w + "x) T_IDENT(" + w + "_) T_IDENT(" + w + "2)")
            << w;
    }
    EXPECT_EQ(tokens("<vorn type endtype Include IF />"),
              "T_IDENT(type) T_IDENT(endtype) T_IDENT(Include) T_IDENT(IF)");
}

TEST_F(ScannerTest, IncludeOpensABlock) {
    EXPECT_EQ(tokens("<vorn include(\"a\"); />"), "'{' T_INCLUDE_FILE '(' T_CONSTANT(\"a\") ')' ';'");
    EXPECT_EQ(tokens("<vorn includes include_ />"), "T_IDENT(includes) T_IDENT(include_)");
    EXPECT_EQ(tokens("<vorn include include />"), "'{' T_INCLUDE_FILE '{' T_INCLUDE_FILE");
    // The rewrite is the last token matched, as if "{_include" had been read.
    scanner_begin_bytes(parser, "<vorn include x />");
    EXPECT_EQ(next_token(parser).code, '{');
    EXPECT_EQ(last_token_text(parser), "{");
    EXPECT_EQ(next_token(parser).code, T_INCLUDE_FILE);
    EXPECT_EQ(last_token_text(parser), "_include");
    EXPECT_EQ(next_token(parser).name, "x");
    EXPECT_EQ(last_token_text(parser), "x");
    scanner_finish(parser);
}

TEST_F(ScannerTest, Operators) {
    EXPECT_EQ(tokens("<vorn a >= <= == ~== != ~!= += -= *= /= %= **= && || ** ++ -- />"),
              "T_IDENT(a) T_GE T_LE T_EQ T_W_EQ T_NEQ T_W_NEQ T_PLUS_ASSIGN T_MINUS_ASSIGN T_TIMES_ASSIGN "
              "T_DIV_ASSIGN "
              "T_MOD_ASSIGN T_POW_ASSIGN T_AND T_OR T_POW T_INC T_DEC");
    EXPECT_EQ(tokens("<vorn ! $ % ( ) * + , / ; < = > [ ] { } - />"),
              "'!' '$' '%' '(' ')' '*' '+' ',' '/' ';' '<' '=' '>' '[' ']' '{' '}' '-'");
    EXPECT_EQ(tokens("<vorn a***b a---b />"),
              "T_IDENT(a) T_POW '*' T_IDENT(b) T_IDENT(a) T_DEC '-' T_IDENT(b)");
}

TEST_F(ScannerTest, Comments) {
    const std::pair<const char*, const char*> cases[] = {
        {"<vorn>a // b c </vorn>\n d</vorn>", "T_IDENT(a) T_IDENT(d) T_TAG_END"},
        {"<vorn>a /* b \n c */ d</vorn>", "T_IDENT(a) T_IDENT(d) T_TAG_END"},
        {"<vorn>a /* // */ d</vorn>", "T_IDENT(a) T_IDENT(d) T_TAG_END"},
        {"<vorn>a // /* \n d</vorn>", "T_IDENT(a) T_IDENT(d) T_TAG_END"},
        {"<vorn>a /**/ d</vorn>", "T_IDENT(a) T_IDENT(d) T_TAG_END"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(tokens(in), out) << in;
}

TEST_F(ScannerTest, LineCommentEndingTheFileReturnsToItsMode) {
    // Without the closing "/>" the tag is still open at the end: one warning, and nothing else.
    Scan s = scan(parser, "<vorn x // comment");
    EXPECT_EQ(s.tokens, "T_IDENT(x)");
    EXPECT_EQ(s.err, "t.vrn:2: warning: found unclosed vorn tags\n");
    EXPECT_EQ(parser.scanner.nested_tags.size(), 1u);
}

TEST_F(ScannerTest, TypeText) {
    EXPECT_EQ(tokens("<vorn>type: one @@ x @@ two\\@ \\\\ e endtype; y</vorn>"),
              "T_TEXT(\" one \") T_EMBED T_IDENT(x) ';' T_TEXT(\" two\") T_TEXT(\"@\") T_TEXT(\" \") "
              "T_TEXT(\"\\\") T_TEXT(\" e \") T_TYPE_END T_IDENT(y) T_TAG_END");
    EXPECT_EQ(tokens("<vorn>type:endtype;</vorn>"), "T_TYPE_END T_TAG_END");
    EXPECT_EQ(tokens("<vorn>type:@a@ \\x endtypes endtype; </vorn>"),
              "T_TEXT(\"@a\") T_TEXT(\"@ \") T_TEXT(\"\\\") T_TEXT(\"x endtypes \") T_TYPE_END T_TAG_END");
    EXPECT_EQ(tokens("<vorn>type:@endtype;</vorn>"), "T_TEXT(\"@\") T_TYPE_END T_TAG_END");
    // "@@" in code starts literal text and ends an embedded expression.
    EXPECT_EQ(tokens("<vorn>x @@ text @@ y</vorn>"),
              "T_IDENT(x) ';' T_TEXT(\" text \") T_EMBED T_IDENT(y) T_TAG_END");
    EXPECT_EQ(tokens("<vorn x; type(Ab_c): t endtype; />"),
              "T_IDENT(x) ';' T_TYPE_NAME(Ab_c) T_TEXT(\" t \") T_TYPE_END");
    // A name with a digit or a blank is no capture.
    EXPECT_EQ(tokens("<vorn type(a1) />"), "T_IDENT(type) '(' T_IDENT(a1) ')'");
}

TEST_F(ScannerTest, TypeTextLinesAndPageText) {
    store.text().clear();
    rep.set_file("t.vrn");
    EXPECT_EQ(tokens("<vorn>type:a\\\nb\nc endtype;</vorn>"),
              "T_TEXT(\"a\") T_TEXT(\"b\") T_TEXT(\"\n\") T_TEXT(\"c \") T_TYPE_END T_TAG_END");
    EXPECT_EQ(store.text(), ""); // the newline is a token like the runs, so that it keeps its place
    EXPECT_EQ(rep.scan_location().line, 3);
}

TEST_F(ScannerTest, CaptureKeepsPlainTextFromThePage) {
    store.text().clear();
    scanner_begin_bytes(parser, "a<vorn type(T):b\nendtype; />c");
    EXPECT_EQ(next_token(parser).code, T_TYPE_NAME);
    EXPECT_TRUE(parser.scanner.type_capture);
    EXPECT_EQ(next_token(parser).value.text(), "b");
    EXPECT_EQ(next_token(parser).value.text(), "\n"); // captured with the rest of the block
    EXPECT_EQ(next_token(parser).code, T_TYPE_END);
    EXPECT_FALSE(parser.scanner.type_capture);
    EXPECT_EQ(next_token(parser).code, 0);
    scanner_finish(parser);
    EXPECT_EQ(store.text(), "ac"); // the newline inside the captured block is not written
}

TEST_F(ScannerTest, LineCounting) {
    // The line of the "#" after each construct (errors ignored, so every line is reported).
    rep.set_policy(Policy::ignore_errors);
    Scan s = scan(parser,
                  "a\nb\\\nc<vorn\n\n>#x\n'a\nb'#/*\n*/#//\n#type:\nx\\\ny@@#@@endtype;# @@ \n @@#</vorn>\n"
                  "<vorn\n/>\n<vorn #");
    EXPECT_EQ(s.err, "t.vrn:5: Parse error; unrecognized token #\n"
                     "t.vrn:7: Parse error; unrecognized token #\n"
                     "t.vrn:8: Parse error; unrecognized token #\n"
                     "t.vrn:9: Parse error; unrecognized token #\n"
                     "t.vrn:11: Parse error; unrecognized token #\n"
                     "t.vrn:11: Parse error; unrecognized token #\n"
                     "t.vrn:12: Parse error; unrecognized token #\n"
                     "t.vrn:15: Parse error; unrecognized token #\n"
                     "t.vrn:15: warning: found unclosed vorn tags\n");
}

TEST_F(ScannerTest, GeneratorMarkers) {
    Dependency_collector deps(rep, "html");
    deps.set_directory("news/page.vrn");
    use(&deps);
    // A marker's text runs to the end of its line, or of its block comment; a CRLF line end is no part of it.
    EXPECT_EQ(tokens("<vorn>// x__ALWAYS__y\n/* __EXT__ \t php */ a\n b // __DEP__ ../img/./logo.png \t\r\n"
                     "/* __DEP__ /abs/f*/ c /* __DEP__ two\r\nlines */\n// __EXT__\n// __DEP__\n</vorn>"),
              "T_IDENT(a) T_IDENT(b) T_IDENT(c) T_TAG_END");
    EXPECT_TRUE(deps.always());
    EXPECT_EQ(deps.output_extension(), "php");
    EXPECT_EQ(prerequisite_names(deps), (std::vector<std::string>{"/abs/f", "img/logo.png", "news/two"}));
    EXPECT_FALSE(deps.take_no_output());
    tokens("<vorn>/*__NO_OUTPUT__*/</vorn>");
    EXPECT_TRUE(deps.take_no_output());
    // After the first inclusion of a source the marker no longer counts.
    deps.leave_main_file();
    tokens("<vorn>/*__NO_OUTPUT__*/</vorn>");
    EXPECT_FALSE(deps.take_no_output());
    // Markers outside comments are identifiers; markers in page text are text.
    deps.end_source();
    EXPECT_EQ(tokens("__ALWAYS__<vorn __ALWAYS__ />"), "T_IDENT(__ALWAYS__)");
    EXPECT_FALSE(deps.always());
}

// "__EXT__" takes one plain word; other text leaves the page's extension as it was.
TEST_F(ScannerTest, ExtensionMarkerTakesOneWord) {
    const struct {
        const char* in;
        const char* ext;
        const char* err;
    } rows[] = {
        {"// __EXT__ php\n", "php", ""},
        {"/* __EXT__ php */", "php", ""},
        {"/*__EXT__ php*/", "php", ""},
        {"// __EXT__\tp.h_p-5+ \r\n", "p.h_p-5+", ""},
        {"// __EXT__ \t\n", "old", ""},
        {"/* __EXT__ */", "old", ""},
        {"// __EXT__ html $(shell touch x)\n", "old", "__EXT__ html $(shell touch x)"},
        {"// __EXT__ html /some/file\n", "old", "__EXT__ html /some/file"},
        {"/* __EXT__ php */ */", "php", nullptr}, // the comment ended before the second "*/"
        {"// __EXT__ php */\n", "old", "__EXT__ php */"},
        {"// __EXT__ x\ry\n", "old", "__EXT__ x\\ry"},
        {"// __EXT__ caf\xc3\xa9\n", "old", "__EXT__ caf\xc3\xa9"},
    };
    Dependency_collector deps(rep, "html");
    use(&deps);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.in);
        deps.set_output_extension("old");
        rep.set_file("t.vrn");
        const Scan s = scan(parser, std::string("<vorn ") + row.in + " />");
        EXPECT_EQ(deps.output_extension(), row.ext);
        if (!row.err)
            continue;
        EXPECT_EQ(s.err, *row.err ? std::string("t.vrn:1: warning: ") + row.err +
                                        ": an extension is one word of letters, digits, \".\", \"_\", "
                                        "\"-\" and \"+\"; marker ignored\n"
                                  : "");
    }
}

TEST_F(ScannerTest, FastModeMarkersAndMissingTags) {
    Dependency_collector deps(rep, "html");
    deps.set_scan_mode(Scan_mode::fast);
    use(&deps);
    Scan s = scan(parser, "no tags here\n// __ALWAYS__\n");
    EXPECT_EQ(s.err, "t.vrn:3: warning: Source file with no <vorn> tags in fast mode\n");
    EXPECT_FALSE(deps.always());
    EXPECT_EQ(tokens("<vorn // __ALWAYS__\n/>"), "");
    EXPECT_TRUE(deps.always());
    deps.set_scan_mode(Scan_mode::full);
    EXPECT_EQ(tokens("no tags here"), ""); // no warning outside fast mode
}

TEST_F(ScannerTest, ExecutionStoreIgnoresMarkers) {
    // The store of this fixture answers neither full nor fast mode.
    EXPECT_EQ(tokens("<vorn // __ALWAYS__ __DEP__ x\n/>"), "");
}

TEST_F(ScannerTest, UnclosedTagsAreCutBackAtTheEnd) {
    Scan s = scan(parser, "<vorn><vorn>x</vorn>");
    EXPECT_EQ(s.tokens, "T_IDENT(x) T_TAG_END");
    EXPECT_EQ(s.err, "t.vrn:1: warning: found unclosed vorn tags\n");
    EXPECT_EQ(parser.scanner.nested_tags.size(), 1u);
    // The next source starts in plain text again.
    EXPECT_EQ(tokens("x<vorn y />"), "T_IDENT(y)");
}

TEST_F(ScannerTest, TokenValuesAreTrackedUntilTaken) {
    scanner_begin_bytes(parser, "<vorn a 'b' 3 />");
    Scanned_token t = next_token(parser);
    EXPECT_EQ(parser.values.live_count(), 0u);
    EXPECT_EQ(t.name, "a");
    scanner_finish(parser);
}

TEST_F(ScannerTest, TypeTextTokenTextIsWhatWasMatched) {
    scanner_begin_bytes(parser, "<vorn type: ab\\@ endtype; />");
    EXPECT_EQ(next_token(parser).value.text(), " ab");
    EXPECT_EQ(last_token_text(parser), " ab");
    EXPECT_EQ(next_token(parser).value.text(), "@");
    EXPECT_EQ(last_token_text(parser), "\\@");
    EXPECT_EQ(next_token(parser).value.text(), " ");
    EXPECT_EQ(last_token_text(parser), " ");
    EXPECT_EQ(next_token(parser).code, T_TYPE_END);
    EXPECT_EQ(last_token_text(parser), "endtype;");
    scanner_finish(parser);
}

// flex's own failures go straight to stderr and end the run with status 2.
TEST_F(ScannerTest, ScannerInputFailureEndsWithStatusTwo) {
    ts::Temp_dir dir;
    std::FILE* f = std::fopen((dir / "w.vrn").c_str(), "w"); // cannot be read
    ASSERT_NE(f, nullptr);
    ft::Outcome o;
    {
        ts::Stderr_capture cap;
        try {
            o.result = parser.parse_file(*parser.store(), f);
        } catch (const ts::Process_ended& e) {
            o.exit = e.status;
        }
        o.err = cap.text();
    }
    std::fclose(f);
    EXPECT_EQ(o.exit, 2);
    EXPECT_EQ(o.err, "input in flex scanner failed\n");
    EXPECT_EQ(parser.values.live_count(), 0u);
}

TEST(NestedTags, RestoreWithNothingPushedIsAnInternalError) {
    ts::Stderr_capture cap;
    Reporter rep;
    Nested_tags tags;
    int status = -1;
    try {
        tags.restore_condition(rep);
    } catch (const ts::Process_ended& e) {
        status = e.status;
    }
    EXPECT_EQ(status, 1);
    EXPECT_EQ(cap.text(), "fatal: Nested_tags::restore_condition ()-internal error\n");
}

} // namespace
