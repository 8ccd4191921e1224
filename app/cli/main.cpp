#include <iostream>
#include <unistd.h>

#include "CliApp.h"
#include "Interrupt.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    tessary::cli::catchInterrupts();
    return tessary::cli::runCli(argc, argv, std::cout, std::cerr, isatty(STDOUT_FILENO) != 0,
                                isatty(STDERR_FILENO) != 0);
}
