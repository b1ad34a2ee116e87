#pragma once

#include "platform/DesktopServices.h"
#include "platform/PrintJob.h"
#include "platform/WindowServices.h"
#include "support/ScriptedSimulator.h"

#include <QDialog>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace valvix::test {

// Window services for tests: dialogs answer from a script, messages and beeps are
// recorded, modal windows are handed to a script instead of blocking.
class ScriptedServices final : public WindowServices {
public:
    // Answers for the next file dialogs, in order; nothing means "cancel".
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<FileDialogRequest> dialogs;
    std::vector<std::string> messages;
    int beeps = 0;
    std::vector<QString> modalWindows; // captions of the windows run modally
    std::function<void(QDialog&)> onModal;
    // What the printer dialog gives next: nothing means the user cancelled it.
    std::function<std::unique_ptr<PrintJob>()> printer;
    int printerDialogs = 0;
    std::string now = "06.12.2026 10:00";
    ScriptedSimulator simulator; // ngspice runs, ended by the test

    std::optional<std::string> openFileDialog(const FileDialogRequest& request) override {
        return answer(request);
    }
    std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override {
        return answer(request);
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void beep() override { ++beeps; }
    std::shared_ptr<const Picture> loadPicture(const std::string& path) override {
        return m_desktop.loadPicture(path);
    }
    std::string dateTimeText() override { return now; }
    void runModal(QDialog& window) override {
        modalWindows.push_back(window.windowTitle());
        if (onModal) {
            onModal(window);
        }
    }

    std::unique_ptr<PrintJob> choosePrinter() override {
        ++printerDialogs;
        return printer ? printer() : nullptr;
    }

    std::unique_ptr<SimulatorTask> startSimulator(const SimulatorJob& job,
                                                  SimulatorDone done) override {
        return simulator.start(job, std::move(done));
    }

private:
    std::optional<std::string> answer(const FileDialogRequest& request) {
        dialogs.push_back(request);
        if (fileAnswers.empty()) {
            return std::nullopt;
        }
        auto next = fileAnswers.front();
        fileAnswers.pop_front();
        return next;
    }

    DesktopServices m_desktop;
};

} // namespace valvix::test
