// The string functions of the language.  None changes a variable; all positions are byte offsets from 0.
#pragma once

#include "lang/eval/node.h"

// A built-in with up to three argument expressions (the third, and sometimes the second, optional).
class N_builtin3 : public Node {
public:
    N_builtin3(Node_ptr a, Node_ptr b = nullptr, Node_ptr c = nullptr)
        : a_(std::move(a)), b_(std::move(b)), c_(std::move(c)) {}
    Node* arg(int i) const { return i == 0 ? a_.get() : i == 1 ? b_.get() : c_.get(); }

protected:
    Node_ptr a_, b_, c_;
};

// substring(text, start[, length])
class N_substr : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

// find / rfind (text, pattern[, start])
class N_find : public N_builtin3 {
public:
    N_find(Node_ptr text, Node_ptr pattern, Node_ptr start, bool reverse)
        : N_builtin3(std::move(text), std::move(pattern), std::move(start)), reverse_(reverse ? 1 : 0) {}
    Gen_type exec() override;
    bool reverse() const { return reverse_ != 0; }

private:
    unsigned char reverse_;
};

// findfirstof, findlastof, findfirstnotof, findlastnotof (text, set)
class N_find_match : public N_builtin3 {
public:
    N_find_match(Node_ptr text, Node_ptr set, bool last, bool negated)
        : N_builtin3(std::move(text), std::move(set)), last_(last ? 1 : 0), negated_(negated ? 1 : 0) {}
    Gen_type exec() override;
    bool last() const { return last_ != 0; }
    bool negated() const { return negated_ != 0; }

private:
    unsigned char last_, negated_;
};

// char(text, index)
class N_char : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

class N_startswith : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

class N_endswith : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

// insert(text, index, inserted text)
class N_insert : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

// replace / replaceall (text, searched, replacement)
class N_replace : public N_builtin3 {
public:
    N_replace(Node_ptr text, Node_ptr searched, Node_ptr replacement, bool all)
        : N_builtin3(std::move(text), std::move(searched), std::move(replacement)), all_(all ? 1 : 0) {}
    Gen_type exec() override;
    bool all() const { return all_ != 0; }

private:
    unsigned char all_;
};

class N_trim : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

class N_ltrim : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

class N_rtrim : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

// tolower / toupper
class N_ch_case : public N_builtin3 {
public:
    N_ch_case(Node_ptr text, bool lower) : N_builtin3(std::move(text)), lower_(lower ? 1 : 0) {}
    Gen_type exec() override;
    bool lower() const { return lower_ != 0; }

private:
    unsigned char lower_;
};

class N_length : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

// tokenize(text, separator)
class N_tok : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};

// join(array, separator)
class N_join : public N_builtin3 {
public:
    using N_builtin3::N_builtin3;
    Gen_type exec() override;
};
