// qorvane-cli: the program's rules without windows.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return qorvane::cli::Run(args, std::cout, std::cerr);
}
