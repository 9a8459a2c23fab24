#include "platform/console.h"

#include <csignal>
#include <unistd.h>

namespace stampwell::platform {

namespace {

void (*interruptHandler)() = nullptr;

extern "C" void OnSignal(int) {
    if (interruptHandler != nullptr)
        interruptHandler();
}

} // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void UseUtf8Console() {}

bool StderrIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void OnInterrupt(void (*handler)()) {
    interruptHandler = handler;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    // Output blocked on a full pipe goes on after the signal.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

} // namespace stampwell::platform
