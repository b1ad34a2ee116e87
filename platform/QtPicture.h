#pragma once

#include "state/Picture.h"

#include <QImage>

#include <algorithm>

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
            m_grey = LevelsOf([](QRgb pixel) { return qGray(pixel); });
        }
        return m_grey;
    }

    // The darkest of each strongly coloured pixel's three channels, the luma of the others
    // (paper tinted with age, grey print), computed on the first call only.
    const GreyLevels& ink() const override {
        if (m_ink.empty() && !m_image.isNull()) {
            m_ink = LevelsOf([](QRgb pixel) {
                const auto [darkest, lightest] =
                    std::minmax({qRed(pixel), qGreen(pixel), qBlue(pixel)});
                return lightest - darkest >= kStrongColour ? darkest : qGray(pixel);
            });
        }
        return m_ink;
    }

private:
    // How far apart a pixel's lightest and darkest channels are where it is strongly
    // coloured: a curve's ink, not paper tinted with age.
    static constexpr int kStrongColour = 64;

    template <class Level> GreyLevels LevelsOf(Level level) const {
        const QImage rgb = m_image.convertToFormat(QImage::Format_RGB32);
        GreyLevels levels{rgb.width(), rgb.height(), {}};
        levels.levels.resize(static_cast<std::size_t>(rgb.width()) *
                             static_cast<std::size_t>(rgb.height()));
        std::uint8_t* out = levels.levels.data();
        for (int y = 0; y < rgb.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
            for (int x = 0; x < rgb.width(); ++x) {
                *out++ = static_cast<std::uint8_t>(level(row[x]));
            }
        }
        return levels;
    }

    QImage m_image;
    mutable GreyLevels m_grey;
    mutable GreyLevels m_ink;
};

} // namespace valvix
