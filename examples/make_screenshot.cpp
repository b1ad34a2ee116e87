// Makes the screenshot of the AppStream metainfo with the program's own windows: the
// shipped example design opened as when given to valvix at start, its chart picture
// through "Get graphic", then "Continue" to the Adjust window, whose client area is
// grabbed after "Plot / refresh" and "Fit to chart" have drawn the fitted model's curves
// over the chart at the screenshot's size. Runs on Qt's offscreen platform.
//
// Usage: make_screenshot [output file]   (default: packaging/screenshots/adjust.png)

#include "app/WindowFlow.h"
#include "platform/DesktopServices.h"
#include "platform/PrintJob.h"

#include <QApplication>
#include <QPushButton>
#include <QTextStream>

#include <string>
#include <utility>

using namespace valvix;

namespace {

// The desktop's pictures and clock; the picture dialog answers with the example chart;
// a message is a failure of the run and is kept to be printed.
class ExampleServices final : public WindowServices {
public:
    explicit ExampleServices(std::string chart) : m_chart(std::move(chart)) {}

    std::string messages;

    std::optional<std::string> openFileDialog(const FileDialogRequest& /*request*/) override {
        return m_chart;
    }
    std::optional<std::string> saveFileDialog(const FileDialogRequest& /*request*/) override {
        return std::nullopt;
    }
    void showMessage(const std::string& text) override { messages += text + '\n'; }
    void beep() override {}
    std::shared_ptr<const Picture> loadPicture(const std::string& path) override {
        return m_desktop.loadPicture(path);
    }
    std::string dateTimeText() override { return m_desktop.dateTimeText(); }
    void runModal(QDialog& /*window*/) override {}
    std::unique_ptr<PrintJob> choosePrinter() override { return nullptr; }
    std::unique_ptr<SimulatorTask> startSimulator(const SimulatorJob& /*job*/,
                                                  SimulatorDone /*done*/) override {
        return nullptr;
    }

private:
    std::string m_chart;
    DesktopServices m_desktop;
};

// The designed 12000 x 9000 layout units at 10 units a pixel.
constexpr QSize kSize(1200, 900);

void Press(const WindowFlow& flow, const char* name) {
    flow.current()->findChild<QPushButton*>(name)->click();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QApplication app(argc, argv);
    QTextStream err(stderr);
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VALVIX_SCREENSHOT_FILE);

    Design design;
    ExampleServices services(VALVIX_EXAMPLES_DIR "/example-12AX7.jpg");
    WindowFlow flow(design, services);
    flow.startWithDesign(VALVIX_EXAMPLES_DIR "/example-12AX7.VXF");
    Press(flow, "cmdGetGraphic");
    Press(flow, "cmdContinue");
    flow.current()->resize(kSize);
    QApplication::processEvents();
    Press(flow, "cmdPlotRefresh");
    Press(flow, "cmdFitToChart");
    if (!services.messages.empty()) {
        err << QString::fromStdString(services.messages);
        return 1;
    }
    if (!flow.current()->grab().save(out, "PNG")) {
        err << "Could not write " << out << '\n';
        return 1;
    }
    QTextStream(stdout) << "Wrote " << out << '\n';
    return 0;
}
