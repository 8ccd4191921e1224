#include "Interrupt.h"

#include <csignal>

namespace tessary::cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void onInterrupt(int signal) {
    gInterrupted = 1;
    std::signal(signal, SIG_DFL); // the next one ends the program
}

} // namespace

void catchInterrupts() {
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}

bool interrupted() {
    return gInterrupted != 0;
}

void clearInterrupt() {
    gInterrupted = 0;
    catchInterrupts();
}

} // namespace tessary::cli
