#include "tools/batch/batch_runner.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return tp::RunBatch(arguments, std::cout, std::cerr);
}
