#pragma once

#include "platform/WindowServices.h"

#include <QString>

namespace valvix {

// Turns "Description|*.A;*.B" into a Qt name filter that also shows lower-case names:
// "Description (*.A *.B *.a *.b)".
QString QtNameFilter(const std::string& filter);

// The desktop's dialogs, message boxes, beep, pictures and clock.
class DesktopServices final : public WindowServices {
public:
    std::optional<std::string> openFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override;
    void showMessage(const std::string& text) override;
    void beep() override;
    std::shared_ptr<const Picture> loadPicture(const std::string& path) override;
    std::string dateTimeText() override;
    void runModal(QDialog& window) override;
    std::unique_ptr<PrintJob> choosePrinter() override;
    std::unique_ptr<SimulatorTask> startSimulator(const SimulatorJob& job,
                                                  SimulatorDone done) override;
};

} // namespace valvix
