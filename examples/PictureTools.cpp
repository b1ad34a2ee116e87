#include "PictureTools.h"

namespace valvix::pictures {

namespace {

// 96 dots per inch.
constexpr int kDotsPerMetre = 3780;

} // namespace

QImage Canvas(int width, int height, const QColor& fill) {
    QImage image(width * kOversample, height * kOversample, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    image.fill(fill);
    return image;
}

void Prepare(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(kOversample, kOversample);
}

QImage Finish(const QImage& big, int width, int height) {
    return big.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

QFont Font(const QString& family, double pixels, bool bold, bool italic) {
    QFont font(family);
    font.setPointSizeF(pixels * 72.0 / 96.0);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

} // namespace valvix::pictures
