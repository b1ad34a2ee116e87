#pragma once

#include "state/Picture.h"

#include <QImage>

namespace valvix {

// A chart picture held as a Qt image.
class QtPicture final : public Picture {
public:
    explicit QtPicture(QImage image) : m_image(std::move(image)) {}
    int width() const override { return m_image.width(); }
    int height() const override { return m_image.height(); }
    const QImage& image() const { return m_image; }

    // Luma of each pixel (Qt's qGray weighting), computed on the first call only.
    const GreyLevels& grey() const override {
        if (m_grey.empty() && !m_image.isNull()) {
            const QImage rgb = m_image.convertToFormat(QImage::Format_RGB32);
            m_grey.width = rgb.width();
            m_grey.height = rgb.height();
            m_grey.levels.resize(static_cast<std::size_t>(rgb.width()) *
                                 static_cast<std::size_t>(rgb.height()));
            std::uint8_t* out = m_grey.levels.data();
            for (int y = 0; y < rgb.height(); ++y) {
                const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
                for (int x = 0; x < rgb.width(); ++x) {
                    *out++ = static_cast<std::uint8_t>(qGray(row[x]));
                }
            }
        }
        return m_grey;
    }

private:
    QImage m_image;
    mutable GreyLevels m_grey;
};

} // namespace valvix
