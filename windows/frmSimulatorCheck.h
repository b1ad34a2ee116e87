#pragma once

#include "export/CheckReport.h"
#include "export/SimulatorCheck.h"
#include "platform/SimulatorTask.h"
#include "state/Design.h"

#include <QDialog>

#include <memory>
#include <optional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace valvix {

class CanvasView;
class WindowServices;

// Runs the exported .CKT and the ngspice model through ngspice over the design's curve
// family as soon as it opens, and shows the simulated curves over the computed ones with
// one line per model: the largest difference and where it occurs. The check runs in the
// background: a busy bar shows meanwhile, "Cancel" stops it, and so does leaving.
class frmSimulatorCheck final : public QDialog {
    Q_OBJECT
public:
    // planned is the check of the model, or why there is none.
    frmSimulatorCheck(CheckPlanResult planned, WindowServices& services, QWidget* parent = nullptr);

private:
    void PlaceControls();
    void StartCheck(CheckPlanResult planned);
    void CheckEnded(const SimulatorJobOutcome& outcome);
    void ShowChart();
    void StopRunning(const QString& text);
    void cmdCancel_Click();
    void cmdExit_Click();

    WindowServices& m_services;
    CanvasView* m_view = nullptr;
    QLabel* m_lblResult = nullptr;
    QProgressBar* m_prgRunning = nullptr;
    QPushButton* m_cmdCancel = nullptr;
    QPushButton* m_cmdExit = nullptr;
    std::optional<CheckPlan> m_plan;
    CheckReport m_report;
    std::unique_ptr<SimulatorTask> m_task; // last, so that it stops first
};

} // namespace valvix
