#pragma once

#include <QImage>
#include <QString>

#include <functional>
#include <memory>

class QPaintDevice;
class QPrinter;
class QPdfWriter;

namespace valvix {

// One printed page in the making: a paint device, and what finishing it means.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    virtual QPaintDevice& device() = 0;
    // Called after the page's painter has ended.
    virtual void finish() {}
};

// A printer chosen in the printer dialog.
class PrinterJob final : public PrintJob {
public:
    explicit PrinterJob(std::unique_ptr<QPrinter> printer);
    ~PrinterJob() override;
    QPaintDevice& device() override;

private:
    std::unique_ptr<QPrinter> m_printer;
};

// A PDF file, written when the page's painter ends.
class PdfJob final : public PrintJob {
public:
    explicit PdfJob(const QString& path);
    ~PdfJob() override;
    QPaintDevice& device() override;

private:
    std::unique_ptr<QPdfWriter> m_writer;
};

// A letter-size page at 150 dots per inch in memory, handed to a callback when it is
// finished: printing to look at the page.
class ImageJob final : public PrintJob {
public:
    explicit ImageJob(std::function<void(const QImage&)> onFinished);
    QPaintDevice& device() override { return m_image; }
    void finish() override { m_onFinished(m_image); }

private:
    QImage m_image;
    std::function<void(const QImage&)> m_onFinished;
};

} // namespace valvix
