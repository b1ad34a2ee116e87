#include "platform/DesktopServices.h"

#include "platform/NgspiceTask.h"
#include "platform/PrintJob.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QSettings>

namespace valvix {

QString QtNameFilter(const std::string& filter) {
    QString text = QString::fromStdString(filter);
    const qsizetype bar = text.indexOf('|');
    if (bar < 0) {
        return text;
    }
    // The filter's words already name the patterns in brackets; keep only the words.
    QString description = text.left(bar).trimmed();
    const qsizetype bracket = description.indexOf('(');
    if (bracket > 0) {
        description = description.left(bracket).trimmed();
    }
    QStringList patterns;
    for (const QString& pattern : text.mid(bar + 1).split(';', Qt::SkipEmptyParts)) {
        patterns << pattern.trimmed();
    }
    QStringList all = patterns;
    for (const QString& pattern : patterns) {
        if (pattern.toLower() != pattern) {
            all << pattern.toLower();
        }
    }
    return description + " (" + all.join(' ') + ")";
}

namespace {

// The settings key of a dialog's kind of file: its filter's first pattern ("*.VXF").
QString FolderKey(const FileDialogRequest& request) {
    const QString filter = QString::fromStdString(request.filter);
    return "folders/" + filter.mid(filter.indexOf('|') + 1).section(';', 0, 0).trimmed();
}

} // namespace

DesktopServices::DesktopServices()
    : DesktopServices(std::make_unique<QSettings>("Valvix", "Valvix")) {}

DesktopServices::DesktopServices(std::unique_ptr<QSettings> settings)
    : m_settings(std::move(settings)) {}

DesktopServices::~DesktopServices() = default;

QString DesktopServices::startPath(const FileDialogRequest& request) const {
    QString proposed = QString::fromStdString(request.proposedName);
    const QString folder = m_settings->value(FolderKey(request)).toString();
    if (folder.isEmpty() || QFileInfo(proposed).isAbsolute()) {
        return proposed;
    }
    return QDir(folder).filePath(proposed);
}

void DesktopServices::remember(const FileDialogRequest& request, const QString& chosen) {
    m_settings->setValue(FolderKey(request), QFileInfo(chosen).absolutePath());
    m_settings->sync();
}

std::optional<std::string> DesktopServices::ChooseFile(const FileDialogRequest& request,
                                                       FileDialog dialog) {
    const QString chosen =
        dialog(QApplication::activeWindow(), QString::fromStdString(request.title),
               startPath(request), QtNameFilter(request.filter), nullptr, {});
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    remember(request, chosen);
    return chosen.toStdString();
}

std::optional<std::string> DesktopServices::openFileDialog(const FileDialogRequest& request) {
    return ChooseFile(request, &QFileDialog::getOpenFileName);
}

std::optional<std::string> DesktopServices::saveFileDialog(const FileDialogRequest& request) {
    // The name is used as typed: no extension is added.
    return ChooseFile(request, &QFileDialog::getSaveFileName);
}

void DesktopServices::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, "Valvix", QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

UnsavedChoice DesktopServices::askToSaveChanges(const std::string& text) {
    QMessageBox box(QMessageBox::Warning, "Valvix", QString::fromStdString(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel,
                    QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return UnsavedChoice::Save;
    case QMessageBox::Discard:
        return UnsavedChoice::Discard;
    default:
        return UnsavedChoice::Cancel; // also the box closed with Escape or its close control
    }
}

void DesktopServices::beep() {
    QApplication::beep();
}

std::shared_ptr<const Picture> DesktopServices::loadPicture(const std::string& path) {
    return m_pictures.load(path);
}

std::string DesktopServices::dateTimeText() {
    return QLocale::system()
        .toString(QDateTime::currentDateTime(), QLocale::ShortFormat)
        .toStdString();
}

void DesktopServices::runModal(QDialog& window) {
    window.exec();
}

} // namespace valvix

namespace valvix {

std::unique_ptr<PrintJob> DesktopServices::choosePrinter() {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) {
        return nullptr;
    }
    return std::make_unique<PrinterJob>(std::move(printer));
}

} // namespace valvix

namespace valvix {

std::unique_ptr<SimulatorTask> DesktopServices::startSimulator(const SimulatorJob& job,
                                                               SimulatorDone done) {
    auto task = std::make_unique<NgspiceTask>(job, std::move(done));
    task->start();
    return task;
}

} // namespace valvix
