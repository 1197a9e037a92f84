// The language as vorn runs it: small sources in a fresh directory, the page, the messages and the exit
// status compared whole.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "support/site.h"

namespace {

struct Case {
    const char* what;
    std::vector<std::string> options;
    std::string source; // page.vrn
    std::string page;   // standard output (OUTPUT "-")
    std::string err;
    int status;
};

// Each source runs as `vorn OPTIONS page.vrn -` in a directory of its own.
void check(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        ts::Temp_dir dir;
        ts::write_file(dir / "page.vrn", c.source);
        std::vector<std::string> args = c.options;
        args.push_back("page.vrn");
        args.push_back("-");
        ts::Run_result r = ts::run_vorn(dir.path(), args);
        EXPECT_EQ(r.out, c.page) << c.what;
        EXPECT_EQ(r.err, c.err) << c.what;
        EXPECT_EQ(r.status, c.status) << c.what;
    }
}

std::string at(int line, const std::string& text) {
    return "page.vrn:" + std::to_string(line) + ": " + text + "\n";
}

TEST(VornLanguage, Expressions) {
    check({
        {"escapes are translated, other backslashes stay",
         {},
         R"(<vorn>echo("a\tb|\\n|\q|\"|\'|\`|x\
y|\\" + '|it\'s|' + `\`q\``);</vorn>)",
         "a\tb|\\n|\\q|\"|'|`|xy|\\|it's|`q`",
         "",
         0},
        {"indexing, nested element writes, padding, and an out-of-bound read",
         {},
         "<vorn>a = {1, {2, 3}}; print(a[1][0]); a[1][1] = 9; print(a); b = {}; b[2] = \"x\"; print(b);\n"
         "print(a[5]);</vorn>",
         "2\n{ 1, { 2, 9 } }\n{ , , x }\n-1\n",
         at(2, "warning: Array index out of bound"),
         0},
        {"an element of a string",
         {"-i"},
         "<vorn>s = \"str\"; print(s[1] + \"|\"); print(s[0][0]);</vorn>",
         "|\n\n",
         at(1, "s is not an array") + at(1, "s is not an array") +
             at(1, "trying to extract element from non array variable"),
         0},
        {"indirect references read and write the named variable; a name must be a string",
         {"-i"},
         "<vorn>n = \"y\"; $(n) = {4}; $(n)[1] = 5; print(y); print($(n)[1]);\nn = 3; print($(n));</vorn>",
         "{ 4, 5 }\n5\n\n",
         at(2, "$ (expr): expr must be a string variable") + at(2, "warning: variable `' not defined"),
         0},
        {"compound assignment and increments",
         {},
         "<vorn>x = 2; x += 3; x *= 4; x -= 1; x /= 2; x %= 5; x **= 3; print(x); s = \"a\"; s += 1; "
         "print(s);\n"
         "y = 1; x = y += 2; print(x + y); i = 5; print(i++); print(i); print(++i); print(i--); "
         "print(--i);</vorn>",
         "64\na1\n6\n5\n6\n7\n7\n5\n",
         "",
         0},
        {"increments need an integer variable",
         {"-i"},
         "<vorn>s = \"a\"; print(s++); print(++3); print(s);</vorn>",
         "-1\n-1\na\n",
         at(1, "++ can only apply to integers") + at(1, "++ can only apply to variables"),
         0},
        {"&& and || give operand values and skip the right operand",
         {},
         "<vorn>print(0 || \"x\"); print(\"a\" && 7); print(\"\" && 7); print(toarray(3) || 1); "
         "print(0 && missing); print(1 || missing);</vorn>",
         "x\n7\n\n{ 3 }\n0\n1\n",
         "",
         0},
        {"== of different kinds is silent",
         {},
         "<vorn>print(1 == \"1\"); print(1 != \"1\"); print(1 ~== \"1\");</vorn>",
         "0\n1\n1\n",
         "",
         0},
        {"== of different kinds in verbose mode",
         {"-v"},
         "<vorn>print(1 == \"1\"); print(1 != \"1\");</vorn>",
         "0\n1\n",
         at(1, "info: ==: Operands have different type; comparison FALSE") +
             at(1, "info: !=: Operands have different type; comparison TRUE"),
         0},
        {"== of different kinds, verbose and brief",
         {"-v", "-b"},
         "<vorn>print(1 == \"1\"); print(1 != \"1\");</vorn>",
         "0\n1\n",
         at(1, "info: ==: different types; FALSE") + at(1, "info: !=: different types; TRUE"),
         0},
        {"an undefined variable warns and reads as nothing; undef removes",
         {},
         "<vorn>x = 1; undef(x); print(x + \"|\");\nundef(x);</vorn>",
         "|\n",
         at(1, "warning: variable `x' not defined") + at(2, "warning: variable `x' not defined"),
         0},
    });
}

TEST(VornLanguage, PageTextAroundOtherTags) {
    check({
        {"a backslash before a newline joins lines, except in text that a \"<\" begins",
         {},
         "a<b\\\nc\\\nd<vornx e<vor\nf<<vorn\t/>g<\n<vorn>raisewarning(\"at\");</vorn>",
         "a<b\\\ncd<vornx e<vor\nf<g<\n",
         at(5, "warning: at"),
         0},
        {"a CRLF page: text keeps its CRs, code and markers read them as blanks; lines count as usual",
         {},
         "<p>a</p>\r\n<vorn\r\n>\r\nx = \"b\";\r\n// __DEP__ y\r\necho(x); /* __EXT__ php */ echo(\"c\");\r\n"
         "</vorn>\r\n<vorn\r\nraisewarning(\"d\\re\"); />\r\n",
         "<p>a</p>\r\nbc\r\n\r\n",
         at(9, "warning: d\\re"),
         0},
        {"a message shows a control byte visibly",
         {},
         "<vorn raisewarning(\"a\nb\x01\"); />",
         "",
         at(2, "warning: a\\nb\\x01"),
         0},
    });
}

TEST(VornLanguage, Statements) {
    check({
        {"if/elif/else runs one branch; else binds to the nearest if",
         {},
         "<vorn>if (0) echo(\"a\"); elif (\"\") echo(\"b\"); else echo(\"c\");\n"
         "if (1) echo(\"d\"); elif (1) echo(\"e\"); else echo(\"f\");\n"
         "if (\"0\") echo(\"g\"); if (1) if (0) echo(\"x\"); else echo(\"h\");</vorn>",
         "cdgh",
         "",
         0},
        {"ifdef and ifndef look names up without reading them",
         {},
         "<vorn>ifdef (v) echo(\"1\"); else echo(\"2\"); v = 0; ifdef (v) echo(\"3\");\n"
         "ifndef (v) echo(\"4\"); elifndef (w) echo(\"5\"); ifdef (a[]) echo(\"6\"); a = {1}; ifdef (a[]) "
         "echo(\"7\");"
         "</vorn>",
         "2357",
         "",
         0},
        {"ifdef of an element",
         {"-i"},
         "<vorn>v = {1}; ifdef (v[0]) echo(\"x\"); ifndef (v[0]) echo(\"y\"); echo(\"z\");</vorn>",
         "z",
         at(1, "Ifdef (var): <var> can't be an array element") +
             at(1, "Ifndef (var): <var> can't be an array element"),
         0},
        {"for and while",
         {},
         "<vorn>for (i = 0; i < 3; i++) echo(i); for (i = 9; 0; i++) echo(\"never\"); print(i);\n"
         "while (i > 7) { echo(i); i--; } print(\"\");</vorn>",
         "0129\n98\n",
         "",
         0},
        {"foreach with the three forms of loop variable, over a copy of the array",
         {"-i"},
         "<vorn>foreach (v in {1, \"s\", {2, 3}}) print(v);\n"
         "w = {\"a\", \"b\"}; foreach (w[2] in {7, 8}) print(w);\n"
         "foreach (a[] in {{1}, 2}) print(a);\n"
         "l = {1, 2}; foreach (e in l[]) { l = push(l, 9); echo(e); } print(l);\n"
         "foreach (z in \"str\") print(z);</vorn>",
         "1\ns\n{ 2, 3 }\n{ a, b, 7 }\n{ a, b, 8 }\n{ 1 }\n{ 1 }\n12{ 1, 2, 9, 9 }\n",
         at(3, "Can't assign scalar to array value") +
             at(5, "Foreach loops work on arrays as in: foreach (item in array [])"),
         0},
        {"echo and print write arrays in braces",
         {},
         "<vorn>e = {}; echo({1, {2}, \"a\"}); print(e); print(toarray(\"x\"));</vorn>",
         "{ 1, { 2 }, a }{  }\n{ x }\n",
         "",
         0},
    });
}

TEST(VornLanguage, TermAndFileNames) {
    ts::Temp_dir dir;
    char* real = realpath(dir.path().c_str(), nullptr);
    ASSERT_NE(real, nullptr);
    const std::string root = real;
    std::free(real);
    ts::write_file(
        dir / "sub/page.vrn",
        "<vorn>term({1, \"two\"}); print(inputfile() + \"|\" + inputfile(\"p/\") + \"|\" + outputfile() + "
        "\"|\" + outputfile('q/') + \"|\" + absinputfile() + \"|\" + absoutputfile());\n"
        "print(inputfile(3) + \"|\" + outputfile(4));</vorn>");
    ts::Run_result r = ts::run_vorn(dir.path(), {"-i", "-p", "sub/page.vrn", "out/page.html"});
    EXPECT_EQ(r.out, "{ 1, two }\n"); // term writes to the terminal, not into the page
    EXPECT_EQ(r.err, "sub/page.vrn:2: input (prefix): prefix must be a string literal\n"
                     "sub/page.vrn:2: output (prefix): prefix must be a string literal\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ts::read_file(dir / "out/page.html"),
              "sub/page.vrn|p/sub/page.vrn|out/page.html|q/out/page.html|" + root + "/sub/page.vrn|" + root +
                  "/out/page.html\nsub/page.vrn|out/page.html\n");
}

TEST(VornLanguage, RaisedMessagesAndTheirStatus) {
    const std::string warn = "<vorn>echo(\"a\");\nraisewarning(\"careful\", \"c!\"); echo(\"b\");</vorn>";
    const std::string fail = "<vorn>echo(\"a\");\nraiseerror(\"stop\"); echo(\"b\");</vorn>";
    check({
        {"a warning keeps the page", {}, warn, "ab", at(2, "warning: careful"), 0},
        {"a brief warning", {"-b"}, warn, "ab", at(2, "warning: c!"), 0},
        {"-E stops at the warning, no page", {"-E"}, warn, "", at(2, "warning: careful"), 1},
        {"an error stops the run, no page", {}, fail, "", at(2, "stop"), 1},
        {"the short text of an error defaults to the full one", {"-b"}, fail, "", at(2, "stop"), 1},
        {"-i goes on past the error", {"-i"}, fail, "ab", at(2, "stop"), 0},
        {"-q hides the error but not its status", {"-q"}, fail, "", "", 1},
        {"a message must be a string",
         {},
         "<vorn>raisewarning(\"w\", 2);</vorn>",
         "",
         at(1, "raisewarning called with non string expression"),
         1},
    });
}

TEST(VornLanguage, StringBuiltins) {
    check({
        {"results",
         {},
         "<vorn>print(substring(\"abcdef\", 2, 3) + \"|\" + substring(\"abcdef\", 2) + \"|\" + "
         "substring(\"abcdef\", 6) + \"|\");\n"
         "print(find(\"banana\", \"na\") + \" \" + find(\"banana\", \"na\", 3) + \" \" + rfind(\"banana\", "
         "\"na\") + "
         "\" \" + rfind(\"banana\", \"na\", 3) + \" \" + find(\"banana\", \"x\"));\n"
         "print(findfirstof(\"banana\", \"nb\") + \" \" + findfirstnotof(\"banana\", \"ba\") + \" \" + "
         "findlastof(\"banana\", \"b\") + \" \" + findlastnotof(\"banana\", \"a\", nope));\n"
         "print(char(\"abc\", 2) + insert(\"abc\", 0, \"X\") + replaceall(\"aaaa\", \"aa\", \"a\") + "
         "replace(\"abcb\", \"b\", \"[b]\"));\n"
         "print(tokenize(\"a,b,,c\", \",\")); print(join({1, {2}, \"x\"}, \"-\"));\n"
         "print(\"[\" + trim(\" \\t a b \\n\") + \"][\" + ltrim(\"  a \") + \"][\" + rtrim(\"  a \") + "
         "\"]\");\n"
         "print(toupper(\"aBc\") + tolower(\"AbC\") + length(-5) + length({1, 2, 3}) + length(\"abcd\"));\n"
         "print(startswith(\"a\", \"abc\") + \" \" + endswith(\"abc\", \"bc\") + \" \" + startswith(\"x\", "
         "\"\"));"
         "</vorn>",
         "cde|cdef||\n2 4 4 2 -1\n0 2 0 4\ncXabcaaa[b]cb\n{ a, b, , c }\n1-{ 2 }-x\n[a b][a ][  "
         "a]\nABCabc234\n"
         "0 1 1\n",
         "",
         0},
        {"argument errors",
         {"-i"},
         "<vorn>x = substring(\"abc\", \"1\"); x = substring(\"abc\", -1); x = substring(\"abc\", 0, "
         "\"1\");\n"
         "x = substring(\"abc\", 0, -1); x = substring(\"abc\", 4);\n"
         "x = char(\"abc\", 3); x = char(\"\", 0); x = char(\"abc\", -1); x = char(\"abc\", \"1\");\n"
         "x = insert(\"abc\", 3, \"X\"); x = insert(\"abc\", -1, \"X\"); x = insert(\"abc\", \"0\", \"X\");\n"
         "x = join(\"a\", \",\"); x = tokenize(\"abc\", 1); x = find(\"abc\", \"b\", \"0\"); x = trim({1});"
         "</vorn>",
         "",
         at(1, "substring() second parameter must be an integer") +
             at(1, "substring() second parameter can't be negative") +
             at(1, "substring() third parameter must be an integer") +
             at(2, "substring() third  parameter can't be negative") +
             at(2, "substring() third  parameter can't be negative") +
             at(3, "char() index beyond string bounds") + at(3, "char() index beyond string bounds") +
             at(3, "char() negative index not allowed") +
             at(3, "char() second parameter must be an integer") +
             at(4, "insert(): index beyond string bounds") + at(4, "char() negative index not allowed") +
             at(4, "insert() second parameter must be an integer") +
             at(5, "join requires an array as first variable") +
             at(5, "tokenize; Separator must be a string") +
             at(5, "find() third parameter must be an integer") +
             at(5, "Arrays not allowed within this context"),
         0},
        {"a replacement that finds nothing is mentioned only in verbose mode",
         {"-v"},
         "<vorn>print(replace(\"abc\", \"x\", \"y\")); print(replaceall(\"abc\", \"\", missing));</vorn>",
         "abc\nabc\n",
         at(1, "info: replace (); couldn't find x within abc"),
         0},
        {"the same, brief",
         {"-v", "-b"},
         "<vorn>x = replaceall(\"abc\", \"x\", \"y\");</vorn>",
         "",
         at(1, "info: replaceall (); no replacement"),
         0},
    });
}

TEST(VornLanguage, ArrayBuiltins) {
    check({
        {"results; the arrays given are not changed",
         {},
         "<vorn>a = {\"a\", \"b\", \"c\"}; e = {}; print(delete(a, 1)); print(delete(a, 1, 2)); "
         "print(delete(a, 0, 0));\n"
         "print(push(a, {1, 2})); print(push({1, 2}, \"v\", 4)); print(a);\n"
         "print({1, \"a\", e}); print({e}); print({7});\n"
         "print(fill(\"%s-%s\", 1, 2, 3)); print(fill(\"%s-%s\", 7)); print(fill(\"none\", 7));\n"
         "print(delete(a, 3));</vorn>",
         "{ a, c }\n{ a }\n{ a, b, c }\n{ a, b, c, { 1, 2 } }\n{ 1, 2, , , v }\n{ a, b, c }\n{ 1, a, {  } }\n"
         "{ {  } }\n{ 7 }\n1-2\n7-%s\nnone\n{ a, b, c }\n",
         at(5, "warning: Array index out of bound"),
         0},
        {"argument errors",
         {"-i"},
         "<vorn>a = {1}; print(delete(\"s\", 0)); x = delete(a, \"1\"); x = delete(a, -1);\n"
         "x = delete(a, 0, \"1\"); x = delete(a, 0, -1); print(push(1, 2)); print(fill(\"%s\", "
         "{{1}}));</vorn>",
         "-1\n-1\n\n",
         at(1, "delete requires an array as first variable") +
             at(1, "delete requires an int as second variable") + at(1, "array indexes must be > 0") +
             at(2, "delete requires an int as third variable") +
             at(2, "number of elements to delete must be > 0") +
             at(2, "push requires an array as first variable") +
             at(2, "Arrays not allowed within this context"),
         0},
    });
}

TEST(VornLanguage, TypeBlocks) {
    check({
        {"plain text with embedded expressions, lines kept in their place",
         {},
         "<vorn>x = 3; type:<p>@@ x * 2 @@ \\@ \\\\ a\\\nb</p>\n"
         "<i>@@ \"q\" @@</i>\nendtype;</vorn>|",
         "<p>6 @ \\ ab</p>\n<i>q</i>\n|",
         "",
         0},
        {"a block inside a loop runs with the loop",
         {},
         "<vorn>for (i = 0; i < 2; i++) { type:<li>@@ i @@</li>\nendtype; }</vorn>",
         "<li>0</li>\n<li>1</li>\n",
         "",
         0},
        {"a capture appends to a variable, which it defines when missing",
         {},
         "<vorn>T = \"keep \"; type(T):new endtype; print(T);\n"
         "type(U):a @@ 1 + 1 @@ b\nc endtype; print(U);</vorn>",
         "keep new \na 2 b\nc \n",
         "",
         0},
    });
}

// Runs `vorn OPTIONS SOURCE -` in a directory holding the files.
ts::Run_result run_files(const ts::Temp_dir& dir, const std::map<std::string, std::string>& files,
                         std::vector<std::string> args) {
    for (const auto& [name, text] : files)
        ts::write_file(dir / name, text);
    return ts::run_vorn(dir.path(), args);
}

TEST(VornLanguage, IncludeArgumentsAndMessagesInIncludedFiles) {
    // The source lies below the run directory; each included file names the next relative to itself.
    const std::map<std::string, std::string> files = {
        {"site/page.vrn", "<vorn>print(_argc + \" \" + tostring(_argv));\n"
                          "include(\"sub/a.vrn\", \"x\", {2});\n"
                          "print(_argc + \" \" + tostring(_argv));\n"
                          "include(\"sub/a.vrn\");\n"
                          "print(_argc);</vorn>"},
        {"site/sub/a.vrn", "print(\"a \" + _argc + \" \" + tostring(_argv));\n"
                           "include(\"deeper/b.vrn\", \"y\");\n"
                           "print(\"a \" + _argc);\n"},
        {"site/sub/deeper/b.vrn", "print(\"b \" + _argc + \" \" + tostring(_argv) + \" \" + inputfile());\n"
                                  "raisewarning(\"in b\");\n"},
    };
    ts::Temp_dir dir;
    ts::Run_result r = run_files(dir, files, {"site/page.vrn", "-"});
    EXPECT_EQ(r.out, "1 { site/page.vrn }\n"
                     "a 3 { sub/a.vrn, x, { 2 } }\n"
                     "b 2 { deeper/b.vrn, y } site/page.vrn\n"
                     "a 3\n"
                     "1 { site/page.vrn }\n"
                     "a 1 { site/page.vrn }\n"
                     "b 2 { deeper/b.vrn, y } site/page.vrn\n"
                     "a 1\n"
                     "1\n");
    EXPECT_EQ(r.err, "In file included from site/page.vrn:2,\n"
                     "                 from site/sub/a.vrn:2:\n"
                     "site/sub/deeper/b.vrn:2: warning: in b\n"
                     "In file included from site/page.vrn:4,\n"
                     "                 from site/sub/a.vrn:2:\n"
                     "site/sub/deeper/b.vrn:2: warning: in b\n");
    EXPECT_EQ(r.status, 0);
}

TEST(VornLanguage, IncludedHeaderKeepsItsTextInOrder) {
    const std::map<std::string, std::string> files = {
        {"page.vrn", "<vorn>title = \"T\"; include(\"inc/head.vrn\");</vorn>\nbody\n"},
        {"inc/head.vrn", "n = 2;\ntype:<title>@@ title @@</title>\n<p>@@ n @@</p>\nendtype;"},
    };
    ts::Temp_dir dir;
    ts::Run_result r = run_files(dir, files, {"page.vrn", "-"});
    EXPECT_EQ(r.out, "<title>T</title>\n<p>2</p>\n\nbody\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
}

TEST(VornLanguage, FailedRunsAndTheirPages) {
    struct Row {
        const char* what;
        std::vector<std::string> options;
        std::string source;
        std::string err;
        int status;
        std::string page; // page.html afterwards
    };
    const std::string old_page = "old page\n";
    const Row rows[] = {
        {"a syntax error leaves the old page",
         {},
         "<vorn>echo(\"a\");\nx = ;</vorn>",
         at(2, "syntax error before `;'"),
         1,
         old_page},
        {"an error leaves the old page",
         {},
         "<vorn>echo(\"a\"); x = 1 - \"s\"; echo(\"b\");</vorn>",
         at(1, "operator -; second operand has bad type"),
         1,
         old_page},
        {"-i writes the page after an error",
         {"-i"},
         "<vorn>echo(\"a\"); x = 1 - \"s\"; echo(\"b\");</vorn>",
         at(1, "operator -; second operand has bad type"),
         0,
         "ab"},
        {"-i writes what came before a syntax error",
         {"-i"},
         "<vorn>echo(\"a\");\nx = ;</vorn>",
         at(2, "syntax error before `;'"),
         0,
         "a"},
        {"-E stops at a warning",
         {"-E"},
         "<vorn>echo(\"a\");\nx = missing; echo(\"b\");</vorn>",
         at(2, "warning: variable `missing' not defined"),
         1,
         old_page},
        {"a warning alone writes the page",
         {},
         "<vorn>echo(\"a\");\nx = missing; echo(\"b\");</vorn>",
         at(2, "warning: variable `missing' not defined"),
         0,
         "ab"},
    };
    for (const Row& row : rows) {
        ts::Temp_dir dir;
        ts::write_file(dir / "page.vrn", row.source);
        ts::write_file(dir / "page.html", old_page);
        std::vector<std::string> args = row.options;
        args.push_back("page.vrn");
        args.push_back("page.html");
        ts::Run_result r = ts::run_vorn(dir.path(), args);
        EXPECT_EQ(r.out, "") << row.what;
        EXPECT_EQ(r.err, row.err) << row.what;
        EXPECT_EQ(r.status, row.status) << row.what;
        // Nothing else is left behind: no temporary file beside the page.
        std::map<std::string, std::string> expected = {{"page.vrn", row.source}, {"page.html", row.page}};
        EXPECT_EQ(ts::read_tree(dir.path()), expected) << row.what;
    }
}

TEST(VornLanguage, SyntaxErrorInsideAnIncludedFile) {
    ts::Temp_dir dir;
    ts::Run_result r = run_files(
        dir, {{"page.vrn", "<vorn>\ninclude(\"inc/bad.vrn\");</vorn>"}, {"inc/bad.vrn", "x = 1;\ny = (;\n"}},
        {"page.vrn", "-"});
    EXPECT_EQ(r.err, "In file included from page.vrn:2:\ninc/bad.vrn:2: syntax error before `;'\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 1);
}

} // namespace
