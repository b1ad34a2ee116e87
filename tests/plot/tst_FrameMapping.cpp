#include <QtTest>

class tst_FrameMapping final : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_APPLESS_MAIN(tst_FrameMapping)
#include "tst_FrameMapping.moc"
