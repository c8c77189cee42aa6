#include <iostream>

#include "cli/Tool.h"

int main(int argc, char** argv) {
    return tavoren::cli::RunTool({argv + 1, argv + argc}, std::cin, std::cout, std::cerr);
}
