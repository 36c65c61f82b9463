// qvetool's sub-commands: pack, unpack, check and preview.
#ifndef TKP_QVETOOL_COMMANDS_H
#define TKP_QVETOOL_COMMANDS_H

#include <string>
#include <vector>

// What a run prints, UTF-8; the entry point hands it to the console.
struct Console {
    std::string out, err;
};

enum { EXIT_DONE = 0, EXIT_REFUSED = 1, EXIT_USAGE = 2 };

// Runs the command line after the program's name.
int RunQvetool(const std::vector<std::string> &arguments, Console *console);

// A text as one argument of this system's command line, quoted as needed.
std::string QuoteArgument(const std::string &text);

#endif
