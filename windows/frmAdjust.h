#pragma once

#include "model/Triode.h"
#include "platform/ChartGraphic.h"
#include "plot/OverlayPlot.h"
#include "state/Design.h"
#include "state/ValueRules.h"

#include <QLineEdit>
#include <QPushButton>
#include <QUndoStack>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QDialog;

namespace valvix {

class AdjustFitting;
class CanvasView;
class WindowServices;

// How the Adjust window opens: showing the design as it is, or fitting the model to the
// chart at once without a start (a design read from its picture, whose five model
// parameters are none yet).
enum class AdjustStart { ShowDesign, FitWithoutStart };

// The Adjust window: the chart with the model's curves over it, the five model
// parameters with Up and Down, the plot scales and grid voltages, saving the design
// and the doors to the Examine, subcircuit and help windows.
class frmAdjust final : public QWidget {
    Q_OBJECT
public:
    frmAdjust(Design& design, ChartGraphic& graphic, WindowServices& services,
              AdjustStart start = AdjustStart::ShowDesign, QWidget* parent = nullptr);

    CanvasView& view() { return *m_view; }

    // The plate-dissipation entry as typed; the printed page reads it afresh.
    std::string dissipationText() const;

    // Windows opened modally from here; each opening makes a fresh one.
    using WindowFactory = std::function<std::unique_ptr<QDialog>(QWidget* parent)>;
    void setExamineWindow(WindowFactory factory) { m_examine = std::move(factory); }
    void setSubcircuitWindow(WindowFactory factory) { m_subcircuit = std::move(factory); }

    // Sets fitted model parameters as one "Fit to chart" step of the undo history, which
    // "Undo fit" and Ctrl+Z both take back: writes them into their fields in plain number
    // form and redraws.
    void applyFit(const TriodeParameters& fitted);
    QUndoStack& history() { return m_history; }

signals:
    // "Exit" was pressed and the user may leave (see closeEvent): the program ends.
    void exitRequested();

protected:
    void showEvent(QShowEvent* event) override;
    // With changes that were never saved, asks Save, Discard or Cancel first; the window
    // stays open on Cancel and when the save is cancelled or fails.
    void closeEvent(QCloseEvent* event) override;

private:
    // One model parameter's row: its rule (name, range, Up/Down factor, help window),
    // entry field and buttons.
    struct ParameterRow {
        const ValueRule* rule = nullptr;
        QLineEdit* field = nullptr;
        QPushButton* down = nullptr;
        QPushButton* up = nullptr;
        QPushButton* help = nullptr;
    };

    void Form_Load(AdjustStart start);
    void PlaceParameterRows();
    void PlaceButtons();
    void PlaceSettingFields();
    void ConnectButtons();
    void PlaceParameter(ParameterRow& row, const char* caption, const char* labelName,
                        const char* helpName, float labelTop, float rowTop);
    QLineEdit* PlaceField(float Design::*value, QRectF layout);
    QLineEdit* FieldOf(const ValueRule& rule) const;
    QPushButton* PlaceButton(const char* name, const QString& caption, QRectF layout);
    void PlaceLabel(const char* name, const QString& caption, QRectF layout,
                    Qt::Alignment alignment);
    void FillFields();
    void WriteField(QLineEdit* field, float value);

    void ShowCurveGraphic();
    bool ValidateAndPlot();
    void Redraw();
    void Step(const ParameterRow& row, bool up);
    void cmdPlotRefresh_Click();
    bool SaveDesign();
    void cmdExit_Click();
    bool MayLeave();
    void OpenModal(const WindowFactory& factory);
    void FieldChanged();
    void RecordModelParameters();
    void ShowModelParameters(const TriodeParameters& parameters);

    Design& m_design;

    ChartGraphic& m_graphic;
    WindowServices& m_services;
    CanvasView* m_view;
    OverlayPlot m_plot;
    AdjustFitting* m_fitting = nullptr;
    WindowFactory m_examine;
    WindowFactory m_subcircuit;
    QLineEdit* m_pendingFocus = nullptr;
    QUndoStack m_history;
    TriodeParameters m_shownParameters; // those of the last plot that passed validation
    bool m_showingHistory = false;
    // The values of the design file as last read or saved, as saving writes them; empty
    // when the design was never read from or saved to a file.
    std::string m_savedValues;
    bool m_leaving = false; // leaving was allowed: closing asks nothing more

    std::array<ParameterRow, 5> m_parameters; // top to bottom
    // The entry field of each value the window checks ("txt" and the rule's name).
    std::vector<std::pair<const ValueRule*, QLineEdit*>> m_fields;
    QLineEdit* m_txtDissipation = nullptr;
    QPushButton* m_cmdPlotRefresh = nullptr;
    QPushButton* m_cmdExamine = nullptr;
    QPushButton* m_cmdSaveFile = nullptr;
    QPushButton* m_cmdSubcircuit = nullptr;
    QPushButton* m_cmdExit = nullptr;
};

} // namespace valvix
