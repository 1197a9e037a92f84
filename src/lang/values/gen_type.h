// The one dynamically typed value of the Vorn language.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Reporter;

// What a value holds.
enum class Value_kind : uint8_t { integer, string, array, list, undefined };

class Gen_type {
public:
    Gen_type() = default; // undefined
    explicit Gen_type(int32_t value) : kind_(Value_kind::integer), integer_(value) {}
    explicit Gen_type(const char* text) : kind_(Value_kind::string), text_(text) {}
    explicit Gen_type(std::string text) : kind_(Value_kind::string), text_(std::move(text)) {}
    static Gen_type empty_array();
    static Gen_type empty_list();

    Value_kind kind() const { return kind_; }
    bool is_int() const { return kind_ == Value_kind::integer; }
    bool is_string() const { return kind_ == Value_kind::string; }
    bool is_array() const { return kind_ == Value_kind::array; }
    bool is_list() const { return kind_ == Value_kind::list; }
    bool is_undefined() const { return kind_ == Value_kind::undefined; }

    // Payload access; each is a fatal internal error on another kind.  Every operation that may report
    // something is handed the reporter of the run it works for.
    int32_t get_int(Reporter& r) const;
    const std::string& get_string(Reporter& r) const;
    const std::vector<Gen_type>& get_array(Reporter& r) const;
    const std::vector<Gen_type>& get_list(Reporter& r) const;

    // Direct access to the payloads, whatever the kind (for the nodes that build values).
    std::vector<Gen_type>& elements() { return elements_; }
    const std::vector<Gen_type>& elements() const { return elements_; }
    const std::string& text() const { return text_; }
    int32_t integer() const { return integer_; }

    // Truth of a value in conditions and in &&, || and ! (`bool`); a list is fatal.
    bool as_bool(Reporter& r) const;
    // The same rule for the explicit conversion, with its own internal-error text.
    bool to_bool(Reporter& r) const;
    // A text is read like atoi; a number beyond the 32-bit range saturates to INT32_MAX / INT32_MIN.
    int32_t to_int(Reporter& r) const;
    std::string to_string(Reporter& r, bool arrays_forbidden) const;

    // Scalar -> one-element array, list/undefined -> array; integer and text payloads stay.
    void make_array();
    // Appends a copy of the value; arrays and lists are appended element by element.
    void append(const Gen_type& value);

    // Element operations on an element sequence.  A negative index is refused by both like an out-of-bound
    // read (warning, result integer -1, sequence unchanged).
    static Gen_type element(Reporter& r, const std::vector<Gen_type>& elements, const Gen_type& index);
    static Gen_type set_element(Reporter& r, std::vector<Gen_type>& elements, const Gen_type& index,
                                const Gen_type& value, bool insert);
    void erase(Reporter& r, std::size_t position);
    void erase(Reporter& r, std::size_t position, std::size_t count);

private:
    Value_kind kind_ = Value_kind::undefined;
    int32_t integer_ = 0;
    std::string text_;
    std::vector<Gen_type> elements_;
};

// Integer to text, "%d".
std::string int_to_text(int32_t value);

// Comparisons: integer values 0 or 1.
Gen_type greater(Reporter& r, const Gen_type& a, const Gen_type& b);       // >
Gen_type less(Reporter& r, const Gen_type& a, const Gen_type& b);          // <
Gen_type greater_equal(Reporter& r, const Gen_type& a, const Gen_type& b); // >=
Gen_type less_equal(Reporter& r, const Gen_type& a, const Gen_type& b);    // <=
Gen_type equal(Reporter& r, const Gen_type& a, const Gen_type& b);         // ==
Gen_type not_equal(Reporter& r, const Gen_type& a, const Gen_type& b);     // !=
Gen_type loose_eq(Reporter& r, const Gen_type& a, const Gen_type& b);      // ~==
Gen_type loose_neq(Reporter& r, const Gen_type& a, const Gen_type& b);     // ~!=

// Arithmetic.
Gen_type plus(Reporter& r, const Gen_type& a, const Gen_type& b);
Gen_type minus(Reporter& r, const Gen_type& a, const Gen_type& b);
Gen_type negate(Reporter& r, const Gen_type& a);
Gen_type multiply(Reporter& r, const Gen_type& a, const Gen_type& b);
Gen_type divide(Reporter& r, const Gen_type& a, const Gen_type& b);
Gen_type modulo(Reporter& r, const Gen_type& a, const Gen_type& b);
Gen_type power(Reporter& r, const Gen_type& a, const Gen_type& b);
