// Renders the shipped example charts (data-sheet style plate-characteristics charts with
// a slightly scanned look) and the example designs that go with them: the frame lined up
// with the chart's axes, the chart's scales and grid voltages, and model parameters that
// are near the chart's but still need fitting.
//
// Usage: make_example [output directory]
//        (default: the examples folder of the sources)

#include "ChartRender.h"

#include "state/DesignFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QTextStream>

using namespace valvix;
using namespace valvix::example;

namespace {

// Fixed, so that regenerating gives the same design files.
constexpr char kSavedDate[] = "01/06/2024 12:00:00";

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

// Writes NAME.jpg and NAME.VXF; false after saying what could not be written.
bool WriteExample(const QDir& out, const QString& name, const ChartSpec& sheet) {
    QTextStream err(stderr);
    const QString picturePath = out.filePath(name + ".jpg");
    if (!RenderChart(sheet).save(picturePath, "JPG", 90)) {
        err << "Could not write " << picturePath << '\n';
        return false;
    }
    const QString designPath = out.filePath(name + ".VXF");
    const std::string text =
        DesignFileText(ChartDesign(sheet, sheet.saved), (name + ".VXF").toStdString(), kSavedDate);
    if (!WriteBytes(designPath, QByteArray::fromStdString(text))) {
        err << "Could not write " << designPath << '\n';
        return false;
    }
    QTextStream(stdout) << "Wrote " << picturePath << " and " << designPath << '\n';
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QStringList arguments = QGuiApplication::arguments().mid(1);
    const QDir out(arguments.isEmpty() ? QStringLiteral(VALVIX_EXAMPLES_DIR) : arguments[0]);

    const bool ok = WriteExample(out, QStringLiteral("example-12AX7"), Example12AX7()) &&
                    WriteExample(out, QStringLiteral("example-6SN7"), Example6SN7());
    return ok ? 0 : 1;
}
