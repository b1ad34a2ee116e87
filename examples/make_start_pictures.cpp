// Renders the two pictures of the start window: a "photograph" of a glowing glass triode
// (200 x 329 pixels) and a schematic drawing of a triode with a sketch of its plate
// curves (412 x 255 pixels). Both are drawn from shapes and gradients.
//
// Usage: make_start_pictures [output directory]   (default: app/images of the sources)

#include "StartDrawing.h"
#include "StartPhotograph.h"

#include <QDir>
#include <QGuiApplication>
#include <QString>
#include <QTextStream>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);

    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VALVIX_IMAGES_DIR));
    const QString photographPath = out.filePath(QStringLiteral("photograph.png"));
    const QString drawingPath = out.filePath(QStringLiteral("drawing.png"));
    if (!valvix::pictures::RenderPhotograph().save(photographPath, "PNG")) {
        err << "Could not write " << photographPath << '\n';
        return 1;
    }
    if (!valvix::pictures::RenderDrawing().save(drawingPath, "PNG")) {
        err << "Could not write " << drawingPath << '\n';
        return 1;
    }
    QTextStream(stdout) << "Wrote " << photographPath << " and " << drawingPath << '\n';
    return 0;
}
