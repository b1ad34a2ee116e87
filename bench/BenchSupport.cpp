#include "BenchSupport.h"

#include "platform/CanvasView.h"
#include "platform/PrintJob.h"
#include "state/DesignFile.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <algorithm>
#include <cstdint>

namespace valvix::bench {

Design ExampleDesign() {
    Design design;
    ReadDesignFile(VALVIX_EXAMPLES_DIR "/example-12AX7.VXF", design);
    design.GraphicFileName = VALVIX_EXAMPLES_DIR "/example-12AX7.jpg";
    design.GridVoltageMostPos = 0;
    design.GridVoltageMostNeg = -9.5f;
    design.GridVoltageStep = 0.5f;
    return design;
}

std::string ScanPictures::path(QSize size) {
    const auto key = std::make_pair(size.width(), size.height());
    if (const auto made = m_made.find(key); made != m_made.end()) {
        return made->second;
    }
    QImage scan = QImage(VALVIX_EXAMPLES_DIR "/example-12AX7.jpg")
                      .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                      .convertToFormat(QImage::Format_RGB32);
    // Paper grain: every pixel a few levels lighter or darker, as a scanner gives it.
    std::uint32_t noise = 12345;
    for (int y = 0; y < scan.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(scan.scanLine(y));
        for (int x = 0; x < scan.width(); ++x) {
            noise = noise * 1664525U + 1013904223U;
            const int grain = static_cast<int>(noise >> 28) - 8;
            const auto level = [&](int c) { return std::clamp(c + grain, 0, 255); };
            row[x] = qRgb(level(qRed(row[x])), level(qGreen(row[x])), level(qBlue(row[x])));
        }
    }
    const QString name =
        m_dir.filePath(QString("scan-%1x%2.jpg").arg(size.width()).arg(size.height()));
    scan.save(name, "JPG", 90);
    return m_made[key] = name.toStdString();
}

ScanPictures& Scans() {
    static ScanPictures scans;
    return scans;
}

std::optional<std::string> BenchServices::openFileDialog(const FileDialogRequest&) {
    if (fileAnswers.empty()) {
        return std::nullopt;
    }
    std::string answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<std::string> BenchServices::saveFileDialog(const FileDialogRequest& request) {
    return openFileDialog(request);
}

std::shared_ptr<const Picture> BenchServices::loadPicture(const std::string& path) {
    if (!m_decodeEveryCall) {
        return m_cache.load(path);
    }
    return path.empty() ? nullptr : DecodePicture(QString::fromStdString(path));
}

std::unique_ptr<PrintJob> BenchServices::choosePrinter() {
    return nullptr;
}

void ShowAt(QWidget& window, QSize size) {
    window.show();
    window.resize(size.isEmpty() ? CanvasView::preferredSize() : size);
    LetPaint();
}

void LetPaint() {
    QApplication::processEvents();
}

} // namespace valvix::bench
