#include "driver/large_stack.h"
#include "driver/run.h"

int main(int argc, char** argv) {
    return run_with_large_stack(tovik_main, argc, argv);
}
