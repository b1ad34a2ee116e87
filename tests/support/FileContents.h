#pragma once

// Reading, writing and listing files for the tests of saves.

#include <QDir>
#include <QFile>

namespace valvix::test {

inline QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
}
inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
// Every entry of a folder, hidden ones too, in one line.
inline QString Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(' ');
}

} // namespace valvix::test
