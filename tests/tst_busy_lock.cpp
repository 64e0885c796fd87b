// The busy lock: every control stays off while it holds, and each gets back the
// state the work that ran meanwhile last asked for, whatever it asked.
#include "TestMain.h"

#include "app/BusyLock.h"

#include <QComboBox>
#include <QPushButton>
#include <QWidget>

class BusyLockTest : public QObject {
    Q_OBJECT
private slots:
    void controlGetsTheStateLastAskedFor_data();
    void controlGetsTheStateLastAskedFor();
    void controlUnderAParentFollowsTheParentAfterwards_data();
    void controlUnderAParentFollowsTheParentAfterwards();
};

void BusyLockTest::controlGetsTheStateLastAskedFor_data()
{
    QTest::addColumn<bool>("before");
    QTest::addColumn<QList<bool>>("askedMeanwhile");
    QTest::addColumn<bool>("after");
    QTest::newRow("on, untouched") << true << QList<bool>{} << true;
    QTest::newRow("off, untouched") << false << QList<bool>{} << false;
    QTest::newRow("off, turned on (a hum button after its pause)") << false << QList<bool>{true} << true;
    QTest::newRow("on, turned off (set-up left for TX)") << true << QList<bool>{false} << false;
    QTest::newRow("off, on, off again (port closed and opened again)") << false << QList<bool>{true, false}
                                                                       << false;
    QTest::newRow("on, off, on again") << true << QList<bool>{false, true} << true;
    QTest::newRow("on, asked on twice") << true << QList<bool>{true, true} << true;
}

void BusyLockTest::controlGetsTheStateLastAskedFor()
{
    QFETCH(bool, before);
    QFETCH(QList<bool>, askedMeanwhile);
    QFETCH(bool, after);
    QWidget window;
    auto* portList = new QComboBox(&window);
    auto* kept = new QPushButton(&window);
    portList->setEnabled(before);
    BusyLock lock;
    lock.lock({&window}, {kept}, {});
    QVERIFY(kept->isEnabled());
    for (bool asked : askedMeanwhile) {
        portList->setEnabled(asked);
        QVERIFY(!portList->isEnabled());
    }
    lock.unlock();
    QCOMPARE(portList->isEnabled(), after);
    // The lock is gone: what is asked now is done at once.
    portList->setEnabled(!after);
    QCOMPARE(portList->isEnabled(), !after);
}

void BusyLockTest::controlUnderAParentFollowsTheParentAfterwards_data()
{
    QTest::addColumn<bool>("parentAfter");
    QTest::newRow("group turned on meanwhile") << true;
    QTest::newRow("group left off") << false;
}

void BusyLockTest::controlUnderAParentFollowsTheParentAfterwards()
{
    QFETCH(bool, parentAfter);
    QWidget window;
    auto* group = new QWidget(&window);
    auto* button = new QPushButton(group);
    group->setEnabled(false);
    BusyLock lock;
    lock.lock({&window}, {}, {});
    group->setEnabled(parentAfter);
    QVERIFY(!button->isEnabled());
    lock.unlock();
    QCOMPARE(button->isEnabled(), parentAfter);
}

TAVRIN_TEST_MAIN(BusyLockTest)
#include "tst_busy_lock.moc"
