/* The grammar of Vorn sources.  The actions only build nodes and hand each one to the current store the
   moment it exists (the dependency store asks it for its dependencies there and then), hand every completed
   top-level statement to the store (complete_statement), keep the text-capture state of type blocks, and start inclusions.

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
#include <cstddef>
#include <cstring>

namespace parse_values {
void* stack_alloc(std::size_t size);
void stack_free(void* block);
} // namespace parse_values

// The state and value stacks start with 200 entries and double up to 10000.  Their blocks are tracked, so
// that a parse unwound by the end of the run (in tests) leaves nothing behind.
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
#define YYMALLOC parse_values::stack_alloc
#define YYFREE parse_values::stack_free

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
namespace parse_values {
struct Name;
struct Value;
} // namespace parse_values
}

%{
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

#include "base/paths.h"
#include "diag/reporter.h"
#include "lang/eval/dependency_collector.h"
#include "lang/eval/eval_context.h"
#include "lang/frontend/grammar_support.h"
#include "lang/frontend/include_levels.h"
#include "lang/frontend/include_memo.h"
#include "lang/frontend/parse_values.h"
#include "lang/frontend/scanner.h"
#include "lang/nodes/array_builtins.h"
#include "lang/nodes/commands.h"
#include "lang/nodes/expressions.h"
#include "lang/nodes/file_builtins.h"
#include "lang/nodes/statements.h"
#include "lang/nodes/string_builtins.h"

int yylex();
void yyerror(const char* message);

namespace {

using parse_values::reg;
using parse_values::take;

// The text-capture state of a "type(NAME):" block.
bool capturing = false;
std::string capture_name;

std::string name_of(parse_values::Name* name) { return parse_values::take_name(name); }
Gen_type value_of(parse_values::Value* value) { return parse_values::take_value(value); }

template <class Op> Node* binary(Node* left, Node* right) { return reg(new Op(take(left), take(right))); }

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

Node* assign(Node* target, Node* value) {
    if (!names_a_variable(target)) {
        reporter().error(not_assignable);
        parse_values::discard(target);
        return value;
    }
    return reg(new N_assign(take(target), take(value)));
}

Node* assign_empty_array(Node* target) {
    if (!names_a_variable(target)) {
        reporter().error(not_assignable);
        parse_values::discard(target);
        return reg(new N_const(Gen_type(0)));
    }
    return reg(new N_empty_array(take(target)));
}

// target op= value: the combining node owns the target, which the assignment shares.
template <class Op> Node* compound(Node* target, Node* value) {
    if (!names_a_variable(target)) {
        reporter().error(not_assignable);
        return binary<Op>(target, value);
    }
    Node* combine = binary<Op>(target, value);
    return reg(new N_assign_rec(target, take(combine)));
}

Node* undef(Node* target) {
    if (!names_a_variable(target)) {
        reporter().error("can't undef an expression that is not a variable");
        parse_values::discard(target);
        return reg(new N_const(Gen_type(0)));
    }
    return reg(new N_undef(take(target)));
}

Node* postfix(Node* target, int32_t step) {
    if (!names_a_variable(target)) {
        reporter().error(not_assignable);
        return target;
    }
    return reg(new N_epp(take(target), step, true));
}

Node* prefix(Node* operand, int32_t step) {
    if (operand->is_variable() && !names_a_variable(operand)) {
        reporter().error(not_assignable);
        return operand;
    }
    return reg(new N_epp(take(operand), step, false));
}

Node* foreach(Node* var, Node* collection, Node* body) {
    if (!names_a_variable(var)) {
        reporter().error(not_assignable);
        parse_values::discard(var);
        parse_values::discard(collection);
        parse_values::discard(body);
        return reg(new N_empty());
    }
    return reg(new N_foreach(take(var), take(collection), take(body)));
}

// Inside a type block: NAME = NAME + value.
Node* append_to_capture(Node* value) {
    Node* target = reg(new N_var(capture_name, Var_form::variable));
    Node* current = reg(new N_var(capture_name, Var_form::variable));
    Node* sum = binary<N_plus>(current, value);
    return reg(new N_assign(take(target), take(sum)));
}

Node* output(Node* value) {
    return capturing ? append_to_capture(value) : reg(new N_echo(take(value)));
}

// "type(NAME):" starts capturing: NAME = "" unless NAME exists.
Node* start_capture(parse_values::Name* name) {
    capture_name = name_of(name);
    capturing = true;
    Node* target = reg(new N_var(capture_name, Var_form::variable));
    Node* empty = reg(new N_const(Gen_type("")));
    return reg(new N_assign(take(target), take(empty), true));
}

void end_capture() {
    capturing = false;
    capture_name.clear();
}

// The file of an inclusion is read as part of the token stream: the scanner switches to it, and its end
// yields T_INCLUDE_END and the "}" that closes the block the scanner opened for "include".  In fast mode the
// dependency store does not read it; it only has to exist.
void include_file(Node* name_expr, Include_point at) {
    Reporter& r = reporter();
    const Gen_type name = name_expr->exec();
    // The generator runs no statement: a name taken from a variable that the page sets as it runs is
    // undefined here.  That inclusion is not followed (the page was warned about its name already); the
    // page itself is still scanned to its end.
    if (!g_store->is_exec() && !name.is_string()) {
        put_back_token('}', "}");
        return;
    }
    const std::string& path = name.get_string();
    if (g_store->is_exec() || g_store->full_mode()) {
        r.save_location();
        if (push_include(path, at) == 0) {
            if (g_store->full_mode())
                if (auto* store = dynamic_cast<Dependency_collector*>(g_store))
                    store->enter_include_dir(path);
            // The execution store has entered the file's directory.
            if (g_store->is_exec())
                g_store->note_read(base_name(path));
        } else {
            r.restore_location();
            put_back_token('}', "}");
        }
        return;
    }
    if (!opens_for_reading(path)) {
        int err = errno;
        std::string text = path + ": No such file or directory";
        errno = err;
        r.fatal_errno(text, "");
    }
    put_back_token('}', "}");
}

Node* include(Node* file, Node* arguments, Include_point at) {
    if (auto* store = dynamic_cast<Dependency_collector*>(g_store))
        store->leave_main_file();
    Node* node = arguments ? reg(new N_arg_include(take(file), take(arguments)))
                           : reg(new N_include(take(file)));
    include_file(static_cast<N_dep*>(node)->file(), at);
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
%}

%define api.prefix {vsrc}
%define parse.error simple
%token-table
%expect 6

%union {
    Node* node;
    parse_values::Name* name;
    parse_values::Value* value;
}

%destructor { parse_values::discard($$); } <node> <name> <value>

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
  | program stmt                { parse_values::hand_over($2); g_store->complete_statement(); }
  ;

stmt:
    ';'                         { $$ = reg(new N_empty()); }
  | T_TAG_END                   { $$ = reg(new N_end()); }
  | T_INCLUDE_END               {
                                    $$ = reg(new N_eof());
                                    include_memo::parsed_end(STACK_HEIGHT(), reporter().messages());
                                }
  | T_TYPE_END                  { $$ = reg(new N_empty()); end_capture(); }
  | expr ';'
  | T_UNDEF '(' lvalue ')' ';'  { $$ = undef($3); }
  | T_TEXT                      { $$ = output(reg(new N_const(value_of($1)))); }
  | T_TYPE_NAME                 { $$ = start_capture($1); }
  | T_EMBED expr ';'            { $$ = output($2); }
  | T_VERBATIM '(' expr ')' ';' { $$ = reg(new N_verbatim(take($3))); }
    /* The action runs as soon as ";" is read, before the next token: the included file's tokens come next. */
  | T_INCLUDE_FILE '(' expr ')' ';'             { $$ = include($3, nullptr, INCLUDE_POINT()); }
  | T_INCLUDE_FILE '(' expr ',' list ')' ';'    { $$ = include($3, $5, INCLUDE_POINT()); }
  | if_chain
  | if_chain T_ELSE stmt        { $$ = reg(new N_if_else(take($1), take($3))); }
  | ifdef_chain
  | ifdef_chain T_ELSE stmt     { $$ = reg(new N_if_else(take($1), take($3))); }
  | ifndef_chain
  | ifndef_chain T_ELSE stmt    { $$ = reg(new N_if_else(take($1), take($3))); }
  | '{' stmt_list '}'           { $$ = $2; include_memo::block_closed(STACK_HEIGHT() - 2); }
  | T_FOR '(' expr ';' expr ';' expr ')' stmt
                                { $$ = reg(new N_for(take($3), take($5), take($7), take($9))); }
  | T_WHILE '(' expr ')' stmt   { $$ = reg(new N_while(take($3), take($5))); }
  | T_FOREACH '(' lvalue T_IN expr ')' stmt
                                { $$ = foreach($3, $5, $7); }
  ;

stmt_list:
    stmt
  | stmt_list stmt              { $$ = reg(new N_stmt(take($1), take($2))); }
  ;

expr:
    T_CONSTANT                  { $$ = reg(new N_const(value_of($1))); }
  | '(' expr ')'                { $$ = $2; }
  | lvalue
  | lvalue '=' expr             { $$ = assign($1, $3); }
  | lvalue '=' '{' '}'          { $$ = assign_empty_array($1); }
  | '-' expr %prec UMINUS       { $$ = reg(new N_uminus(take($2))); }
  | expr '>' expr               { $$ = binary<N_gt>($1, $3); }
  | expr '<' expr               { $$ = binary<N_lt>($1, $3); }
  | expr T_GE expr              { $$ = binary<N_ge>($1, $3); }
  | expr T_LE expr              { $$ = binary<N_le>($1, $3); }
  | expr '+' expr               { $$ = binary<N_plus>($1, $3); }
  | expr '-' expr               { $$ = binary<N_minus>($1, $3); }
  | expr '*' expr               { $$ = binary<N_times>($1, $3); }
  | expr '/' expr               { $$ = binary<N_div>($1, $3); }
  | expr '%' expr               { $$ = binary<N_mod>($1, $3); }
  | expr T_POW expr             { $$ = binary<N_pow>($1, $3); }
  | lvalue T_INC                { $$ = postfix($1, 1); }
  | lvalue T_DEC                { $$ = postfix($1, -1); }
  | T_INC expr                  { $$ = prefix($2, 1); }
  | T_DEC expr                  { $$ = prefix($2, -1); }
  | expr T_PLUS_ASSIGN expr     { $$ = compound<N_plus>($1, $3); }
  | expr T_MINUS_ASSIGN expr    { $$ = compound<N_minus>($1, $3); }
  | expr T_TIMES_ASSIGN expr    { $$ = compound<N_times>($1, $3); }
  | expr T_DIV_ASSIGN expr      { $$ = compound<N_div>($1, $3); }
  | expr T_MOD_ASSIGN expr      { $$ = compound<N_mod>($1, $3); }
  | expr T_POW_ASSIGN expr      { $$ = compound<N_pow>($1, $3); }
  | '!' expr                    { $$ = reg(new N_not(take($2))); }
  | expr T_EQ expr              { $$ = binary<N_eq>($1, $3); }
  | expr T_W_EQ expr            { $$ = binary<N_w_eq>($1, $3); }
  | expr T_NEQ expr             { $$ = binary<N_neq>($1, $3); }
  | expr T_W_NEQ expr           { $$ = binary<N_w_neq>($1, $3); }
  | expr T_AND expr             { $$ = binary<N_and>($1, $3); }
  | expr T_OR expr              { $$ = binary<N_or>($1, $3); }
  | '{' list '}'                { $$ = reg(new N_fix_list(take($2))); }
  | T_ECHO '(' expr ')'         { $$ = reg(new N_echo(take($3))); }
  | T_PRINT '(' expr ')'        { $$ = reg(new N_print(take($3))); }
  | T_DATE '(' expr ')'         { $$ = reg(new N_date(take($3))); }
  | T_FDATE '(' expr ',' expr ')'
                                { $$ = reg(new N_fdate(take($3), take($5))); }
  | T_FSIZE '(' expr ',' expr ')'
                                { $$ = reg(new N_fsize(take($3), take($5))); }
  | T_LINKADJUST '(' ')'        { $$ = reg(new N_adj_link()); }
  | T_INPUTFILE '(' ')'         { $$ = reg(new N_input(nullptr)); }
  | T_INPUTFILE '(' T_CONSTANT ')'
                                {
                                    Gen_type prefix = value_of($3);
                                    $$ = reg(new N_input(&prefix));
                                }
  | T_ABSINPUTFILE '(' ')'      { $$ = reg(new N_abs_input()); }
  | T_OUTPUTFILE '(' ')'        { $$ = reg(new N_output(nullptr)); }
  | T_OUTPUTFILE '(' T_CONSTANT ')'
                                {
                                    Gen_type prefix = value_of($3);
                                    $$ = reg(new N_output(&prefix));
                                }
  | T_ABSOUTPUTFILE '(' ')'     { $$ = reg(new N_abs_output()); }
  | T_SUBSTRING '(' expr ',' expr ')'
                                { $$ = reg(new N_substr(take($3), take($5))); }
  | T_SUBSTRING '(' expr ',' expr ',' expr ')'
                                { $$ = reg(new N_substr(take($3), take($5), take($7))); }
  | T_FIND '(' expr ',' expr ')'
                                { $$ = reg(new N_find(take($3), take($5), nullptr, false)); }
  | T_FIND '(' expr ',' expr ',' expr ')'
                                { $$ = reg(new N_find(take($3), take($5), take($7), false)); }
  | T_FINDFIRSTOF '(' expr ',' expr ')'
                                { $$ = reg(new N_find_match(take($3), take($5), false, false)); }
  | T_FINDLASTOF '(' expr ',' expr ')'
                                { $$ = reg(new N_find_match(take($3), take($5), true, false)); }
  | T_FINDFIRSTNOTOF '(' expr ',' expr ')'
                                { $$ = reg(new N_find_match(take($3), take($5), false, true)); }
    /* findlastnotof takes a third argument, parsed (and registered) but never used. */
  | T_FINDLASTNOTOF '(' expr ',' expr ',' expr ')'
                                {
                                    parse_values::discard($7);
                                    $$ = reg(new N_find_match(take($3), take($5), true, true));
                                }
  | T_RFIND '(' expr ',' expr ')'
                                { $$ = reg(new N_find(take($3), take($5), nullptr, true)); }
  | T_RFIND '(' expr ',' expr ',' expr ')'
                                { $$ = reg(new N_find(take($3), take($5), take($7), true)); }
  | T_CHAR '(' expr ',' expr ')'
                                { $$ = reg(new N_char(take($3), take($5))); }
  | T_STARTSWITH '(' expr ',' expr ')'
                                { $$ = reg(new N_startswith(take($3), take($5))); }
  | T_ENDSWITH '(' expr ',' expr ')'
                                { $$ = reg(new N_endswith(take($3), take($5))); }
  | T_INSERT '(' expr ',' expr ',' expr ')'
                                { $$ = reg(new N_insert(take($3), take($5), take($7))); }
  | T_REPLACE '(' expr ',' expr ',' expr ')'
                                { $$ = reg(new N_replace(take($3), take($5), take($7), false)); }
  | T_REPLACEALL '(' expr ',' expr ',' expr ')'
                                { $$ = reg(new N_replace(take($3), take($5), take($7), true)); }
  | T_TRIM '(' expr ')'         { $$ = reg(new N_trim(take($3))); }
  | T_LTRIM '(' expr ')'        { $$ = reg(new N_ltrim(take($3))); }
  | T_RTRIM '(' expr ')'        { $$ = reg(new N_rtrim(take($3))); }
  | T_TOLOWER '(' expr ')'      { $$ = reg(new N_ch_case(take($3), true)); }
  | T_TOUPPER '(' expr ')'      { $$ = reg(new N_ch_case(take($3), false)); }
  | T_LENGTH '(' expr ')'       { $$ = reg(new N_length(take($3))); }
  | T_RAISEERROR '(' expr ')'   { $$ = reg(new N_raiseerr(take($3), nullptr)); }
  | T_RAISEERROR '(' expr ',' expr ')'
                                { $$ = reg(new N_raiseerr(take($3), take($5))); }
  | T_RAISEWARNING '(' expr ')' { $$ = reg(new N_raisewarn(take($3), nullptr)); }
  | T_RAISEWARNING '(' expr ',' expr ')'
                                { $$ = reg(new N_raisewarn(take($3), take($5))); }
  | T_TERM '(' expr ')'         { $$ = reg(new N_term(take($3))); }
  | T_CMD '(' expr ')'          { $$ = reg(new N_cmd(take($3), false)); }
  | T_EVALCMD '(' expr ')'      { $$ = reg(new N_cmd(take($3), true)); }
  | T_EXEC '(' expr ')'         { $$ = reg(new N_exec(take($3), nullptr, false)); }
  | T_EVALEXEC '(' expr ')'     { $$ = reg(new N_exec(take($3), nullptr, true)); }
  | T_EXEC '(' expr ',' list ')'
                                { $$ = reg(new N_exec(take($3), take($5), false)); }
  | T_EVALEXEC '(' expr ',' list ')'
                                { $$ = reg(new N_exec(take($3), take($5), true)); }
  | T_TOBOOL '(' expr ')'       { $$ = reg(new N_tobool(take($3))); }
  | T_TOINT '(' expr ')'        { $$ = reg(new N_toint(take($3))); }
  | T_TOSTRING '(' expr ')'     { $$ = reg(new N_tostring(take($3))); }
  | T_TOARRAY '(' expr ')'      { $$ = reg(new N_toarray(take($3))); }
  | T_ISINT '(' expr ')'        { $$ = reg(new N_isint(take($3))); }
  | T_ISSTRING '(' expr ')'     { $$ = reg(new N_isstring(take($3))); }
  | T_ISARRAY '(' expr ')'      { $$ = reg(new N_isarray(take($3))); }
  | T_TOKENIZE '(' expr ',' expr ')'
                                { $$ = reg(new N_tok(take($3), take($5))); }
  | T_JOIN '(' expr ',' expr ')'
                                { $$ = reg(new N_join(take($3), take($5))); }
  | T_DELETE '(' expr ',' expr ')'
                                { $$ = reg(new N_del(take($3), take($5))); }
  | T_DELETE '(' expr ',' expr ',' expr ')'
                                { $$ = reg(new N_del(take($3), take($5), take($7))); }
  | T_PUSH '(' expr ',' expr ')'
                                { $$ = reg(new N_push(take($3), take($5))); }
  | T_PUSH '(' expr ',' expr ',' expr ')'
                                { $$ = reg(new N_push(take($3), take($5), take($7))); }
  | T_RANDOM '(' expr ',' expr ')'
                                { $$ = reg(new N_random(take($3), take($5))); }
  | T_FILEEXISTS '(' expr ')'   { $$ = reg(new N_fileexists(take($3))); }
  | T_FILL '(' expr ',' list ')'
                                { $$ = reg(new N_fill(take($3), take($5))); }
  ;

/* An else, and an elif of the chain's own kind, belongs to the nearest open chain (the expected
   shift/reduce conflicts, two per kind of chain).  A branch of another kind cannot continue a chain. */
if_chain:
    if_head
  | if_chain elif_part          { $$ = reg(new N_cond_seq(take($1), take($2))); }
  ;
if_head:
    T_IF '(' expr ')' stmt      { $$ = reg(new N_if(take($3), take($5))); }
  ;
elif_part:
    T_ELIF '(' expr ')' stmt    { $$ = reg(new N_if(take($3), take($5))); }
  ;
ifdef_chain:
    ifdef_head
  | ifdef_chain elifdef_part    { $$ = reg(new N_cond_seq(take($1), take($2))); }
  ;
ifdef_head:
    T_IFDEF '(' lvalue ')' stmt { $$ = reg(new N_ifdef(take($3), take($5))); }
  ;
elifdef_part:
    T_ELIFDEF '(' lvalue ')' stmt
                                { $$ = reg(new N_ifdef(take($3), take($5))); }
  ;
ifndef_chain:
    ifndef_head
  | ifndef_chain elifndef_part  { $$ = reg(new N_cond_seq(take($1), take($2))); }
  ;
ifndef_head:
    T_IFNDEF '(' lvalue ')' stmt
                                { $$ = reg(new N_ifndef(take($3), take($5))); }
  ;
elifndef_part:
    T_ELIFNDEF '(' lvalue ')' stmt
                                { $$ = reg(new N_ifndef(take($3), take($5))); }
  ;

lvalue:
    T_IDENT %prec NO_INDEX      { $$ = reg(new N_var(name_of($1), Var_form::variable)); }
  | '$' '(' expr ')' %prec NO_INDEX
                                { $$ = reg(new N_ind_expr(take($3), Var_form::variable)); }
  | T_IDENT '[' ']'             { $$ = reg(new N_var(name_of($1), Var_form::array)); }
  | '$' '(' expr ')' '[' ']'    { $$ = reg(new N_ind_expr(take($3), Var_form::array)); }
  | element %prec NO_INDEX
  ;

element:
    T_IDENT '[' expr ']'        { $$ = reg(new N_var(name_of($1), Var_form::element, nullptr, take($3))); }
  | expr '[' expr ']'           { $$ = reg(new N_var(inner_name($1), Var_form::nested_element, take($1), take($3))); }
  | '$' '(' expr ')' '[' expr ']'
                                { $$ = reg(new N_ind_expr(take($3), Var_form::element, take($6))); }
  | element '[' expr ']'        { $$ = reg(new N_var(inner_name($1), Var_form::nested_element, take($1), take($3))); }
  ;

list:
    expr
  | list ',' expr               { $$ = reg(new N_list(take($1), take($3))); }
  ;

%%

void yyerror(const char* message) {
    std::string text = message;
    if (!last_token_matched()) {
        reporter().error(text);
        return;
    }
    // Named by its first line, at the line where it began.
    const std::string& token = last_token_text();
    auto lines = static_cast<int32_t>(std::count(token.begin(), token.end(), '\n'));
    reporter().error_at(lines, text + " before `" + token.substr(0, token.find('\n')) + "'");
}

const char* token_name(int code) { return yytname[YYTRANSLATE(code)]; }

void grammar_reset() { end_capture(); }

bool grammar_capturing() { return capturing; }

int grammar_parse() { return yyparse(); }
