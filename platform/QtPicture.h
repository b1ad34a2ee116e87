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

private:
    QImage m_image;
};

} // namespace valvix
