#include <QtTest>

class tst_DesignFile final : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_APPLESS_MAIN(tst_DesignFile)
#include "tst_DesignFile.moc"
