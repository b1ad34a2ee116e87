#pragma once

#include "platform/CanvasView.h"
#include "platform/DesktopServices.h"
#include "platform/PrintJob.h"
#include "state/DesignFile.h"
#include "support/ScriptedSimulator.h"

#include <QtTest>
#include <QtWidgets>

#include <deque>
#include <functional>

namespace valvix::test {

// Window services for tests: dialogs answer from a script, messages and beeps are
// recorded, modal windows go to a script instead of blocking, files live in a
// temporary folder. Pictures load as on the desktop.
class ScriptedServices final : public WindowServices {
public:
    std::deque<std::optional<std::string>> fileAnswers; // nothing: cancel
    bool waitCursorAtLastLoad = false;                  // whether the wait cursor showed when a picture was last loaded
    std::vector<FileDialogRequest> dialogs;
    std::vector<std::string> messages;
    int beeps = 0;
    std::deque<UnsavedChoice> saveAnswers; // none left: Discard
    std::vector<std::string> saveQuestions;
    std::vector<QString> modalWindows; // captions
    std::function<void(QDialog&)> onModal;
    std::function<std::unique_ptr<PrintJob>()> printer; // none: the dialog is cancelled
    int printerDialogs = 0;
    ScriptedSimulator simulator; // ngspice runs, ended by the test

    std::string path(const QString& name) const { return m_dir.filePath(name).toStdString(); }
    std::string writePicture() const {
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        image.save(m_dir.filePath("chart.bmp"));
        return path("chart.bmp");
    }
    std::string writeDesign(const Design& design) const {
        WriteDesignFile(path("design.VXF"), design, "now");
        return path("design.VXF");
    }
    // The last file dialog as "title|filter|proposed name".
    QString lastDialog() const {
        const FileDialogRequest& d = dialogs.back();
        return QString::fromStdString(d.title + "|" + d.filter + "|" + d.proposedName);
    }

    std::optional<std::string> openFileDialog(const FileDialogRequest& request) override { return answer(request); }
    std::optional<std::string> saveFileDialog(const FileDialogRequest& request) override { return answer(request); }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void beep() override { ++beeps; }
    UnsavedChoice askToSaveChanges(const std::string& text) override {
        saveQuestions.push_back(text);
        const UnsavedChoice next = saveAnswers.empty() ? UnsavedChoice::Discard : saveAnswers.front();
        if (!saveAnswers.empty())
            saveAnswers.pop_front();
        return next;
    }
    std::shared_ptr<const Picture> loadPicture(const std::string& path) override {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        waitCursorAtLastLoad = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
        return m_desktop.loadPicture(path);
    }
    std::string dateTimeText() override { return "06.12.2026 10:00"; }
    void runModal(QDialog& window) override {
        modalWindows.push_back(window.windowTitle());
        if (onModal)
            onModal(window);
    }
    std::unique_ptr<PrintJob> choosePrinter() override {
        ++printerDialogs;
        return printer ? printer() : nullptr;
    }

    std::unique_ptr<SimulatorTask> startSimulator(const SimulatorJob& job, SimulatorDone done) override {
        return simulator.start(job, std::move(done));
    }

private:
    std::optional<std::string> answer(const FileDialogRequest& request) {
        dialogs.push_back(request);
        auto next = fileAnswers.empty() ? std::nullopt : fileAnswers.front();
        if (!fileAnswers.empty())
            fileAnswers.pop_front();
        return next;
    }
    QTemporaryDir m_dir;
    DesktopServices m_desktop{std::make_unique<QSettings>(m_dir.filePath("settings.ini"), QSettings::IniFormat)};
};

// Shows a window at 800 x 600 pixels, where a pixel is 15 layout units.
inline void Show(QWidget& window) {
    window.resize(800, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
}
// Clicks whatever lies at a point of a window's layout: a control, or the surface.
inline void ClickAt(CanvasView& view, float x, float y, Qt::MouseButton button = Qt::LeftButton) {
    const QPoint pixel = view.canvas().toPixels({x, y}).toPoint();
    QWidget* target = view.childAt(pixel) ? view.childAt(pixel) : &view;
    QTest::mouseClick(target, button, {}, target->mapFrom(&view, pixel));
}
// Clicks a control of a window's layout 6 pixels right of its left edge (where an
// option button's circle is), through the window as a user would.
inline void Press(CanvasView& view, const char* name, Qt::MouseButton button = Qt::LeftButton) {
    const QRect at = view.findChild<QWidget*>(name)->geometry();
    ClickAt(view, float(at.left() + 6) * 15, float(at.center().y()) * 15, button);
}

// Replaces the text of an entry field of a window by typing.
inline void Type(QWidget& window, const char* field, const QString& text) {
    QLineEdit* edit = window.findChild<QLineEdit*>(field);
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// A control laid out in layout units: name, caption (text of an entry field) and
// rectangle; a height of 0 is one line of text.
struct Placed {
    QString name, caption;
    float x, y, width, height;
};
inline void CheckLayout(CanvasView& view, std::initializer_list<Placed> controls) {
    for (const Placed& c : controls) {
        const QWidget* control = view.findChild<QWidget*>(c.name);
        QVERIFY2(control, qPrintable(c.name));
        const double s = view.canvas().scale();
        const QRect at =
            QRectF(c.x * s, c.y * s, c.width * s, c.height != 0 ? c.height * s : control->sizeHint().height()).toRect();
        QCOMPARE(control->geometry(), at);
        QCOMPARE(control->property(control->inherits("QGroupBox") ? "title" : "text").toString(), c.caption);
    }
}

} // namespace valvix::test
