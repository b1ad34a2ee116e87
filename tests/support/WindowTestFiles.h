#pragma once

#include "state/DesignFile.h"
#include "support/SampleDesign.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

#include <string>

namespace valvix::test {

// Files for window tests in a temporary folder.
class WindowTestFiles {
public:
    std::string path(const char* name) const { return m_dir.filePath(name).toStdString(); }

    std::string writeDesign(const DesignState& design, const char* name = "design.VXF") const {
        std::string file = path(name);
        WriteDesignFile(file, design, "06.12.2026 10:00");
        return file;
    }

    std::string writePicture(const char* name = "chart.bmp", int width = 400,
                             int height = 300) const {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(QColor(250, 250, 240));
        std::string file = path(name);
        image.save(QString::fromStdString(file));
        return file;
    }

private:
    QTemporaryDir m_dir;
};

} // namespace valvix::test
