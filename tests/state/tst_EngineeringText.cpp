#include <QtTest>

class tst_EngineeringText final : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_APPLESS_MAIN(tst_EngineeringText)
#include "tst_EngineeringText.moc"
