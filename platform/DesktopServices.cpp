#include "platform/DesktopServices.h"

#include "platform/NgspiceTask.h"
#include "platform/PrintJob.h"
#include "platform/QtPicture.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QFileDialog>
#include <QImageReader>
#include <QLocale>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

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

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return path.toStdString();
}

} // namespace

std::optional<std::string> DesktopServices::openFileDialog(const FileDialogRequest& request) {
    return Chosen(QFileDialog::getOpenFileName(
        QApplication::activeWindow(), QString::fromStdString(request.title),
        QString::fromStdString(request.proposedName), QtNameFilter(request.filter)));
}

std::optional<std::string> DesktopServices::saveFileDialog(const FileDialogRequest& request) {
    // The name is used as typed: no extension is added.
    return Chosen(QFileDialog::getSaveFileName(
        QApplication::activeWindow(), QString::fromStdString(request.title),
        QString::fromStdString(request.proposedName), QtNameFilter(request.filter)));
}

void DesktopServices::showMessage(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, "Valvix", QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void DesktopServices::beep() {
    QApplication::beep();
}

std::shared_ptr<const Picture> DesktopServices::loadPicture(const std::string& path) {
    if (path.empty()) {
        return nullptr;
    }
    QImageReader reader(QString::fromStdString(path));
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull()) {
        return nullptr;
    }
    return std::make_shared<QtPicture>(std::move(image));
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
