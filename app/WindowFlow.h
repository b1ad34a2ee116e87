#pragma once

#include "state/DesignState.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace valvix {

class WindowServices;

// Opens the main windows in their order (start, Initialize, Adjust), each closing the
// one it came from, and ends the program on "Exit".
class WindowFlow final : public QObject {
    Q_OBJECT
public:
    WindowFlow(DesignState& design, WindowServices& services);

    void start();
    // The main window showing now, if any.
    QWidget* current() const { return m_current.data(); }

signals:
    void programEnded();

private:
    void openInitialize();
    void openAdjust();
    void openGraphicHelp();
    void show(QWidget* window);
    void endProgram();

    DesignState& m_design;
    WindowServices& m_services;
    QPointer<QWidget> m_current;
};

} // namespace valvix
