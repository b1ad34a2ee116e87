#include "windows/frmShowSubcircuit.h"

#include "export/NgspiceModel.h"
#include "export/Schematic.h"
#include "export/Subcircuit.h"
#include "platform/WindowServices.h"
#include "windows/frmSimulatorCheck.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace valvix {

namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect at) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(at);
    button->setStyleSheet("background-color: #E0E0E0;");
    return button;
}

// Every line must be readable whole: a line wider than the room its label has at the
// window's size is shown in a smaller font.
void FitWithin(QLabel& label, int room) {
    QFont font = label.parentWidget()->font();
    while (QFontMetrics(font).horizontalAdvance(label.text()) > room && font.pointSizeF() > 4) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    label.setFont(font);
}

} // namespace

frmShowSubcircuit::frmShowSubcircuit(const Design& design, const ExamineSettings& examine,
                                     SubcircuitNames& names, WindowServices& services,
                                     QWidget* parent)
    : QDialog(parent), m_design(design), m_examine(examine), m_names(names), m_services(services) {
    setWindowTitle("Valvix - Subcircuit / schematic");
    setFixedSize(611, 348);
    setAutoFillBackground(true);
    setPalette(QPalette(Qt::black, Qt::white));
    QFont font("MS Sans Serif");
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    font.setBold(true);
    setFont(font);

    for (std::size_t i = 0; i < m_subcircuitLines.size(); ++i) {
        const int n = static_cast<int>(i) + 1;
        m_subcircuitLines[i] = new QLabel(QString("Label%1").arg(n), this);
        m_subcircuitLines[i]->setObjectName(QString("Label%1").arg(n));
        m_subcircuitLines[i]->setTextFormat(
            Qt::PlainText); // a tube name is shown as typed, never as markup
        m_subcircuitLines[i]->setGeometry(24, 24 + 16 * (n - 1), n == 2 ? 600 : 481, 17);
    }
    m_txtTubeName = new QLineEdit("TubeName", this);
    m_txtTubeName->setObjectName("txtTubeName");
    m_txtTubeName->setGeometry(24, 280, 121, 25);
    m_cmdWrite = MakeButton(this, "cmdWrite", "Write CKT file", {152, 280, 145, 25});
    m_cmdPlotter = MakeButton(this, "cmdPlotter", "Write ASC file", {304, 280, 145, 25});
    m_cmdExit = MakeButton(this, "cmdExit", "Return", {456, 280, 121, 25});
    m_cmdWriteModel = MakeButton(this, "cmdWriteModel", "Write ngspice model", {152, 313, 209, 25});
    m_cmdCheck = MakeButton(this, "cmdCheck", "Check in ngspice", {368, 313, 209, 25});

    connect(m_txtTubeName, &QLineEdit::textChanged, this, &frmShowSubcircuit::ShowSubcircuitText);
    connect(m_cmdWrite, &QPushButton::clicked, this, &frmShowSubcircuit::cmdWrite_Click);
    connect(m_cmdPlotter, &QPushButton::clicked, this, &frmShowSubcircuit::cmdPlotter_Click);
    connect(m_cmdExit, &QPushButton::clicked, this, &frmShowSubcircuit::cmdExit_Click);
    connect(m_cmdWriteModel, &QPushButton::clicked, this, &frmShowSubcircuit::cmdWriteModel_Click);
    connect(m_cmdCheck, &QPushButton::clicked, this, &frmShowSubcircuit::cmdCheck_Click);
    ShowSubcircuitText();
}

void frmShowSubcircuit::TakeTubeName() {
    m_names.TubeName = m_txtTubeName->text().toStdString();
}

void frmShowSubcircuit::ShowSubcircuitText() {
    TakeTubeName();
    const auto lines = SubcircuitLines(m_design, m_names.TubeName);
    for (std::size_t i = 0; i < m_subcircuitLines.size(); ++i) {
        m_subcircuitLines[i]->setText(QString::fromStdString(lines[i]));
        FitWithin(*m_subcircuitLines[i],
                  std::min(m_subcircuitLines[i]->width(), width() - m_subcircuitLines[i]->x()));
    }
}

void frmShowSubcircuit::cmdWrite_Click() {
    TakeTubeName();
    m_names.CircuitFileName = "Default.CKT";
    const auto chosen = m_services.saveFileDialog(
        {"Write CKT file", "CKT files (*.CKT)|*.CKT", m_names.CircuitFileName});
    if (!chosen) {
        return; // cancelled: writing "Default.CKT" anyway could overwrite another design's
    }
    m_names.CircuitFileName = *chosen;
    const FileResult written =
        WriteCircuitFile(m_names.CircuitFileName, m_design, m_names.TubeName);
    if (!written.ok) {
        m_services.failure(written.message);
    }
}

void frmShowSubcircuit::cmdPlotter_Click() {
    TakeTubeName();
    m_names.SchematicFileName = m_names.TubeName + ".ASC";
    const auto chosen = m_services.saveFileDialog(
        {"Write .ASC file", "ASC files (*.ASC)|*.ASC", m_names.SchematicFileName});
    if (!chosen) {
        return;
    }
    m_names.SchematicFileName = *chosen;
    const FileResult written =
        WritePlotterFile(m_names.SchematicFileName, m_design, m_examine, m_names.TubeName);
    if (!written.ok) {
        m_services.failure(written.message);
    }
}

void frmShowSubcircuit::cmdWriteModel_Click() {
    TakeTubeName();
    const auto chosen = m_services.saveFileDialog(
        {"Write ngspice model", "ngspice model files (*.lib)|*.lib", m_names.TubeName + ".lib"});
    if (!chosen) {
        return;
    }
    const FileResult written = WriteNgspiceModelFile(*chosen, m_design, m_names.TubeName);
    if (!written.ok) {
        m_services.failure(written.message);
    }
}

void frmShowSubcircuit::cmdCheck_Click() {
    TakeTubeName();
    frmSimulatorCheck check(MakeCheckPlan(m_design, m_examine, m_names.TubeName), m_services, this);
    m_services.runModal(check);
}

void frmShowSubcircuit::cmdExit_Click() {
    TakeTubeName();
    close();
}

} // namespace valvix
