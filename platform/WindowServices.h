#pragma once

#include "platform/SimulatorTask.h"
#include "state/Picture.h"

#include <memory>
#include <optional>
#include <string>

class QDialog;

namespace valvix {

class PrintJob;

// An open or save dialog: its title, one filter in the form "Description|*.A;*.B",
// and the file name it proposes (the last one chosen in it, or a default).
struct FileDialogRequest {
    std::string title;
    std::string filter;
    std::string proposedName;
};

// What the user chose when asked about changes that were never saved.
enum class UnsavedChoice { Save, Discard, Cancel };

// The services every window uses beyond its own controls. The program gets the
// desktop's; tests swap in scripted doubles that never block.
class WindowServices {
public:
    virtual ~WindowServices() = default;

    // The chosen full path, or nothing when the dialog was cancelled.
    virtual std::optional<std::string> openFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFileDialog(const FileDialogRequest& request) = 0;

    // A modal message box titled "Valvix" with a single OK button.
    virtual void showMessage(const std::string& text) = 0;
    virtual void beep() = 0;

    // A modal box titled "Valvix" asking what to do with changes that were never saved,
    // with the buttons Save, Discard and Cancel. Services that show no boxes (benchmarks,
    // screenshots) leave without saving, as if Discard were pressed.
    virtual UnsavedChoice askToSaveChanges(const std::string& /*text*/) {
        return UnsavedChoice::Discard;
    }

    // Loads a JPEG, GIF or BMP (or PNG) picture of any size; nothing for an empty name
    // or a file that cannot be read.
    virtual std::shared_ptr<const Picture> loadPicture(const std::string& path) = 0;

    // The current local date and time as text.
    virtual std::string dateTimeText() = 0;

    // Shows a window modally; returns when it has been closed.
    virtual void runModal(QDialog& window) = 0;

    // The printer-choice dialog: a page to print on, or nothing when cancelled.
    virtual std::unique_ptr<PrintJob> choosePrinter() = 0;

    // Starts ngspice over a simulator job in the background (see SimulatorTask); done is
    // called once when it ends, unless the task is cancelled or destroyed first.
    virtual std::unique_ptr<SimulatorTask> startSimulator(const SimulatorJob& job,
                                                          SimulatorDone done) = 0;

    // The beep, then the message: how failures are reported.
    void failure(const std::string& text) {
        beep();
        showMessage(text);
    }
};

} // namespace valvix
