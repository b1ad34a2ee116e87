#include "platform/StraightenedGraphic.h"

#include "platform/QtPicture.h"

#include <QPainter>

namespace valvix {

QImage TurnedLevel(const QImage& image, double tiltDegrees) {
    QImage turned(image.size(), QImage::Format_RGB32);
    turned.fill(Qt::white);
    QPainter painter(&turned);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(image.width() / 2.0, image.height() / 2.0);
    painter.translate(centre);
    painter.rotate(-tiltDegrees);
    painter.translate(-centre);
    painter.drawImage(QPointF(0, 0), image);
    return turned;
}

std::shared_ptr<const Picture> StraightenedGraphic(ChartGraphic& graphic,
                                                   const std::string& graphicFileName,
                                                   std::shared_ptr<const Picture> loaded) {
    GraphicTilt& tilt = graphic.CurveGraphicTilt;
    const auto* qt = dynamic_cast<const QtPicture*>(loaded.get());
    if (tilt.fileName != graphicFileName || tilt.degrees == 0 || qt == nullptr) {
        return loaded;
    }
    if (tilt.loaded != loaded || tilt.madeFor != tilt.degrees || tilt.level == nullptr) {
        tilt.level = std::make_shared<QtPicture>(TurnedLevel(qt->image(), tilt.degrees));
        tilt.loaded = std::move(loaded);
        tilt.madeFor = tilt.degrees;
    }
    return tilt.level;
}

} // namespace valvix
