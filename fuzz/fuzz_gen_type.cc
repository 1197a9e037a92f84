// Gen_type operations driven by a small byte program over eight value registers.  The first byte's low bit
// makes errors ignored (so the operations' fallback results are reached); then each instruction is an opcode
// byte followed by its operands (register numbers take the low three bits of a byte).  A missing operand
// reads as 0.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/fuzz_budget.h"
#include "diag/reporter.h"
#include "fuzz_support.h"
#include "lang/values/gen_type.h"

namespace {

class Program {
public:
    Program(Reporter& reporter, const std::uint8_t* data, std::size_t size)
        : r_(reporter), data_(data), size_(size) {}
    bool done() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    Gen_type& reg() { return regs_[byte() & 7]; }
    std::int32_t number() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = v << 8 | byte();
        return static_cast<std::int32_t>(v);
    }
    std::string text() {
        std::size_t n = byte() % 16;
        std::string out;
        while (n-- > 0 && !done())
            out += static_cast<char>(byte());
        return out;
    }
    void run_one();
    void check_all() const;

private:
    Reporter& r_;
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    Gen_type regs_[8];
};

void broken(const char* what) {
    std::fprintf(stderr, "Gen_type: %s\n", what);
    std::abort();
}

void check(const Gen_type& v, int depth = 0) {
    switch (v.kind()) {
    case Value_kind::integer:
    case Value_kind::string:
    case Value_kind::undefined:
        break;
    case Value_kind::array:
    case Value_kind::list:
        if (depth < 4)
            for (const Gen_type& e : v.elements())
                check(e, depth + 1);
        break;
    default:
        broken("a value of unknown kind");
    }
}

void Program::check_all() const {
    for (const Gen_type& v : regs_)
        check(v);
}

void Program::run_one() {
    const std::uint8_t op = byte() % 32;
    Gen_type& a = reg();
    switch (op) {
    case 0:
        a = Gen_type(number());
        break;
    case 1:
        a = Gen_type(text());
        break;
    case 2:
        a = Gen_type::empty_array();
        break;
    case 3:
        a = Gen_type::empty_list();
        break;
    case 4:
        a = Gen_type();
        break;
    case 5:
        a = reg();
        break;
    case 6: {
        Gen_type& b = reg();
        Gen_type& c = reg();
        switch (byte() % 14) {
        case 0:
            a = plus(r_, b, c);
            break;
        case 1:
            a = minus(r_, b, c);
            break;
        case 2:
            a = multiply(r_, b, c);
            break;
        case 3:
            a = divide(r_, b, c);
            break;
        case 4:
            a = modulo(r_, b, c);
            break;
        case 5:
            a = power(r_, b, c);
            break;
        case 6:
            a = greater(r_, b, c);
            break;
        case 7:
            a = less(r_, b, c);
            break;
        case 8:
            a = greater_equal(r_, b, c);
            break;
        case 9:
            a = less_equal(r_, b, c);
            break;
        case 10:
            a = equal(r_, b, c);
            break;
        case 11:
            a = not_equal(r_, b, c);
            break;
        case 12:
            a = loose_eq(r_, b, c);
            break;
        default:
            a = loose_neq(r_, b, c);
            break;
        }
        break;
    }
    case 7:
        a = negate(r_, reg());
        break;
    case 8:
        a.make_array();
        break;
    case 9:
        a.append(reg());
        break;
    case 10: {
        Gen_type& b = reg();
        a = Gen_type::element(r_, b.elements(), reg());
        break;
    }
    case 11: {
        Gen_type& index = reg();
        Gen_type& value = reg();
        const bool insert = byte() & 1;
        if (a.is_array())
            Gen_type::set_element(r_, a.elements(), index, value, insert);
        break;
    }
    case 12: {
        const std::size_t position = byte();
        if (a.is_array())
            a.erase(r_, position);
        break;
    }
    case 13: {
        const std::size_t position = byte();
        const std::size_t count = byte();
        if (a.is_array())
            a.erase(r_, position, count);
        break;
    }
    case 14:
        a = Gen_type(reg().to_int(r_));
        break;
    case 15: {
        Gen_type& b = reg();
        a = Gen_type(b.to_string(r_, byte() & 1));
        break;
    }
    case 16:
        a = Gen_type(reg().as_bool(r_) ? 1 : 0);
        break;
    case 17:
        a = Gen_type(reg().to_bool(r_) ? 1 : 0);
        break;
    case 18:
        a = Gen_type(int_to_text(number()));
        break;
    case 19: {
        // The payload accessor of the value's own kind never fails.
        Gen_type& b = reg();
        if (b.is_int() && b.get_int(r_) != b.integer())
            broken("get_int differs from the payload");
        if (b.is_string() && &b.get_string(r_) != &b.text())
            broken("get_string differs from the payload");
        if (b.is_array() && &b.get_array(r_) != &b.elements())
            broken("get_array differs from the payload");
        if (b.is_list() && &b.get_list(r_) != &b.elements())
            broken("get_list differs from the payload");
        break;
    }
    case 20: {
        // A copy is deep: changing it leaves the original as it was.
        Gen_type& b = reg();
        const std::string before = b.is_list() ? std::string() : b.to_string(r_, false);
        Gen_type copy = b;
        copy.append(Gen_type(1));
        copy.make_array();
        if (!copy.elements().empty())
            copy.elements().front() = Gen_type("changed");
        if (!b.is_list() && b.to_string(r_, false) != before)
            broken("changing a copy changed the original");
        break;
    }
    default: // the other values: in place on the same register
        a = plus(r_, a, a);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    fz::start_input();
    try {
        Reporter reporter;
        fz::quiet(reporter);
        if (data[0] & 1)
            reporter.set_policy(Policy::ignore_errors);
        Program program(reporter, data + 1, size - 1);
        while (!program.done()) {
            fuzz_budget_step();
            program.run_one();
        }
        program.check_all();
    } catch (const fz::Input_ended&) {
    }
    fz::finish_input();
    return 0;
}
