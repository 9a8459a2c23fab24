#pragma once

#include <string>
#include <vector>

// What a command-line program needs of its console.
namespace stampwell::platform {

// The program's arguments as UTF-8: on Windows taken from the wide command
// line (never the ANSI code page), elsewhere the bytes as given.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Standard output and error take UTF-8 text (the console's code page on
// Windows) and terminal control sequences.
void UseUtf8Console();

// Whether standard error is a terminal.
bool StderrIsTerminal();

// Calls `handler` when the user interrupts the program (Ctrl-C). It may run in
// a signal handler or on another thread: it must only set an atomic flag.
void OnInterrupt(void (*handler)());

} // namespace stampwell::platform
