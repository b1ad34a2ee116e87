#include "app/CommandLine.h"
#include "app/Version.h"
#include "app/WindowFlow.h"
#include "platform/DesktopServices.h"

#include <QApplication>

#include <iostream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Arguments(int argc, char* argv[]) {
    return {argv + 1, argv + argc};
}

} // namespace

int main(int argc, char* argv[]) {
    using valvix::CommandLine;
    // The version, the help and a wrong line are answered before a display is needed.
    const CommandLine line = valvix::ParseCommandLine(Arguments(argc, argv));
    if (line.action != CommandLine::Action::OpenWindows) {
        return valvix::PrintAnswer(line, std::cout, std::cerr);
    }

    QApplication app(argc, argv); // takes Qt's own options off the line
    QApplication::setApplicationName("Valvix");
    QApplication::setApplicationVersion(valvix::kVersion);
    // Lets the desktop match the windows to the menu entry and its icon.
    QGuiApplication::setDesktopFileName("org.example.valvix");

    valvix::Design design;
    valvix::DesktopServices services;
    valvix::WindowFlow flow(design, services);
    QObject::connect(&flow, &valvix::WindowFlow::programEnded, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    if (line.designPath.empty()) {
        flow.start();
    } else {
        flow.startWithDesign(line.designPath);
    }
    return QApplication::exec();
}
