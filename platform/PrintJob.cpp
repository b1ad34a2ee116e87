#include "platform/PrintJob.h"

#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>

namespace valvix {

PrinterJob::PrinterJob(std::unique_ptr<QPrinter> printer) : m_printer(std::move(printer)) {}
PrinterJob::~PrinterJob() = default;
QPaintDevice& PrinterJob::device() {
    return *m_printer;
}

PdfJob::PdfJob(const QString& path) : m_writer(std::make_unique<QPdfWriter>(path)) {
    m_writer->setResolution(600);
    m_writer->setPageSize(QPageSize(QPageSize::Letter));
}
PdfJob::~PdfJob() = default;
QPaintDevice& PdfJob::device() {
    return *m_writer;
}

ImageJob::ImageJob(std::function<void(const QImage&)> onFinished)
    : m_image(1275, 1650, QImage::Format_RGB32), m_onFinished(std::move(onFinished)) {
    m_image.setDotsPerMeterX(5906); // 150 dots per inch
    m_image.setDotsPerMeterY(5906);
    m_image.fill(Qt::white);
}

} // namespace valvix
