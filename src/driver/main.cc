#include "driver/run.h"

int main(int argc, char** argv) {
    return tovik_main(argc, argv);
}
