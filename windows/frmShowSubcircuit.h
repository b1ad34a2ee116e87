#pragma once

#include "state/Design.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace valvix {

class WindowServices;

// Shows the subcircuit of the current model under a tube name the user types, and
// writes it as a .CKT file and inside a ready-to-run .ASC test schematic; below them,
// writes the ngspice model (.lib) and checks both files in ngspice.
class frmShowSubcircuit final : public QDialog {
    Q_OBJECT
public:
    frmShowSubcircuit(const Design& design, const ExamineSettings& examine, SubcircuitNames& names,
                      WindowServices& services, QWidget* parent = nullptr);

private:
    void ShowSubcircuitText();
    void cmdWrite_Click();
    void cmdPlotter_Click();
    void cmdExit_Click();
    void cmdWriteModel_Click();
    void cmdCheck_Click();
    void TakeTubeName();

    const Design& m_design;
    const ExamineSettings& m_examine; // the test schematic and the check sweep over these
    SubcircuitNames& m_names;
    WindowServices& m_services;
    std::array<QLabel*, 14> m_subcircuitLines{}; // Label1 to Label14
    QLineEdit* m_txtTubeName = nullptr;
    QPushButton* m_cmdWrite = nullptr;
    QPushButton* m_cmdPlotter = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QPushButton* m_cmdWriteModel = nullptr; // second row: the ngspice model and its check
    QPushButton* m_cmdCheck = nullptr;
};

} // namespace valvix
