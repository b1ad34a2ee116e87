#include <QtTest>

class tst_Triode final : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_APPLESS_MAIN(tst_Triode)
#include "tst_Triode.moc"
