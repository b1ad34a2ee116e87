#include <QtTest>

class tst_NumberText final : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_APPLESS_MAIN(tst_NumberText)
#include "tst_NumberText.moc"
