/* The grammar of Vorn sources.  The actions only build nodes and hand each one to the current store the
   moment it exists (the dependency store asks it for its dependencies there and then), hand every completed
   top-level statement to the store (on_statement_complete), keep the text-capture state of type blocks, and
   start inclusions.  The parser is pure: it runs for a source scan (lang/frontend/parser.h), whose state
   the actions reach through `scan`.

   Assignment targets.  An assignment needs a variable to assign to.  Where a name is needed -- the target of
   "=", of "= {}" and of the compound assignments (whose left side the grammar lets be any expression, as in
   "3 += 4" or "(a + b)[1] += 2"), the variable of "undef", the operand of a postfix "++"/"--", an element of
   something that is no variable under a prefix "++"/"--", and the loop variable of "foreach" -- a target
   that is not a variable reference, or that indexes an expression that is not one ((a + b)[1], f(x)[2][3]),
   is refused here, when the node is built, with the error "can't assign to an expression that is not a
   variable" ("can't undef an expression that is not a variable" for undef).  When errors are ignored the
   statement still yields a node, without the assignment: the value expression (for a compound assignment
   the combined value, e.g. 3 + 4), the integer 0 for undef and "= {}", the element's value for "++"/"--",
   an empty statement for foreach.  A prefix "++e" where e is no variable reference at all, such as "++3",
   is left to the increment itself, which reports "++ can only apply to variables" when it runs.

   The %token list below, the keyword rules of source_scanner.l and the scanner tests name the same
   keywords: change them together. */

%code top {
#include <cstring>

// The state and value stacks start with 200 entries and double up to 10000.  Their blocks are tracked by the
// parse's values (the parser runs for a Source_scan, `scan`), so that a parse unwound by the end of the run
// (in tests) leaves nothing behind.
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
#define YYMALLOC(size) scan.values.stack_alloc(size)
#define YYFREE(block) scan.values.stack_free(block)

// A full stack is reported like a syntax error, as "yacc stack overflow".
static const char* parser_text(const char* message) {
    return std::strcmp(message, "memory exhausted") == 0 ? "yacc stack overflow" : message;
}
#define YY_(Msgid) parser_text(Msgid)
}

%code requires {
#include <string>
class Node;
class Gen_type;
class Source_scan;
namespace parse_values {
struct Name;
struct Value;
} // namespace parse_values
#ifndef YY_TYPEDEF_YY_SCANNER_T
#define YY_TYPEDEF_YY_SCANNER_T
typedef void* yyscan_t;
#endif
}

%code provides {
// The scanner's entry point (source_scanner.l).
int vsrclex(VSRCSTYPE* lval, yyscan_t scanner);
}

%code {
#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/eval_context.h"
#include "lang/frontend/grammar_support.h"
#include "lang/frontend/parser.h"
#include "lang/frontend/scanner.h"
#include "lang/nodes/array_builtins.h"
#include "lang/nodes/commands.h"
#include "lang/nodes/expressions.h"
#include "lang/nodes/file_builtins.h"
#include "lang/nodes/statements.h"
#include "lang/nodes/string_builtins.h"

void vsrcerror(yyscan_t scanner, Source_scan& scan, const char* message);

namespace {

// Every node built is tracked by the parse's values until a parent or the store takes it over.
Node* reg(Source_scan& scan, Node* node) { return scan.values.reg(*scan.store(), node); }
Node_ptr take(Source_scan& scan, Node* node) { return scan.values.take(node); }

// An argument of a node being built: a node is taken over by it, anything else passed on as it is.
template <class T> T&& pass(Source_scan&, T&& argument) { return std::forward<T>(argument); }
Node_ptr pass(Source_scan& scan, Node* node) { return take(scan, node); }

// A new node of class Op, registered; it takes over the nodes among its arguments.
template <class Op, class... Args> Node* build(Source_scan& scan, Args&&... arguments) {
    return reg(scan, new Op(pass(scan, std::forward<Args>(arguments))...));
}

std::string name_of(Source_scan& scan, parse_values::Name* name) { return scan.values.take_name(name); }
Gen_type value_of(Source_scan& scan, parse_values::Value* value) { return scan.values.take_value(value); }

// The name of the variable an element reference lies in, kept in the outer reference for readability (the
// name of a form I reference is always asked of its inner reference).
std::string inner_name(Node* inner) {
    auto* var = dynamic_cast<N_base_var*>(inner);
    return var ? var->name() : std::string();
}

bool names_a_variable(Node* node) {
    auto* var = dynamic_cast<N_base_var*>(node);
    return var && var->names_variable();
}

const char* const not_assignable = "can't assign to an expression that is not a variable";

Node* assign(Source_scan& scan, Node* target, Node* value) {
    if (!names_a_variable(target)) {
        scan.reporter().error(not_assignable);
        scan.values.discard(target);
        return value;
    }
    return build<N_assign>(scan, target, value);
}

Node* assign_empty_array(Source_scan& scan, Node* target) {
    if (!names_a_variable(target)) {
        scan.reporter().error(not_assignable);
        scan.values.discard(target);
        return build<N_const>(scan, Gen_type(0));
    }
    return build<N_empty_array>(scan, target);
}

// target op= value: the combining node owns the target, which the assignment shares.
template <class Op> Node* compound(Source_scan& scan, Node* target, Node* value) {
    if (!names_a_variable(target)) {
        scan.reporter().error(not_assignable);
        return build<Op>(scan, target, value);
    }
    Node* combine = build<Op>(scan, target, value);
    return reg(scan, new N_assign_rec(target, take(scan, combine)));
}

Node* undef(Source_scan& scan, Node* target) {
    if (!names_a_variable(target)) {
        scan.reporter().error("can't undef an expression that is not a variable");
        scan.values.discard(target);
        return build<N_const>(scan, Gen_type(0));
    }
    return build<N_undef>(scan, target);
}

Node* postfix(Source_scan& scan, Node* target, int32_t step) {
    if (!names_a_variable(target)) {
        scan.reporter().error(not_assignable);
        return target;
    }
    return build<N_epp>(scan, target, step, true);
}

Node* prefix(Source_scan& scan, Node* operand, int32_t step) {
    if (operand->is_variable() && !names_a_variable(operand)) {
        scan.reporter().error(not_assignable);
        return operand;
    }
    return build<N_epp>(scan, operand, step, false);
}

Node* foreach(Source_scan& scan, Node* var, Node* collection, Node* body) {
    if (!names_a_variable(var)) {
        scan.reporter().error(not_assignable);
        scan.values.discard(var);
        scan.values.discard(collection);
        scan.values.discard(body);
        return build<N_empty>(scan);
    }
    return build<N_foreach>(scan, var, collection, body);
}

// Inside a type block: NAME = NAME + value.
Node* append_to_capture(Source_scan& scan, Node* value) {
    Node* target = build<N_var>(scan, scan.capture.name, Var_form::variable);
    Node* current = build<N_var>(scan, scan.capture.name, Var_form::variable);
    Node* sum = build<N_plus>(scan, current, value);
    return build<N_assign>(scan, target, sum);
}

Node* output(Source_scan& scan, Node* value) {
    return scan.capture.capturing ? append_to_capture(scan, value) : build<N_echo>(scan, value);
}

// "type(NAME):" starts capturing: NAME = "" unless NAME exists.
Node* start_capture(Source_scan& scan, parse_values::Name* name) {
    scan.capture.name = name_of(scan, name);
    scan.capture.capturing = true;
    Node* target = build<N_var>(scan, scan.capture.name, Var_form::variable);
    Node* empty = build<N_const>(scan, Gen_type(""));
    return build<N_assign>(scan, target, empty, true);
}

void end_capture(Source_scan& scan) {
    scan.capture.capturing = false;
    scan.capture.name.clear();
}

// The file of an inclusion is read as part of the token stream: the scanner switches to it, and its end
// yields T_INCLUDE_END and the "}" that closes the block the scanner opened for "include".  The store
// decides whether the file is read (Eval_context::on_include); when it is not, the block is closed at once.
class Inclusion : public Include_reader {
public:
    Inclusion(Source_scan& scan, Include_point at) : scan_(scan), at_(at) {}
    bool read(const std::string& path) override {
        Reporter& r = scan_.reporter();
        r.save_location();
        if (push_include(scan_, path, at_) == 0)
            return true;
        r.restore_location();
        return false;
    }
    bool opens(const std::string& path) override { return scan_.includes.opens_for_reading(path); }

private:
    Source_scan& scan_;
    Include_point at_;
};

void include_file(Source_scan& scan, Node* name_expr, Include_point at) {
    const Gen_type name = name_expr->exec();
    Inclusion inclusion(scan, at);
    if (!scan.store()->on_include(name, inclusion))
        put_back_token(scan, '}', "}");
}

Node* include(Source_scan& scan, Node* file, Node* arguments, Include_point at) {
    Node* node = arguments ? build<N_arg_include>(scan, file, arguments)
                           : build<N_include>(scan, file);
    include_file(scan, static_cast<N_dep*>(node)->file(), at);
    return node;
}

} // namespace

/* Heights on the generated parser's own stack, read in an action (yyss: its bottom, yyssp: its top, yylen:
   the length of the rule being reduced).  The "{" that the scanner puts before an inclusion takes the parser
   to a state at some height; the included file's end is a statement at the height two above it exactly when
   the file's text was parsed as whole statements within that block, and only then is the file made again
   from its record elsewhere (lang/frontend/include_memo.h). */
#define STACK_HEIGHT() static_cast<long>(yyssp - yyss)
/* In the action of an inclusion: the block opened right before the rule's symbols (none when "_include" is
   written out in full, with no "{" before it). */
#define INCLUDE_POINT()                                                                                      \
    (YY_ACCESSING_SYMBOL(yyssp[-yylen]) == YYTRANSLATE('{')                                                  \
         ? Include_point{STACK_HEIGHT() - yylen, yyssp[-yylen]}                                              \
         : Include_point())
}

%define api.prefix {vsrc}
%define api.pure full
%lex-param {yyscan_t scanner}
%parse-param {yyscan_t scanner} {Source_scan& scan}
%define parse.error simple
%token-table
%expect 6

%union {
    Node* node;
    parse_values::Name* name;
    parse_values::Value* value;
}

%destructor { scan.values.discard($$); } <node> <name> <value>

%token T_UNDEF T_VERBATIM T_INCLUDE_FILE T_ECHO T_PRINT T_CMD T_EVALCMD T_EXEC T_EVALEXEC
%token T_TOBOOL T_TOINT T_TOSTRING T_TOARRAY T_ISINT T_ISSTRING T_ISARRAY
%token T_IF T_ELIF T_IFDEF T_ELIFDEF T_IFNDEF T_ELIFNDEF T_ELSE T_FOR T_FOREACH T_WHILE T_IN
%token T_DATE T_FDATE T_FSIZE T_LINKADJUST T_INPUTFILE T_ABSINPUTFILE T_OUTPUTFILE T_ABSOUTPUTFILE
%token T_SUBSTRING T_FIND T_FINDFIRSTOF T_FINDLASTOF T_FINDFIRSTNOTOF T_FINDLASTNOTOF T_RFIND T_CHAR
%token T_INSERT T_REPLACE T_REPLACEALL T_TRIM T_LTRIM T_RTRIM T_STARTSWITH T_ENDSWITH T_TOLOWER T_TOUPPER
%token T_LENGTH T_RAISEERROR T_RAISEWARNING T_TERM T_TOKENIZE T_JOIN T_DELETE T_PUSH T_RANDOM
%token T_FILEEXISTS T_FILL
%token T_GE T_LE T_EQ T_W_EQ T_NEQ T_W_NEQ T_AND T_OR T_POW T_INC T_DEC
%token T_PLUS_ASSIGN T_MINUS_ASSIGN T_TIMES_ASSIGN T_DIV_ASSIGN T_MOD_ASSIGN T_POW_ASSIGN
%token T_TAG_END T_INCLUDE_END T_TYPE_END T_EMBED
%token <value> T_CONSTANT T_TEXT
%token <name> T_IDENT T_TYPE_NAME

/* Lowest first.  "=" is not an operator of an expression (its left side is a variable), but giving it the
   lowest level says what its form already implies: its right side is a whole expression. */
%precedence '='
%right T_PLUS_ASSIGN T_MINUS_ASSIGN T_TIMES_ASSIGN T_DIV_ASSIGN T_MOD_ASSIGN T_POW_ASSIGN
%left T_OR
%left T_AND
%left T_EQ T_W_EQ T_NEQ T_W_NEQ
%left '>' '<' T_GE T_LE
%left '+' '-'
%left '*' '/' '%'
%left T_POW
%precedence UMINUS '!' T_INC T_DEC
/* A variable followed by "[" is indexed, not read whole: a[1] is one element reference (form i), a[1][2]
   an element of an element (form I). */
%precedence NO_INDEX
%precedence '['

%type <node> stmt stmt_list expr lvalue element list
%type <node> if_chain if_head elif_part ifdef_chain ifdef_head elifdef_part ifndef_chain ifndef_head
%type <node> elifndef_part

%start program

%%

program:
    %empty
  | program stmt                { scan.values.hand_over($2); scan.store()->on_statement_complete(); }
  ;

stmt:
    ';'                         { $$ = build<N_empty>(scan); }
  | T_TAG_END                   { $$ = build<N_end>(scan); }
  | T_INCLUDE_END               {
                                    $$ = build<N_eof>(scan);
                                    scan.includes.memo().parsed_end(STACK_HEIGHT(), scan.reporter().messages());
                                }
  | T_TYPE_END                  { $$ = build<N_empty>(scan); end_capture(scan); }
  | expr ';'
  | T_UNDEF '(' lvalue ')' ';'  { $$ = undef(scan, $3); }
  | T_TEXT                      { $$ = output(scan, build<N_const>(scan, value_of(scan, $1))); }
  | T_TYPE_NAME                 { $$ = start_capture(scan, $1); }
  | T_EMBED expr ';'            { $$ = output(scan, $2); }
  | T_VERBATIM '(' expr ')' ';' { $$ = build<N_verbatim>(scan, $3); }
    /* The action runs as soon as ";" is read, before the next token: the included file's tokens come next. */
  | T_INCLUDE_FILE '(' expr ')' ';'             { $$ = include(scan, $3, nullptr, INCLUDE_POINT()); }
  | T_INCLUDE_FILE '(' expr ',' list ')' ';'    { $$ = include(scan, $3, $5, INCLUDE_POINT()); }
  | if_chain
  | if_chain T_ELSE stmt        { $$ = build<N_if_else>(scan, $1, $3); }
  | ifdef_chain
  | ifdef_chain T_ELSE stmt     { $$ = build<N_if_else>(scan, $1, $3); }
  | ifndef_chain
  | ifndef_chain T_ELSE stmt    { $$ = build<N_if_else>(scan, $1, $3); }
  | '{' stmt_list '}'           { $$ = $2; scan.includes.memo().block_closed(STACK_HEIGHT() - 2); }
  | T_FOR '(' expr ';' expr ';' expr ')' stmt
                                { $$ = build<N_for>(scan, $3, $5, $7, $9); }
  | T_WHILE '(' expr ')' stmt   { $$ = build<N_while>(scan, $3, $5); }
  | T_FOREACH '(' lvalue T_IN expr ')' stmt
                                { $$ = foreach(scan, $3, $5, $7); }
  ;

stmt_list:
    stmt
  | stmt_list stmt              { $$ = build<N_stmt>(scan, $1, $2); }
  ;

expr:
    T_CONSTANT                  { $$ = build<N_const>(scan, value_of(scan, $1)); }
  | '(' expr ')'                { $$ = $2; }
  | lvalue
  | lvalue '=' expr             { $$ = assign(scan, $1, $3); }
  | lvalue '=' '{' '}'          { $$ = assign_empty_array(scan, $1); }
  | '-' expr %prec UMINUS       { $$ = build<N_uminus>(scan, $2); }
  | expr '>' expr               { $$ = build<N_gt>(scan, $1, $3); }
  | expr '<' expr               { $$ = build<N_lt>(scan, $1, $3); }
  | expr T_GE expr              { $$ = build<N_ge>(scan, $1, $3); }
  | expr T_LE expr              { $$ = build<N_le>(scan, $1, $3); }
  | expr '+' expr               { $$ = build<N_plus>(scan, $1, $3); }
  | expr '-' expr               { $$ = build<N_minus>(scan, $1, $3); }
  | expr '*' expr               { $$ = build<N_times>(scan, $1, $3); }
  | expr '/' expr               { $$ = build<N_div>(scan, $1, $3); }
  | expr '%' expr               { $$ = build<N_mod>(scan, $1, $3); }
  | expr T_POW expr             { $$ = build<N_pow>(scan, $1, $3); }
  | lvalue T_INC                { $$ = postfix(scan, $1, 1); }
  | lvalue T_DEC                { $$ = postfix(scan, $1, -1); }
  | T_INC expr                  { $$ = prefix(scan, $2, 1); }
  | T_DEC expr                  { $$ = prefix(scan, $2, -1); }
  | expr T_PLUS_ASSIGN expr     { $$ = compound<N_plus>(scan, $1, $3); }
  | expr T_MINUS_ASSIGN expr    { $$ = compound<N_minus>(scan, $1, $3); }
  | expr T_TIMES_ASSIGN expr    { $$ = compound<N_times>(scan, $1, $3); }
  | expr T_DIV_ASSIGN expr      { $$ = compound<N_div>(scan, $1, $3); }
  | expr T_MOD_ASSIGN expr      { $$ = compound<N_mod>(scan, $1, $3); }
  | expr T_POW_ASSIGN expr      { $$ = compound<N_pow>(scan, $1, $3); }
  | '!' expr                    { $$ = build<N_not>(scan, $2); }
  | expr T_EQ expr              { $$ = build<N_eq>(scan, $1, $3); }
  | expr T_W_EQ expr            { $$ = build<N_w_eq>(scan, $1, $3); }
  | expr T_NEQ expr             { $$ = build<N_neq>(scan, $1, $3); }
  | expr T_W_NEQ expr           { $$ = build<N_w_neq>(scan, $1, $3); }
  | expr T_AND expr             { $$ = build<N_and>(scan, $1, $3); }
  | expr T_OR expr              { $$ = build<N_or>(scan, $1, $3); }
  | '{' list '}'                { $$ = build<N_fix_list>(scan, $2); }
  | T_ECHO '(' expr ')'         { $$ = build<N_echo>(scan, $3); }
  | T_PRINT '(' expr ')'        { $$ = build<N_print>(scan, $3); }
  | T_DATE '(' expr ')'         { $$ = build<N_date>(scan, $3); }
  | T_FDATE '(' expr ',' expr ')'
                                { $$ = build<N_fdate>(scan, $3, $5); }
  | T_FSIZE '(' expr ',' expr ')'
                                { $$ = build<N_fsize>(scan, $3, $5); }
  | T_LINKADJUST '(' ')'        { $$ = build<N_adj_link>(scan); }
  | T_INPUTFILE '(' ')'         { $$ = build<N_input>(scan, scan.reporter(), nullptr); }
  | T_INPUTFILE '(' T_CONSTANT ')'
                                {
                                    Gen_type prefix = value_of(scan, $3);
                                    $$ = build<N_input>(scan, scan.reporter(), &prefix);
                                }
  | T_ABSINPUTFILE '(' ')'      { $$ = build<N_abs_input>(scan); }
  | T_OUTPUTFILE '(' ')'        { $$ = build<N_output>(scan, scan.reporter(), nullptr); }
  | T_OUTPUTFILE '(' T_CONSTANT ')'
                                {
                                    Gen_type prefix = value_of(scan, $3);
                                    $$ = build<N_output>(scan, scan.reporter(), &prefix);
                                }
  | T_ABSOUTPUTFILE '(' ')'     { $$ = build<N_abs_output>(scan); }
  | T_SUBSTRING '(' expr ',' expr ')'
                                { $$ = build<N_substr>(scan, $3, $5); }
  | T_SUBSTRING '(' expr ',' expr ',' expr ')'
                                { $$ = build<N_substr>(scan, $3, $5, $7); }
  | T_FIND '(' expr ',' expr ')'
                                { $$ = build<N_find>(scan, $3, $5, nullptr, false); }
  | T_FIND '(' expr ',' expr ',' expr ')'
                                { $$ = build<N_find>(scan, $3, $5, $7, false); }
  | T_FINDFIRSTOF '(' expr ',' expr ')'
                                { $$ = build<N_find_match>(scan, $3, $5, false, false); }
  | T_FINDLASTOF '(' expr ',' expr ')'
                                { $$ = build<N_find_match>(scan, $3, $5, true, false); }
  | T_FINDFIRSTNOTOF '(' expr ',' expr ')'
                                { $$ = build<N_find_match>(scan, $3, $5, false, true); }
    /* findlastnotof takes a third argument, parsed (and registered) but never used. */
  | T_FINDLASTNOTOF '(' expr ',' expr ',' expr ')'
                                {
                                    scan.values.discard($7);
                                    $$ = build<N_find_match>(scan, $3, $5, true, true);
                                }
  | T_RFIND '(' expr ',' expr ')'
                                { $$ = build<N_find>(scan, $3, $5, nullptr, true); }
  | T_RFIND '(' expr ',' expr ',' expr ')'
                                { $$ = build<N_find>(scan, $3, $5, $7, true); }
  | T_CHAR '(' expr ',' expr ')'
                                { $$ = build<N_char>(scan, $3, $5); }
  | T_STARTSWITH '(' expr ',' expr ')'
                                { $$ = build<N_startswith>(scan, $3, $5); }
  | T_ENDSWITH '(' expr ',' expr ')'
                                { $$ = build<N_endswith>(scan, $3, $5); }
  | T_INSERT '(' expr ',' expr ',' expr ')'
                                { $$ = build<N_insert>(scan, $3, $5, $7); }
  | T_REPLACE '(' expr ',' expr ',' expr ')'
                                { $$ = build<N_replace>(scan, $3, $5, $7, false); }
  | T_REPLACEALL '(' expr ',' expr ',' expr ')'
                                { $$ = build<N_replace>(scan, $3, $5, $7, true); }
  | T_TRIM '(' expr ')'         { $$ = build<N_trim>(scan, $3); }
  | T_LTRIM '(' expr ')'        { $$ = build<N_ltrim>(scan, $3); }
  | T_RTRIM '(' expr ')'        { $$ = build<N_rtrim>(scan, $3); }
  | T_TOLOWER '(' expr ')'      { $$ = build<N_ch_case>(scan, $3, true); }
  | T_TOUPPER '(' expr ')'      { $$ = build<N_ch_case>(scan, $3, false); }
  | T_LENGTH '(' expr ')'       { $$ = build<N_length>(scan, $3); }
  | T_RAISEERROR '(' expr ')'   { $$ = build<N_raiseerr>(scan, $3, nullptr); }
  | T_RAISEERROR '(' expr ',' expr ')'
                                { $$ = build<N_raiseerr>(scan, $3, $5); }
  | T_RAISEWARNING '(' expr ')' { $$ = build<N_raisewarn>(scan, $3, nullptr); }
  | T_RAISEWARNING '(' expr ',' expr ')'
                                { $$ = build<N_raisewarn>(scan, $3, $5); }
  | T_TERM '(' expr ')'         { $$ = build<N_term>(scan, $3); }
  | T_CMD '(' expr ')'          { $$ = build<N_cmd>(scan, $3, false); }
  | T_EVALCMD '(' expr ')'      { $$ = build<N_cmd>(scan, $3, true); }
  | T_EXEC '(' expr ')'         { $$ = build<N_exec>(scan, $3, nullptr, false); }
  | T_EVALEXEC '(' expr ')'     { $$ = build<N_exec>(scan, $3, nullptr, true); }
  | T_EXEC '(' expr ',' list ')'
                                { $$ = build<N_exec>(scan, $3, $5, false); }
  | T_EVALEXEC '(' expr ',' list ')'
                                { $$ = build<N_exec>(scan, $3, $5, true); }
  | T_TOBOOL '(' expr ')'       { $$ = build<N_tobool>(scan, $3); }
  | T_TOINT '(' expr ')'        { $$ = build<N_toint>(scan, $3); }
  | T_TOSTRING '(' expr ')'     { $$ = build<N_tostring>(scan, $3); }
  | T_TOARRAY '(' expr ')'      { $$ = build<N_toarray>(scan, $3); }
  | T_ISINT '(' expr ')'        { $$ = build<N_isint>(scan, $3); }
  | T_ISSTRING '(' expr ')'     { $$ = build<N_isstring>(scan, $3); }
  | T_ISARRAY '(' expr ')'      { $$ = build<N_isarray>(scan, $3); }
  | T_TOKENIZE '(' expr ',' expr ')'
                                { $$ = build<N_tok>(scan, $3, $5); }
  | T_JOIN '(' expr ',' expr ')'
                                { $$ = build<N_join>(scan, $3, $5); }
  | T_DELETE '(' expr ',' expr ')'
                                { $$ = build<N_del>(scan, $3, $5); }
  | T_DELETE '(' expr ',' expr ',' expr ')'
                                { $$ = build<N_del>(scan, $3, $5, $7); }
  | T_PUSH '(' expr ',' expr ')'
                                { $$ = build<N_push>(scan, $3, $5); }
  | T_PUSH '(' expr ',' expr ',' expr ')'
                                { $$ = build<N_push>(scan, $3, $5, $7); }
  | T_RANDOM '(' expr ',' expr ')'
                                { $$ = build<N_random>(scan, $3, $5); }
  | T_FILEEXISTS '(' expr ')'   { $$ = build<N_fileexists>(scan, $3); }
  | T_FILL '(' expr ',' list ')'
                                { $$ = build<N_fill>(scan, $3, $5); }
  ;

/* An else, and an elif of the chain's own kind, belongs to the nearest open chain (the expected
   shift/reduce conflicts, two per kind of chain).  A branch of another kind cannot continue a chain. */
if_chain:
    if_head
  | if_chain elif_part          { $$ = build<N_cond_seq>(scan, $1, $2); }
  ;
if_head:
    T_IF '(' expr ')' stmt      { $$ = build<N_if>(scan, $3, $5); }
  ;
elif_part:
    T_ELIF '(' expr ')' stmt    { $$ = build<N_if>(scan, $3, $5); }
  ;
ifdef_chain:
    ifdef_head
  | ifdef_chain elifdef_part    { $$ = build<N_cond_seq>(scan, $1, $2); }
  ;
ifdef_head:
    T_IFDEF '(' lvalue ')' stmt { $$ = build<N_ifdef>(scan, $3, $5); }
  ;
elifdef_part:
    T_ELIFDEF '(' lvalue ')' stmt
                                { $$ = build<N_ifdef>(scan, $3, $5); }
  ;
ifndef_chain:
    ifndef_head
  | ifndef_chain elifndef_part  { $$ = build<N_cond_seq>(scan, $1, $2); }
  ;
ifndef_head:
    T_IFNDEF '(' lvalue ')' stmt
                                { $$ = build<N_ifndef>(scan, $3, $5); }
  ;
elifndef_part:
    T_ELIFNDEF '(' lvalue ')' stmt
                                { $$ = build<N_ifndef>(scan, $3, $5); }
  ;

lvalue:
    T_IDENT %prec NO_INDEX      { $$ = build<N_var>(scan, name_of(scan, $1), Var_form::variable); }
  | '$' '(' expr ')' %prec NO_INDEX
                                { $$ = build<N_ind_expr>(scan, $3, Var_form::variable); }
  | T_IDENT '[' ']'             { $$ = build<N_var>(scan, name_of(scan, $1), Var_form::array); }
  | '$' '(' expr ')' '[' ']'    { $$ = build<N_ind_expr>(scan, $3, Var_form::array); }
  | element %prec NO_INDEX
  ;

element:
    T_IDENT '[' expr ']'        {
                                    std::string name = name_of(scan, $1);
                                    $$ = build<N_var>(scan, std::move(name), Var_form::element, nullptr, $3);
                                }
  | expr '[' expr ']'           { $$ = build<N_var>(scan, inner_name($1), Var_form::nested_element, $1, $3); }
  | '$' '(' expr ')' '[' expr ']'
                                { $$ = build<N_ind_expr>(scan, $3, Var_form::element, $6); }
  | element '[' expr ']'        { $$ = build<N_var>(scan, inner_name($1), Var_form::nested_element, $1, $3); }
  ;

list:
    expr
  | list ',' expr               { $$ = build<N_list>(scan, $1, $3); }
  ;

%%

void vsrcerror(yyscan_t, Source_scan& scan, const char* message) {
    std::string text = message;
    if (!last_token_matched(scan)) {
        scan.reporter().error(text);
        return;
    }
    // Named by its first line, at the line where it began.
    const std::string& token = last_token_text(scan);
    auto lines = static_cast<int32_t>(std::count(token.begin(), token.end(), '\n'));
    scan.reporter().error_at(lines, text + " before `" + token.substr(0, token.find('\n')) + "'");
}

const char* token_name(int code) { return yytname[YYTRANSLATE(code)]; }

int grammar_parse(Source_scan& scan) { return yyparse(scan.flex, scan); }
