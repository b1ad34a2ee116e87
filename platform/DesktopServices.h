#pragma once

#include "platform/PictureCache.h"
#include "platform/WindowServices.h"

#include <QFileDialog>
#include <QString>

#include <memory>

class QSettings;

namespace valvix {

// Turns "Description|*.A;*.B" into a Qt name filter that also shows lower-case names:
// "Description (*.A *.B *.a *.b)".
QString QtNameFilter(const std::string& filter);

// The desktop's dialogs, message boxes, beep, pictures and clock. File dialogs open in
// the folder where a file of their kind was last chosen, remembered between runs in the
// given settings (the program's own when none are given).
class DesktopServices final : public WindowServices {
public:
    DesktopServices();
    explicit DesktopServices(std::unique_ptr<QSettings> settings);
    ~DesktopServices() override;

    // What a dialog for the request starts with: a proposed name without a folder is put
    // in the folder last chosen for files of the request's kind (its filter's first
    // pattern); a name with a folder of its own is kept.
    QString startPath(const FileDialogRequest& request) const;
    // Remembers the folder of a file chosen for the request's kind.
    void remember(const FileDialogRequest& request, const QString& chosen);

    std::optional<std::string> openFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override;
    void showMessage(const std::string& text) override;
    UnsavedChoice askToSaveChanges(const std::string& text) override;
    void beep() override;
    std::shared_ptr<const Picture> loadPicture(const std::string& path) override;
    std::string dateTimeText() override;
    void runModal(QDialog& window) override;
    std::unique_ptr<PrintJob> choosePrinter() override;
    std::unique_ptr<SimulatorTask> startSimulator(const SimulatorJob& job,
                                                  SimulatorDone done) override;

private:
    using FileDialog = QString (*)(QWidget*, const QString&, const QString&, const QString&,
                                   QString*, QFileDialog::Options);
    // Shows the dialog for the request; the chosen file, its folder remembered.
    std::optional<std::string> ChooseFile(const FileDialogRequest& request, FileDialog dialog);

    std::unique_ptr<QSettings> m_settings;
    // One decoded chart picture for all windows, read again only when its file changes.
    PictureCache m_pictures;
};

} // namespace valvix
