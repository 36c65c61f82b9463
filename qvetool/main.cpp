// qvetool: makes, takes apart, checks and previews the clock's skin files.
#include <stdio.h>

#include "commands.h"
#include "platform.h"

#ifdef _WIN32
int main()
{
    Console console;
    int code = RunQvetool(Utf8Arguments(), &console);
    WriteConsoleText(0, console.out);
    WriteConsoleText(1, console.err);
    return code;
}
#else
int main(int argc, char **argv)
{
    Console console;
    int code = RunQvetool(std::vector<std::string>(argv + 1, argv + argc), &console);
    fwrite(console.out.data(), 1, console.out.size(), stdout);
    fwrite(console.err.data(), 1, console.err.size(), stderr);
    return code;
}
#endif
