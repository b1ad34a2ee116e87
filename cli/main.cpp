#include "cli/Commands.h"

#include <QCoreApplication>

#include <iostream>

// valvix-cli: Valvix's work without a window, for scripts and headless machines.
int main(int argc, char* argv[]) {
    // Qt's picture readers are plug-ins found through the application object; no
    // display is needed.
    const QCoreApplication application(argc, argv);
    valvix::cli::Arguments arguments(argv + 1, argv + argc);
    return valvix::cli::RunCommandLine(arguments, std::cout, std::cerr);
}
