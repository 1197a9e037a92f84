#include "os/large_stack.h"
#include "tovik/run.h"

int main(int argc, char** argv) {
    return run_with_large_stack(tovik_main, argc, argv);
}
