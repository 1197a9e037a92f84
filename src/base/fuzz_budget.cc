#include "base/fuzz_budget.h"

#ifdef VT_FUZZING

#include <chrono>
#include <cstdint>

#include <sanitizer/allocator_interface.h>

#include "base/process_end.h"

namespace {

// An input is ended after this many steps, beyond this much memory above what was in use when it started,
// or after this much time (the fuzzer reports a hang after one second).
constexpr std::uint64_t max_steps = 200000;
constexpr std::size_t max_bytes = std::size_t{16} << 20;
constexpr auto max_time = std::chrono::milliseconds(250);
// The status the input ends with (what it is does not matter to the fuzz targets).
constexpr int budget_status = 1;

bool active = false; // only inputs run by a fuzz target are bounded
std::uint64_t steps = 0;
std::size_t base_bytes = 0;
std::chrono::steady_clock::time_point started;

void check(std::size_t more) {
    if (!active)
        return;
    if (more > max_bytes || __sanitizer_get_current_allocated_bytes() + more > base_bytes + max_bytes ||
        std::chrono::steady_clock::now() - started > max_time)
        end_process(budget_status);
}

} // namespace

void fuzz_budget_reset() {
    active = true;
    steps = 0;
    base_bytes = __sanitizer_get_current_allocated_bytes();
    started = std::chrono::steady_clock::now();
}

void fuzz_budget_step() {
    if (++steps > max_steps && active)
        end_process(budget_status);
    check(0);
}

void fuzz_budget_grow(std::size_t bytes) {
    check(bytes);
}

#endif
