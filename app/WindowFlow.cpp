#include "app/WindowFlow.h"

#include "app/CommandLine.h"
#include "app/frmOpening.h"
#include "platform/WindowServices.h"
#include "windows/HelpWindows.h"
#include "windows/frmAdjust.h"
#include "windows/frmExamine.h"
#include "windows/frmInitialize.h"
#include "windows/frmShowSubcircuit.h"

#include <QFileInfo>

namespace valvix {

WindowFlow::WindowFlow(Design& design, WindowServices& services)
    : m_design(design), m_services(services) {}

void WindowFlow::start() {
    auto* opening = new frmOpening(m_services);
    connect(opening, &frmOpening::startRequested, this, &WindowFlow::OpenInitialize);
    connect(opening, &frmOpening::exitRequested, this, &WindowFlow::EndProgram);
    Show(opening);
}

void WindowFlow::startWithDesign(const std::string& path) {
    frmInitialize* initialize = OpenInitialize();
    // As from the design dialog, the name is the file's full path.
    const std::string fullPath =
        QFileInfo(QString::fromStdString(path)).absoluteFilePath().toStdString();
    if (const std::string problem = NotADesignProblem(fullPath); !problem.empty()) {
        m_services.failure(problem);
        return;
    }
    initialize->openDesign(fullPath);
}

frmInitialize* WindowFlow::OpenInitialize() {
    auto* initialize = new frmInitialize(m_design, m_graphic, m_services);
    connect(initialize, &frmInitialize::continueRequested, this, &WindowFlow::OpenAdjust);
    connect(initialize, &frmInitialize::exitRequested, this, &WindowFlow::EndProgram);
    connect(initialize, &frmInitialize::graphicHelpRequested, this, &WindowFlow::OpenGraphicHelp);
    Show(initialize);
    return initialize;
}

void WindowFlow::OpenAdjust(bool fitAtOnce) {
    auto* adjust =
        new frmAdjust(m_design, m_graphic, m_services,
                      fitAtOnce ? AdjustStart::FitWithoutStart : AdjustStart::ShowDesign);
    connect(adjust, &frmAdjust::exitRequested, this, &WindowFlow::EndProgram);
    adjust->setExamineWindow([this, adjust](QWidget* parent) {
        return std::make_unique<frmExamine>(
            m_design, m_examine, m_services, [adjust] { return adjust->dissipationText(); },
            parent);
    });
    adjust->setSubcircuitWindow([this](QWidget* parent) {
        return std::make_unique<frmShowSubcircuit>(m_design, m_examine, m_subcircuit, m_services,
                                                   parent);
    });
    Show(adjust);
}

void WindowFlow::OpenGraphicHelp() {
    HelpWindow help(HelpTopic::Graphic, m_current);
    m_services.runModal(help);
}

// The new window shows first, then the one it came from closes.
void WindowFlow::Show(QWidget* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    QWidget* previous = m_current;
    m_current = window;
    if (previous != nullptr) {
        previous->close();
    }
}

void WindowFlow::EndProgram() {
    if (m_current != nullptr) {
        m_current->close();
    }
    emit programEnded();
}

} // namespace valvix
