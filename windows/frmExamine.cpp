#include "windows/frmExamine.h"

#include "platform/CanvasView.h"
#include "platform/PageSurface.h"
#include "platform/PrintJob.h"
#include "platform/WindowServices.h"
#include "plot/ExamineChart.h"
#include "state/EngineeringText.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace valvix {

namespace {

constexpr double kPoints = 9.0;         // 9000 twips x 0.001 on the reference screen
constexpr double kReadoutPoints = 8.25; // the window's own font
const QString kFace = "MS Sans Serif";
// The line the printed page's footer starts with, before the date and time.
constexpr std::string_view kWebLine = "Valvix - https://valvix.example.org/ - ";

} // namespace

frmExamine::frmExamine(Design& design, ExamineSettings& settings, WindowServices& services,
                       std::function<std::string()> dissipationText, QWidget* parent)
    : QDialog(parent), m_design(design), m_examine(settings), m_services(services),
      m_dissipationText(std::move(dissipationText)),
      m_view(new CanvasView(Qt::white, this)), m_settings{
                                                   {{&ExamineSettings::ExamineVoltsFullscale},
                                                    {&ExamineSettings::ExamineVoltsStep},
                                                    {&ExamineSettings::ExamineAmpsFullscale},
                                                    {&ExamineSettings::ExamineAmpsStep},
                                                    {&ExamineSettings::ExamineGridMostPos},
                                                    {&ExamineSettings::ExamineGridMostNeg},
                                                    {&ExamineSettings::ExamineGridStep}}} {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    Form_Load();
}

void frmExamine::PlaceSettings() {
    struct Row {
        const char* label;
        const char* caption;
        const char* box;
        int setting; // index into m_settings, -1 for the title
        const char* colour;
    };
    const std::array<Row, 8> rows{{
        {"Label1", "Plot X-axis voltage fullscale: ", "Text1", 0, "#FFFFC0"},
        {"Label2", "Plot  X-axis voltage stepsize: ", "Text2", 1, "#FFE0C0"},
        {"Label3", "Plot Y-axis amps fullscale: ", "Text3", 2, "#FFFFC0"},
        {"Label4", "Plot Y-axis amps stepsize: ", "Text4", 3, "#FFE0C0"},
        {"Label6", "Plot grid voltage most positive: ", "Text6", 4, "#FFE0C0"},
        {"Label7", "Plot grid voltage most negative: ", "Text7", 5, "#FFFFC0"},
        {"Label8", "Plot grid voltage stepsize: ", "Text8", 6, "#FFE0C0"},
        {"Label5", "Title: ", "Text5", -1, "#FFFFC0"},
    }};
    float top = 5200;
    for (const Row& row : rows) {
        auto* label =
            m_view->place(new QLabel(row.caption), {1555, top, 4260, 360}, kPoints, true, kFace);
        label->setObjectName(row.label);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setStyleSheet(QString("background-color: %1;").arg(row.colour));
        auto* box = m_view->place(new QLineEdit, {5800, top, 1455, 0}, kPoints, true, kFace);
        box->setObjectName(row.box);
        if (row.setting >= 0) {
            Setting& setting = m_settings[static_cast<std::size_t>(row.setting)];
            setting.box = box;
            connect(box, &QLineEdit::textChanged, this, [this, &setting] { BoxChanged(setting); });
        } else {
            m_pageTitleBox = box;
        }
        top += 400;
    }
}

void frmExamine::PlaceButtons() {
    auto button = [this](const char* name, const char* caption, float top) {
        auto* b =
            m_view->place(new QPushButton(caption), {8120, top, 1980, 390}, kPoints, true, kFace);
        b->setObjectName(name);
        b->setStyleSheet("background-color: #E0E0E0;");
        return b;
    };
    m_cmdPreview = button("cmdPreview", "Plot/refresh", 5200);
    m_cmdExit = button("cmdExit", "Return", 5700);
    m_cmdPrint = button("cmdPrint", "Print", 6200);

    auto* frame = m_view->place(new QGroupBox("Label grid voltages?"), {8120, 6700, 2400, 1290},
                                kPoints, true, kFace);
    frame->setObjectName("Frame2");
    m_optGridVoltageYes =
        m_view->place(new QRadioButton("Yes"), {8240, 6970, 1800, 315}, kPoints, true, kFace);
    m_optGridVoltageYes->setObjectName("optGridVoltageYes");
    m_optGridVoltageNo =
        m_view->place(new QRadioButton("No"), {8240, 7330, 1800, 315}, kPoints, true, kFace);
    m_optGridVoltageNo->setObjectName("optGridVoltageNo");
    auto* group = new QButtonGroup(this);
    group->addButton(m_optGridVoltageYes);
    group->addButton(m_optGridVoltageNo);
    m_optGridVoltageYes->setChecked(true);

    const std::array<const char*, 4> readouts{"Delta V:", "Delta I:", "mu:", "Gm:"};
    for (std::size_t i = 0; i < readouts.size(); ++i) {
        auto* label = m_view->place(new QLabel(readouts[i]),
                                    {120, 1320 + 360 * static_cast<float>(i), 2175, 255},
                                    kReadoutPoints, true, kFace);
        label->setObjectName(QString("Label%1").arg(9 + i));
        label->setStyleSheet("background-color: #F0F0F0;");
        m_readoutLabels[i] = label;
    }
}

void frmExamine::Form_Load() {
    PlaceSettings();
    PlaceButtons();
    connect(m_cmdPreview, &QPushButton::clicked, this, &frmExamine::DrawExamineChart);
    connect(m_cmdExit, &QPushButton::clicked, this, &frmExamine::cmdExit_Click);
    connect(m_cmdPrint, &QPushButton::clicked, this, &frmExamine::cmdPrint_Click);
    connect(m_optGridVoltageYes, &QRadioButton::clicked, this, [this] {
        m_examine.LabelGridVoltages = 1;
        DrawExamineChart();
    });
    connect(m_optGridVoltageNo, &QRadioButton::clicked, this, [this] {
        m_examine.LabelGridVoltages = 0;
        DrawExamineChart();
    });
    connect(m_view, &CanvasView::mousePressed, this, &frmExamine::Form_MouseDown);
    // Only presses on the window's own surface give readouts: a press on a label, button,
    // box or option stays with that control.
    for (QWidget* control : m_view->findChildren<QWidget*>()) {
        control->setAttribute(Qt::WA_NoMousePropagation);
    }

    // Keyboard order: "Return" first, then the grid voltages, the scales, the title.
    QWidget* order[] = {m_cmdExit,         m_settings[4].box, m_settings[5].box, m_settings[6].box,
                        m_settings[0].box, m_settings[1].box, m_settings[2].box, m_settings[3].box,
                        m_pageTitleBox,    m_cmdPreview,      m_cmdPrint};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    m_cmdExit->setFocus();

    FillBoxes();
    setWindowTitle(QString::fromStdString("Examine - " + m_design.DesignFileName));
    m_examine.LabelGridVoltages = 1;
    DrawExamineChart();
}

void frmExamine::FillBoxes() {
    if (m_examine.ExamineSettingsKept == 0) {
        m_examine.ExamineVoltsFullscale = m_design.PlateVoltageFullscale;
        m_examine.ExamineVoltsStep = m_design.PlateVoltageFullscale * 0.2f;
        m_examine.ExamineAmpsFullscale = m_design.PlateCurrentFullscale;
        m_examine.ExamineAmpsStep = m_design.PlateCurrentFullscale * 0.2f;
        m_examine.ExamineGridMostPos = m_design.GridVoltageMostPos;
        m_examine.ExamineGridMostNeg = m_design.GridVoltageMostNeg;
        m_examine.ExamineGridStep = m_design.GridVoltageStep;
    }
    // Writing a box stores the value read back from its text.
    for (const Setting& setting : m_settings) {
        setting.box->setText(QString::fromStdString(FormatEngineering(m_examine.*setting.value)));
    }
}

void frmExamine::BoxChanged(const Setting& setting) {
    m_examine.ExamineSettingsKept = 1;
    m_examine.*setting.value = ParseEngineering(setting.box->text().toStdString());
}

void frmExamine::DrawExamineChart() {
    const StepChanges changed = EnforceMinimumSteps(m_examine);
    const std::array<std::pair<bool, std::size_t>, 3> boxes{
        {{changed.volts, 1}, {changed.amps, 3}, {changed.grid, 6}}};
    for (const auto& [wasChanged, index] : boxes) {
        if (wasChanged) {
            const Setting& setting = m_settings[index];
            setting.box->setText(
                QString::fromStdString(FormatEngineering(m_examine.*setting.value)));
        }
    }
    m_view->canvas().clear();
    m_drawn =
        valvix::DrawExamineChart(m_view->canvas(), {m_design, m_examine, m_drawn.lastPlateCurrent});
    m_view->update();
}

void frmExamine::cmdExit_Click() {
    for (const Setting& setting : m_settings) {
        m_examine.*setting.value = ParseEngineering(setting.box->text().toStdString());
    }
    close();
}

void frmExamine::Form_MouseDown(int button, float x, float y) {
    const ReadoutTexts texts = m_readouts.ShowReadouts(x, y, button, m_drawn.frame, m_examine);
    const std::array<const std::optional<std::string>*, 4> captions{&texts.deltaV, &texts.deltaI,
                                                                    &texts.mu, &texts.gm};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (captions[i]->has_value()) {
            m_readoutLabels[i]->setText(QString::fromStdString(**captions[i]));
        }
    }
}

void frmExamine::cmdPrint_Click() {
    const PrintCheckResult check = CheckPrintSettings(
        m_settings[1].box->text().toStdString(), m_settings[3].box->text().toStdString(),
        m_settings[6].box->text().toStdString(), m_examine);
    if (check.failed != PrintCheck::None) {
        m_services.showMessage(std::string(check.message));
        const std::size_t index = check.failed == PrintCheck::VoltsStep  ? 1
                                  : check.failed == PrintCheck::AmpsStep ? 3
                                                                         : 6;
        m_settings[index].box->setFocus();
        return;
    }
    const std::unique_ptr<PrintJob> job = m_services.choosePrinter();
    if (job == nullptr) {
        return; // cancelled: nothing printed, nothing said
    }
    m_design.Dissipation = ParseEngineering(m_dissipationText ? m_dissipationText() : "");
    PageSurface page(*job, {2500, 2000});
    const std::string footer = std::string(kWebLine) + m_services.dateTimeText();
    if (DrawPrintedPage(page, {m_design, m_examine, m_drawn.lastPlateCurrent},
                        m_pageTitleBox->text().toStdString(), footer)) {
        page.finish();
    }
}

} // namespace valvix
