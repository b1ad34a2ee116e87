#pragma once

#include "platform/ChartGraphic.h"
#include "state/Design.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <string>

namespace valvix {

class WindowServices;
class frmInitialize;

// Opens the main windows in their order (start, Initialize, Adjust), each closing the
// one it came from, and ends the program on "Exit".
class WindowFlow final : public QObject {
    Q_OBJECT
public:
    WindowFlow(Design& design, WindowServices& services);

    void start();
    // Opens the Initialize window straight away with the design at path read into it,
    // as if it had been chosen with "Get old design". A file that cannot be a design is
    // refused with a message, and the window stays open all the same.
    void startWithDesign(const std::string& path);
    // The main window showing now, if any.
    QWidget* current() const { return m_current.data(); }

signals:
    void programEnded();

private:
    frmInitialize* OpenInitialize();
    void OpenAdjust(bool fitAtOnce);
    void OpenGraphicHelp();
    void Show(QWidget* window);
    void EndProgram();

    Design& m_design;
    WindowServices& m_services;
    // Kept for the session beside the design: the chart picture, the Examine window's
    // settings and the subcircuit's name and files.
    ChartGraphic m_graphic;
    ExamineSettings m_examine;
    SubcircuitNames m_subcircuit;
    QPointer<QWidget> m_current;
};

} // namespace valvix
