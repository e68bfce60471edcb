#include <QTest>
class Smoke : public QObject {
    Q_OBJECT
private slots:
    void builds() { QVERIFY(true); }
};
QTEST_MAIN(Smoke)
#include "tst_smoke.moc"
