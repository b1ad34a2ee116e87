#pragma once

#include "platform/PictureCache.h"
#include "platform/WindowServices.h"
#include "state/Design.h"

#include <QSize>
#include <QTemporaryDir>

#include <deque>
#include <map>
#include <string>
#include <utility>

class QWidget;

namespace valvix::bench {

// The shipped example design with a 20-curve family (0 to -9.5 V) and its chart picture.
Design ExampleDesign();

// Chart pictures as a 600 dpi scan gives them, made at run time: the shipped example
// chart scaled up to the size asked for, with paper grain, saved as a JPEG in a
// temporary folder. Each size is made once per program run.
class ScanPictures final {
public:
    std::string path(QSize size);

private:
    QTemporaryDir m_dir;
    std::map<std::pair<int, int>, std::string> m_made;
};

// The scans of this benchmark program.
ScanPictures& Scans();

// A 6000 x 4500 scan: a data-sheet page at 600 dpi.
inline constexpr QSize kScanSize{6000, 4500};

// Window services for benchmarks: file dialogs answer from a list, messages are counted,
// modal windows and printers are refused. Pictures come through the picture cache, or,
// the slow way, are decoded again on every call (so the canvas scales every one anew).
class BenchServices final : public WindowServices {
public:
    explicit BenchServices(bool decodeEveryCall = false) : m_decodeEveryCall(decodeEveryCall) {}

    std::deque<std::string> fileAnswers;
    int messages = 0;

    std::optional<std::string> openFileDialog(const FileDialogRequest&) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest&) override;
    void showMessage(const std::string&) override { ++messages; }
    void beep() override {}
    std::shared_ptr<const Picture> loadPicture(const std::string& path) override;
    std::string dateTimeText() override { return "06.12.2026 10:00"; }
    void runModal(QDialog&) override {}
    std::unique_ptr<PrintJob> choosePrinter() override;
    std::unique_ptr<SimulatorTask> startSimulator(const SimulatorJob&, SimulatorDone) override {
        return nullptr;
    }

private:
    bool m_decodeEveryCall;
    PictureCache m_cache;
};

// Shows the window at the given size, or when empty at its default size (the size the
// canvas asks for on this screen), and lets it paint.
void ShowAt(QWidget& window, QSize size);

// Lets the window paint what the last action drew, as the event loop does after it.
void LetPaint();

} // namespace valvix::bench
