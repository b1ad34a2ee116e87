#include "app/WindowFlow.h"
#include "platform/DesktopServices.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Valvix");

    valvix::DesignState design;
    valvix::DesktopServices services;
    valvix::WindowFlow flow(design, services);
    QObject::connect(&flow, &valvix::WindowFlow::programEnded, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    flow.start();
    return QApplication::exec();
}
