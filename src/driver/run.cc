#include "driver/run.h"

#include <clocale>

int tovik_main(int argc, char** argv) {
    (void)argc;
    (void)argv;
    std::setlocale(LC_ALL, "");
    return 0;
}
