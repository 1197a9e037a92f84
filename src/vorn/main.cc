#include "os/large_stack.h"
#include "vorn/render.h"

int main(int argc, char** argv) {
    return run_with_large_stack(vorn_main, argc, argv);
}
