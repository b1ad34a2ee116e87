#include "platform/DesktopServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace valvix;

namespace {

const FileDialogRequest kDesign{"Get Valvix file", "Valvix files (*.VXF)|*.VXF", ""};
const FileDialogRequest kCircuit{"Write CKT file", "CKT files (*.CKT)|*.CKT", "Default.CKT"};

// Answers the next file dialog: notes the folder it opens in and the name it proposes,
// then chooses a file (or cancels when none is given).
void Answer(QString& proposed, const QString& choose = {}) {
    QTimer::singleShot(0, [&proposed, choose] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        proposed = dialog->directory().absolutePath() + " " +
                   QFileInfo(dialog->selectedFiles().value(0)).fileName();
        if (choose.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(choose);
            QMetaObject::invokeMethod(dialog, "accept");
        }
    });
}

} // namespace

class tst_DesktopServices final : public QObject {
    Q_OBJECT
private slots:
    void nameFilters() {
        QCOMPARE(QtNameFilter(kDesign.filter), "Valvix files (*.VXF *.vxf)");
        QCOMPARE(QtNameFilter("Tube curve graphic (*.JPG,*.GIF,*.BMP) | *.JPG;*.GIF;*.BMP"),
                 "Tube curve graphic (*.JPG *.GIF *.BMP *.jpg *.gif *.bmp)");
        QCOMPARE(QtNameFilter("All (*)"), "All (*)");
    }

    // A dialog opens where a file of its kind was last chosen, in this run or an earlier.
    void dialogsOpenWhereTheLastFileOfTheirKindWasChosen() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("designs") && QDir(dir.path()).mkpath("models"));
        const QString design = dir.filePath("designs/a.VXF");
        QFile(design).open(QIODevice::WriteOnly);
        const QString settings = dir.filePath("settings.ini");
        QString proposed;
        {
            DesktopServices services(std::make_unique<QSettings>(settings, QSettings::IniFormat));
            Answer(proposed, design);
            QCOMPARE(services.openFileDialog(kDesign), std::optional(design.toStdString()));
            Answer(proposed, dir.filePath("models/b.CKT"));
            QVERIFY(services.saveFileDialog(kCircuit));
            QCOMPARE(proposed, QDir::currentPath() + " Default.CKT");
        }
        DesktopServices later(std::make_unique<QSettings>(settings, QSettings::IniFormat));
        Answer(proposed);
        QCOMPARE(later.openFileDialog(kDesign), std::nullopt);
        QCOMPARE(proposed, dir.filePath("designs") + " ");
        Answer(proposed);
        QCOMPARE(later.saveFileDialog(kCircuit), std::nullopt);
        QCOMPARE(proposed, dir.filePath("models") + " Default.CKT");
        Answer(proposed);
        later.saveFileDialog(
            {"Write .ASC file", "ASC files (*.ASC)|*.ASC", dir.filePath("T.ASC").toStdString()});
        QCOMPARE(proposed, dir.path() + " T.ASC");
    }
};

QTEST_MAIN(tst_DesktopServices)
#include "tst_DesktopServices.moc"
