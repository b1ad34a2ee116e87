#include "windows/frmSimulatorCheck.h"

#include "platform/CanvasView.h"
#include "platform/WindowServices.h"
#include "plot/CheckChart.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace valvix {

namespace {

constexpr double kPoints = 8.25;
const QString kFace = "MS Sans Serif";

} // namespace

frmSimulatorCheck::frmSimulatorCheck(CheckPlanResult planned, WindowServices& services,
                                     QWidget* parent)
    : QDialog(parent), m_services(services), m_view(new CanvasView(Qt::white, this)) {
    setWindowTitle("Valvix - Check in ngspice");
    setFixedSize(640, 480);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    PlaceControls();
    StartCheck(std::move(planned));
}

void frmSimulatorCheck::PlaceControls() {
    m_lblResult = m_view->place(new QLabel, {300, 5750, 11400, 2300}, kPoints, true, kFace);
    m_lblResult->setObjectName("lblResult");
    m_lblResult->setWordWrap(true);
    m_lblResult->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_prgRunning = m_view->place(new QProgressBar, {300, 8250, 6200, 450}, kPoints);
    m_prgRunning->setObjectName("prgRunning");
    m_prgRunning->setRange(0, 0); // busy: ngspice tells no progress
    m_prgRunning->setTextVisible(false);
    auto button = [this](const char* name, const char* caption, float left) {
        auto* b =
            m_view->place(new QPushButton(caption), {left, 8200, 2300, 550}, kPoints, true, kFace);
        b->setObjectName(name);
        b->setStyleSheet("background-color: #E0E0E0;");
        return b;
    };
    m_cmdCancel = button("cmdCancel", "Cancel", 6900);
    m_cmdExit = button("cmdExit", "Return", 9400);
    connect(m_cmdCancel, &QPushButton::clicked, this, &frmSimulatorCheck::cmdCancel_Click);
    connect(m_cmdExit, &QPushButton::clicked, this, &frmSimulatorCheck::cmdExit_Click);
}

void frmSimulatorCheck::StartCheck(CheckPlanResult planned) {
    if (!planned.plan) {
        StopRunning(QString::fromStdString(planned.error));
        return;
    }
    m_plan = std::move(planned.plan);
    m_lblResult->setText(
        QString("Running ngspice over %1 curves ...").arg(CountCheckedCurves(m_plan->scales)));
    ShowChart(); // the computed curves while ngspice runs
    m_task = m_services.startSimulator(
        m_plan->job, [this](const SimulatorJobOutcome& outcome) { CheckEnded(outcome); });
}

void frmSimulatorCheck::StopRunning(const QString& text) {
    m_prgRunning->hide();
    m_cmdCancel->setEnabled(false);
    m_lblResult->setText(text);
}

void frmSimulatorCheck::CheckEnded(const SimulatorJobOutcome& outcome) {
    m_report = EvaluateCheck(*m_plan, outcome);
    if (!m_report.failure.empty()) {
        StopRunning(QString::fromStdString(m_report.failure));
        return;
    }
    QString lines;
    for (const ModelDifference& model : m_report.models) {
        lines += (lines.isEmpty() ? "" : "\n") + QString::fromStdString(DifferenceLine(model));
    }
    StopRunning(lines);
    ShowChart();
}

void frmSimulatorCheck::ShowChart() {
    CheckChart chart{m_plan->parameters, m_plan->scales, {}};
    for (const ModelDifference& model : m_report.models) {
        const bool circuit = model.model == CheckedModel::CircuitFile;
        chart.simulated.push_back({circuit ? kCheckCircuitColour : kCheckModelColour,
                                   circuit ? ".CKT in ngspice" : ".lib in ngspice",
                                   &model.simulated});
    }
    m_view->canvas().clear();
    DrawCheckChart(m_view->canvas(), chart);
    m_view->update();
}

void frmSimulatorCheck::cmdCancel_Click() {
    if (m_task) {
        m_task->cancel();
        m_task.reset();
    }
    StopRunning("The check was cancelled.");
}

void frmSimulatorCheck::cmdExit_Click() {
    if (m_task) {
        m_task->cancel();
    }
    close();
}

} // namespace valvix
