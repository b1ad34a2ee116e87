#include "windows/frmAdjust.h"

#include "platform/CanvasView.h"
#include "platform/StraightenedGraphic.h"
#include "platform/WindowServices.h"
#include "state/DesignFile.h"
#include "state/EngineeringText.h"
#include "state/NumberText.h"
#include "state/Single.h"
#include "windows/AdjustFitting.h"
#include "windows/ChangeCommand.h"
#include "windows/EnterKey.h"
#include "windows/HelpWindows.h"
#include "windows/UndoControls.h"

#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

#include <array>
#include <tuple>

namespace valvix {

namespace {

// Every control: bold sans serif at the reference screen's 9000 twips x 0.001 points.
constexpr double kPoints = 9.0;
const QString kFace = "MS Sans Serif";

QString Plain(float value) {
    return QString::fromStdString(FormatPlainNumber(value));
}

// Where each model parameter's row lies, top to bottom: the parameter, its caption, the
// object names of its caption and help button, the caption's top and the row's top.
struct ParameterPlace {
    float Design::*value;
    const char* caption;
    const char* labelName;
    const char* helpName;
    float labelTop;
    float rowTop;
};
const std::array<ParameterPlace, 5> kParameterPlaces{{
    {&Design::Kvb, "Kvb", "Label2", "Command10", 128, 380},
    {&Design::Ex, "Exponent", "Label3", "Command11", 890, 1145},
    {&Design::Mu, "mu", "Label1", "Command12", 1650, 1910},
    {&Design::Kg1, "Kg1", "Label11", "Command13", 2417, 2670},
    {&Design::Kp, "Kp", "Label12", "Command14", 3180, 3435},
}};

// The values of a design as a design file holds them (7 significant digits), without
// the file name and date lines.
std::string FileValues(const Design& design) {
    return DesignFileText(design, {}, {});
}

// What the design file the window opens with holds, read over the design; empty when
// there is none or it can no longer be read.
std::string ValuesOnDisk(const Design& design) {
    Design onDisk = design;
    if (design.DesignFileName.empty() || !ReadDesignFile(design.DesignFileName, onDisk).ok) {
        return {};
    }
    return FileValues(onDisk);
}

} // namespace

frmAdjust::frmAdjust(Design& design, ChartGraphic& graphic, WindowServices& services,
                     AdjustStart start, QWidget* parent)
    : QWidget(parent), m_design(design), m_graphic(graphic), m_services(services),
      m_view(new CanvasView(Qt::white, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    Form_Load(start);
}

QLineEdit* frmAdjust::PlaceField(float Design::*value, QRectF layout) {
    const ValueRule& rule = *RuleFor(value);
    auto* field = m_view->place(new QLineEdit, layout, kPoints, true, kFace);
    field->setObjectName(QString::fromUtf8("txt") + QString::fromUtf8(rule.name));
    connect(field, &QLineEdit::textChanged, this, &frmAdjust::FieldChanged);
    m_fields.emplace_back(&rule, field);
    return field;
}

QLineEdit* frmAdjust::FieldOf(const ValueRule& rule) const {
    for (const auto& [fieldRule, field] : m_fields) {
        if (fieldRule == &rule) {
            return field;
        }
    }
    return nullptr;
}

QPushButton* frmAdjust::PlaceButton(const char* name, const QString& caption, QRectF layout) {
    auto* button = m_view->place(new QPushButton(caption), layout, kPoints, true, kFace);
    button->setObjectName(name);
    return button;
}

void frmAdjust::PlaceLabel(const char* name, const QString& caption, QRectF layout,
                           Qt::Alignment alignment) {
    auto* label = m_view->place(new QLabel(caption), layout, kPoints, true, kFace);
    label->setObjectName(name);
    if (!(alignment & Qt::AlignVertical_Mask)) {
        alignment |= Qt::AlignVCenter;
    }
    label->setAlignment(alignment);
}

void frmAdjust::PlaceParameter(ParameterRow& p, const char* caption, const char* labelName,
                               const char* helpName, float labelTop, float rowTop) {
    const QString name = QString::fromUtf8(p.rule->name);
    PlaceLabel(labelName, caption, {6910, labelTop, 3167, 360}, Qt::AlignHCenter | Qt::AlignTop);
    p.down = PlaceButton(qPrintable("cmd" + name + "Down"), "Down", {6910, rowTop, 900, 360});
    p.field = PlaceField(p.rule->field, {7800, rowTop, 1200, 360});
    p.up = PlaceButton(qPrintable("cmd" + name + "Up"), "Up", {9000, rowTop, 900, 360});
    p.help = PlaceButton(helpName, "H", {10300, rowTop, 360, 360});
    p.help->setEnabled(false);
    connect(p.down, &QPushButton::clicked, this, [this, &p] { Step(p, false); });
    connect(p.up, &QPushButton::clicked, this, [this, &p] { Step(p, true); });
    connect(p.help, &QPushButton::clicked, this, [this, topic = p.rule->parameter->help] {
        OpenModal([topic](QWidget* parent) { return std::make_unique<HelpWindow>(topic, parent); });
    });
}

void frmAdjust::Form_Load(AdjustStart start) {
    PlaceParameterRows();
    PlaceButtons();
    PlaceSettingFields();
    ConnectButtons();
    m_fitting = new AdjustFitting(m_design, m_graphic, m_services, *m_view, m_history,
                                  {[this] {
                                       ShowCurveGraphic();
                                       return ValidateAndPlot();
                                   },
                                   [this](const TriodeParameters& fitted) { applyFit(fitted); }},
                                  this);

    AddUndoControls(*this, *m_view, m_history, {9200, 4450, 1080, 360}, {10360, 4450, 1080, 360},
                    kPoints, true, kFace);

    PressButtonsOnEnter(*this);
    FillFields();
    setWindowTitle(QString::fromStdString("Adjust - " + m_design.DesignFileName));
    m_shownParameters = ParametersOf(m_design);
    m_savedValues = ValuesOnDisk(m_design);
    if (start == AdjustStart::FitWithoutStart) {
        ShowCurveGraphic();
        m_fitting->fitWithoutStart();
    } else {
        Redraw();
    }
}

void frmAdjust::PlaceParameterRows() {
    for (std::size_t i = 0; i < kParameterPlaces.size(); ++i) {
        const ParameterPlace& place = kParameterPlaces[i];
        m_parameters[i].rule = RuleFor(place.value);
        PlaceParameter(m_parameters[i], place.caption, place.labelName, place.helpName,
                       place.labelTop, place.rowTop);
    }
}

void frmAdjust::PlaceButtons() {
    m_cmdPlotRefresh = PlaceButton("cmdPlotRefresh", "Plot / refresh", {6900, 5000, 2000, 360});
    m_cmdExamine = PlaceButton("cmdExamine", "Examine", {9200, 5000, 2240, 360});
    m_cmdSaveFile = PlaceButton("cmdSaveFile", "Save this design", {9200, 5500, 2240, 360});
    m_cmdSubcircuit = PlaceButton("cmdSubcircuit", "See subcircuit", {9200, 6000, 2240, 360});
    m_cmdExit = PlaceButton("cmdExit", "Exit", {9200, 7000, 2240, 360});
}

void frmAdjust::PlaceSettingFields() {
    const auto right = Qt::AlignRight;
    PlaceLabel("Label13", "Plate dissipation", {120, 5850, 2076, 360}, right);
    m_txtDissipation = PlaceField(&Design::Dissipation, {2300, 5850, 1100, 0});
    PlaceLabel("Label4", "Fullscale - X-axis", {4000, 5850, 2680, 360}, right);
    PlaceField(&Design::PlateVoltageFullscale, {6790, 5850, 1200, 0});
    PlaceLabel("Label6", " volts", {8000, 5850, 985, 360}, Qt::AlignLeft);
    PlaceLabel("Label5", "Fullscale - Y-axis", {4000, 6360, 2680, 360}, right);
    PlaceField(&Design::PlateCurrentFullscale, {6790, 6360, 1200, 0});
    PlaceLabel("Label7", " amps", {8000, 6360, 985, 360}, Qt::AlignLeft);
    PlaceLabel("Label8", "Grid voltage - most postitive", {3390, 7120, 3290, 360}, right);
    PlaceField(&Design::GridVoltageMostPos, {6790, 7120, 1200, 0});
    PlaceLabel("Label10", "Grid voltage - most negative", {3390, 7630, 3290, 360}, right);
    PlaceField(&Design::GridVoltageMostNeg, {6790, 7630, 1200, 0});
    PlaceLabel("Label9", "Grid voltage - stepsize", {3390, 8140, 3290, 360}, right);
    PlaceField(&Design::GridVoltageStep, {6790, 8140, 1200, 0});
}

void frmAdjust::ConnectButtons() {
    connect(m_cmdPlotRefresh, &QPushButton::clicked, this, &frmAdjust::cmdPlotRefresh_Click);
    connect(m_cmdExamine, &QPushButton::clicked, this, [this] { OpenModal(m_examine); });
    connect(m_cmdSubcircuit, &QPushButton::clicked, this, [this] { OpenModal(m_subcircuit); });
    connect(m_cmdSaveFile, &QPushButton::clicked, this, &frmAdjust::SaveDesign);
    connect(m_cmdExit, &QPushButton::clicked, this, &frmAdjust::cmdExit_Click);
}

std::string frmAdjust::dissipationText() const {
    return m_txtDissipation->text().toStdString();
}

void frmAdjust::FillFields() {
    for (const auto& [rule, field] : m_fields) {
        if (field != m_txtDissipation) {
            WriteField(field, m_design.*rule->field);
        }
    }
    // The dissipation saved with the design comes back into its field. None (0, as after a
    // design file without its line) leaves the field empty: no limit curve.
    m_txtDissipation->setText(m_design.Dissipation != 0 ? Plain(m_design.Dissipation) : QString());
    FieldChanged();
}

// Every write of a field from the program counts as a change of it, even when the text
// stays the same (a refused value written back as it was typed).
void frmAdjust::WriteField(QLineEdit* field, float value) {
    field->setText(Plain(value));
    FieldChanged();
}

void frmAdjust::ShowCurveGraphic() {
    m_graphic.CurveGraphic.reset(); // the old picture goes before a changed file is decoded
    m_graphic.CurveGraphic = StraightenedGraphic(m_graphic, m_design.GraphicFileName,
                                                 m_services.loadPicture(m_design.GraphicFileName));
    PaintChartArea(m_view->canvas(), m_graphic.CurveGraphic.get());
    m_view->update();
}

bool frmAdjust::ValidateAndPlot() {
    for (const ValueRule& rule : ValueRules()) {
        QLineEdit* field = FieldOf(rule);
        float& value = m_design.*rule.field;
        value = ParseEngineering(field->text().toStdString());
        if (!Accepted(rule, m_design)) {
            m_services.showMessage(std::string(rule.message));
            WriteField(field, value);
            field->setFocus();
            m_pendingFocus = isVisible() ? nullptr : field;
            return false;
        }
    }
    m_plot.draw(m_view->canvas(), m_design);
    m_fitting->drawMarks(m_view->canvas());
    m_view->update();
    RecordModelParameters();
    return true;
}

void frmAdjust::Redraw() {
    ShowCurveGraphic();
    ValidateAndPlot();
}

void frmAdjust::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A value refused while the window loaded gets the focus once the window shows.
    if (m_pendingFocus != nullptr) {
        m_pendingFocus->setFocus();
        m_pendingFocus = nullptr;
    }
}

void frmAdjust::Step(const ParameterRow& p, bool up) {
    // Up and Down read the field as a plain number (a suffix letter ends the number) into
    // the design's Single, and step that stored value.
    const double read = ReadPlainNumber(p.field->text().toStdString());
    const double stored = ToSingle(read);
    const double factor = p.rule->parameter->stepFactor;
    const double stepped = up ? stored * factor : stored / factor;
    if (!FitsSingle(read) || !FitsSingle(stepped)) {
        m_services.showMessage("The value for " + std::string(p.rule->name) +
                               " is beyond the largest number the program can hold; "
                               "please type a smaller value.");
        p.field->setFocus();
        return;
    }
    m_design.*p.rule->field = ToSingle(stepped);
    WriteField(p.field, m_design.*p.rule->field);
    Redraw();
}

void frmAdjust::cmdPlotRefresh_Click() {
    Redraw();
    for (QPushButton* button : {m_cmdSubcircuit, m_cmdExamine, m_cmdSaveFile}) {
        button->setEnabled(true);
    }
    for (const ParameterRow& p : m_parameters) {
        for (QPushButton* button : {p.down, p.up, p.help}) {
            button->setEnabled(true);
        }
    }
}

// "Save this design": the design state as it stands, to the file chosen in the save
// dialog. True when it was written.
bool frmAdjust::SaveDesign() {
    const auto chosen = m_services.saveFileDialog(
        {"Save Valvix design file", "Valvix files (*.VXF)|*.VXF", m_design.SaveFileName});
    if (!chosen || chosen->empty()) {
        return false; // cancelled: nothing is written, not even to the last file saved
    }
    m_design.SaveFileName = *chosen;
    const FileResult written =
        WriteDesignFile(m_design.SaveFileName, m_design, m_services.dateTimeText());
    if (!written.ok) {
        m_services.failure(written.message);
        return false;
    }
    m_savedValues = FileValues(m_design);
    return true;
}

void frmAdjust::cmdExit_Click() {
    if (MayLeave()) {
        m_leaving = true;
        emit exitRequested();
    }
}

void frmAdjust::closeEvent(QCloseEvent* event) {
    if (!m_leaving && !MayLeave()) {
        event->ignore();
        return;
    }
    m_leaving = true;
    QWidget::closeEvent(event);
}

// Unchanged since the design was read or saved, the user may leave at once (a design
// never read or saved has no values to match); otherwise after saving it, or when
// choosing to discard the changes.
bool frmAdjust::MayLeave() {
    if (FileValues(m_design) == m_savedValues) {
        return true;
    }
    switch (m_services.askToSaveChanges(
        "This design has changes that were not saved. Save them before leaving?")) {
    case UnsavedChoice::Save:
        return SaveDesign();
    case UnsavedChoice::Discard:
        return true;
    case UnsavedChoice::Cancel:
        break;
    }
    return false;
}

void frmAdjust::OpenModal(const WindowFactory& factory) {
    if (!factory) {
        return;
    }
    const std::unique_ptr<QDialog> window = factory(this);
    m_services.runModal(*window);
    Redraw();
}

void frmAdjust::FieldChanged() {
    if (m_cmdSubcircuit != nullptr) {
        m_cmdSubcircuit->setEnabled(false);
    }
    if (m_fitting != nullptr) {
        m_fitting->fieldsChanged();
    }
}

// Parameters that took effect in a plot (typed, or stepped with Up or Down) become one
// step of the history.
void frmAdjust::RecordModelParameters() {
    const TriodeParameters now = ParametersOf(m_design);
    const TriodeParameters before = m_shownParameters;
    m_shownParameters = now;
    if (m_showingHistory || std::tie(now.Mu, now.Ex, now.Kg1, now.Kp, now.Kvb) ==
                                std::tie(before.Mu, before.Ex, before.Kg1, before.Kp, before.Kvb)) {
        return;
    }
    m_history.push(new ModelParametersCommand(
        before, now, [this](const TriodeParameters& p) { ShowModelParameters(p); },
        "Parameter change", true));
}

void frmAdjust::applyFit(const TriodeParameters& fitted) {
    m_history.push(new ModelParametersCommand(
        m_shownParameters, fitted, [this](const TriodeParameters& p) { ShowModelParameters(p); },
        "Fit to chart", false, kFitStep));
}

void frmAdjust::ShowModelParameters(const TriodeParameters& p) {
    SetParameters(m_design, p);
    for (const ParameterRow& row : m_parameters) {
        WriteField(row.field, m_design.*row.rule->field);
    }
    m_shownParameters = p;
    m_showingHistory = true;
    Redraw();
    m_showingHistory = false;
}

} // namespace valvix
