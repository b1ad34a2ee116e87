#include "platform/PictureCache.h"

#include <QFileInfo>
#include <QImageReader>

namespace valvix {

namespace {

// The decoder may allocate what the largest picture needs at 4 bytes a pixel.
constexpr int kDecodeLimitMegabytes = static_cast<int>((kMostPicturePixels * 4 + 0xFFFFF) >> 20);

bool TooLarge(QSize size) {
    return static_cast<qint64>(size.width()) * size.height() > kMostPicturePixels;
}

} // namespace

std::shared_ptr<const QtPicture> DecodePicture(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(kDecodeLimitMegabytes);
    // The header's size is checked first, so a file that claims a huge picture costs
    // nothing; the allocation limit catches formats that tell their size only later.
    if (TooLarge(reader.size())) {
        return nullptr;
    }
    QImage image = reader.read();
    if (image.isNull() || TooLarge(image.size())) {
        return nullptr;
    }
    return std::make_shared<const QtPicture>(std::move(image));
}

std::shared_ptr<const QtPicture> PictureCache::load(const std::string& path) {
    const QString name = QString::fromStdString(path);
    const QFileInfo file(name);
    if (path.empty() || !file.isFile()) {
        m_picture.reset();
        return nullptr;
    }
    FileStamp stamp{name, file.size(), file.lastModified(),
                    file.fileTime(QFileDevice::FileMetadataChangeTime)};
    if (m_picture != nullptr && stamp == m_stamp) {
        return m_picture;
    }
    m_picture.reset(); // the old pixels go before the new ones are decoded
    m_picture = DecodePicture(name);
    m_stamp = m_picture != nullptr ? std::move(stamp) : FileStamp{};
    return m_picture;
}

} // namespace valvix
