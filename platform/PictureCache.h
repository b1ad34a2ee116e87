#pragma once

#include "platform/QtPicture.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <string>

namespace valvix {

// The most pixels a chart picture may have: a 600 dpi scan of a whole A3 page (about 70
// million) fits. A larger picture is refused before it is decoded.
inline constexpr qint64 kMostPicturePixels = 100'000'000;

// Decodes a JPEG, GIF, BMP or PNG file, whatever its name says; nothing when the file
// cannot be read or decoded, or has more than kMostPicturePixels pixels.
std::shared_ptr<const QtPicture> DecodePicture(const QString& path);

// Keeps the picture last loaded and hands out the same object again for as long as its
// file is unchanged on disk: same name, size, modification time and status-change time
// (the last also changes when the file is replaced by renaming another over it, or
// when its permissions change). A changed file is decoded anew; a file that has gone,
// is no longer a file or can no longer be decoded gives nothing, at once.
class PictureCache final {
public:
    std::shared_ptr<const QtPicture> load(const std::string& path);

private:
    struct FileStamp {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        QDateTime statusChanged;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };

    FileStamp m_stamp;
    std::shared_ptr<const QtPicture> m_picture;
};

} // namespace valvix
