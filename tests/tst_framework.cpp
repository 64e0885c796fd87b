// The runtime every window relies on: conversion, rounding, the default error
// box and window-timer semantics.
#include "RecordingDialogs.h"
#include "SimClock.h"
#include "TestMain.h"

#include "common/Dialogs.h"
#include "common/Framework.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

class FrameworkTest : public QObject {
    Q_OBJECT
private slots:
    void conversionAcceptsDecimalIntegers_data();
    void conversionAcceptsDecimalIntegers();
    void conversionRejectsWithTheClassicMessage_data();
    void conversionRejectsWithTheClassicMessage();
    void roundingGoesHalfToEven_data();
    void roundingGoesHalfToEven();

    void messageBoxesShowCarriageReturnsAsLineBreaks_data();
    void messageBoxesShowCarriageReturnsAsLineBreaks();

    void errorInTimerTickIsShownAndProgramGoesOn();
    void errorInAnyEventIsShownByTheApplication();

    void timerFiresEveryIntervalWhileEnabled();
    void tickMayDisableReenableAndRetimeItsTimer();
    void timerDueDuringPauseFiresOnceAfterIt();
    void workArrivingDuringPauseRunsAfterItInOrder();
    void realPauseKeepsTheEventLoopButHoldsTicksAndHandOvers();
    void settledWorkRunsAfterTheHandlerAndItsNestedLoops_data();
    void settledWorkRunsAfterTheHandlerAndItsNestedLoops();
};

void FrameworkTest::conversionAcceptsDecimalIntegers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "4660" << 4660;
    QTest::newRow("negative") << "-5" << -5;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("surrounding blanks") << " 12 " << 12;
    QTest::newRow("largest") << "2147483647" << 2147483647;
}

void FrameworkTest::conversionAcceptsDecimalIntegers()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(StrToInt(text), value);
}

void FrameworkTest::conversionRejectsWithTheClassicMessage_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("empty") << ""
                           << "'' is not a valid integer value";
    QTest::newRow("letters") << "abc"
                             << "'abc' is not a valid integer value";
    QTest::newRow("trailing letter") << "12x"
                                     << "'12x' is not a valid integer value";
    QTest::newRow("lone sign") << "-"
                               << "'-' is not a valid integer value";
    QTest::newRow("decimal point") << "1.5"
                                   << "'1.5' is not a valid integer value";
    QTest::newRow("overflow") << "2147483648"
                              << "'2147483648' is not a valid integer value";
    QTest::newRow("80 characters quoted whole")
        << QString(80, 'x') << "'" + QString(80, 'x') + "' is not a valid integer value";
    QTest::newRow("81 characters cut to 80") << QString(81, 'x') + "y"
                                             << "'" + QString(80, 'x') + "...' is not a valid integer value";
    QTest::newRow("a megabyte of digits")
        << QString(1 << 20, '9') << "'" + QString(80, '9') + "...' is not a valid integer value";
}

void FrameworkTest::conversionRejectsWithTheClassicMessage()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    try {
        StrToInt(text);
        QFAIL("no error raised");
    } catch (const EConvertError& e) {
        QCOMPARE(e.message(), message);
    }
}

void FrameworkTest::roundingGoesHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<long long>("rounded");
    QTest::newRow("12.5") << 12.5 << 12LL;
    QTest::newRow("13.5") << 13.5 << 14LL;
    QTest::newRow("-2.5") << -2.5 << -2LL;
    QTest::newRow("-3.5") << -3.5 << -4LL;
    QTest::newRow("2.4999") << 2.4999 << 2LL;
    QTest::newRow("2.5001") << 2.5001 << 3LL;
    QTest::newRow("-0.7") << -0.7 << -1LL;
}

void FrameworkTest::roundingGoesHalfToEven()
{
    QFETCH(double, value);
    QFETCH(long long, rounded);
    QCOMPARE(RoundHalfEven(value), rounded);
}

void FrameworkTest::messageBoxesShowCarriageReturnsAsLineBreaks_data()
{
    QTest::addColumn<int>("kind"); // 0 message, 1 error, 2 question
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("open failure, lone CR") << 1 << "TCOMPORT : cannot open COM3\rNo such file or directory"
                                           << "TCOMPORT : cannot open COM3\nNo such file or directory";
    QTest::newRow("terminator error, angle brackets kept")
        << 1 << "Illegal terminator string.\rformat : #<asciicode>#<asciicode>#<...>\rexample: #13#10"
        << "Illegal terminator string.\nformat : #<asciicode>#<asciicode>#<...>\nexample: #13#10";
    QTest::newRow("message, CR LF") << 0 << "first\r\nsecond"
                                    << "first\nsecond";
    QTest::newRow("message, LF kept, blanks kept") << 0 << " Scrittura completata \n"
                                                   << " Scrittura completata \n";
    QTest::newRow("question, CR CR LF") << 2 << "a\r\r\nb"
                                        << "a\n\nb";
}

void FrameworkTest::messageBoxesShowCarriageReturnsAsLineBreaks()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QString seen;
    Qt::TextFormat format = Qt::AutoText;
    // Reads the box the Qt dialogs put up, then answers it with its default button.
    QTimer answer;
    answer.setInterval(1);
    connect(&answer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                seen = box->text();
                format = box->textFormat();
                box->defaultButton()->click();
            }
    });
    answer.start();
    const QString original = text;
    if (kind == 0)
        dialogs().message(text);
    else if (kind == 1)
        dialogs().error(text);
    else
        QVERIFY(!dialogs().askYesNo(text));
    QCOMPARE(seen, shown);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(text, original);
}

void FrameworkTest::errorInTimerTickIsShownAndProgramGoesOn()
{
    RecordingDialogs dialogs;
    ScopedSimClock sim;
    WindowTimer timer(nullptr, 50);
    int ticks = 0;
    timer.setOnTimer([&] {
        ++ticks;
        throw EConvertError(QStringLiteral("'x' is not a valid integer value"));
    });
    timer.setEnabled(true);
    sim.clock.advance(100);
    QCOMPARE(ticks, 2);
    QCOMPARE(dialogs.errors,
             QStringList({"'x' is not a valid integer value", "'x' is not a valid integer value"}));
}

void FrameworkTest::errorInAnyEventIsShownByTheApplication()
{
    RecordingDialogs dialogs;
    bool after = false;
    QTimer::singleShot(0, [] { throw std::runtime_error("boom"); });
    QTimer::singleShot(1, [&] { after = true; });
    QTRY_VERIFY(after);
    QCOMPARE(dialogs.errors, QStringList{"boom"});
}

void FrameworkTest::timerFiresEveryIntervalWhileEnabled()
{
    ScopedSimClock sim;
    WindowTimer timer(nullptr, 10);
    QList<qint64> at;
    timer.setOnTimer([&] { at.append(sim.clock.now()); });
    sim.clock.advance(50);
    QVERIFY(at.isEmpty());
    timer.setEnabled(true);
    sim.clock.advance(35);
    QCOMPARE(at, (QList<qint64>{60, 70, 80}));
}

void FrameworkTest::tickMayDisableReenableAndRetimeItsTimer()
{
    // The connection-check pattern: each tick switches off, re-times and decides
    // whether to switch on again.
    ScopedSimClock sim;
    WindowTimer timer(nullptr, 2000);
    QList<qint64> at;
    timer.setOnTimer([&] {
        timer.setEnabled(false);
        timer.setInterval(at.isEmpty() ? 500 : 2000);
        at.append(sim.clock.now());
        if (at.size() < 3)
            timer.setEnabled(true);
    });
    timer.setEnabled(true);
    sim.clock.advance(10000);
    QCOMPARE(at, (QList<qint64>{2000, 2500, 4500}));
}

void FrameworkTest::timerDueDuringPauseFiresOnceAfterIt()
{
    ScopedSimClock sim;
    WindowTimer sweep(nullptr, 10);
    QList<qint64> at;
    sweep.setOnTimer([&] {
        at.append(sim.clock.now());
        if (at.size() == 1)
            Sleep(100);
    });
    sweep.setEnabled(true);
    sim.clock.advance(125);
    QCOMPARE(at, (QList<qint64>{10, 110, 120}));
    QCOMPARE(sim.clock.pauses.size(), 1);
}

void FrameworkTest::workArrivingDuringPauseRunsAfterItInOrder()
{
    ScopedSimClock sim;
    WindowTimer timer(nullptr, 1000);
    QStringList ran;
    timer.setOnTimer([&] { ran << "tick"; });
    timer.setEnabled(true);
    // A received block and a timer tick arrive while a handler pauses.
    sim.clock.duringPause = [&](int) {
        appClock().whenNotPaused([&] { ran << "block 1"; });
        timer.fire();
        timer.fire(); // a second tick coalesces with the first
        appClock().whenNotPaused([&] { ran << "block 2"; });
    };
    appClock().whenNotPaused([&] {
        ran << "handler";
        Sleep(50);
        ran << "handler done";
    });
    QCOMPARE(ran, (QStringList{"handler", "handler done"}));
    // Arriving before the held work is released, a block still waits its turn.
    appClock().whenNotPaused([&] { ran << "block 3"; });
    sim.clock.settle();
    QCOMPARE(ran, (QStringList{"handler", "handler done", "block 1", "tick", "block 2", "block 3"}));
}

void FrameworkTest::realPauseKeepsTheEventLoopButHoldsTicksAndHandOvers()
{
    // Production clock: the pause runs an event loop (so windows repaint), but a
    // tick due meanwhile and a block handed over meanwhile run only after it.
    QStringList ran;
    WindowTimer timer(nullptr, 1);
    timer.setOnTimer([&] {
        ran << "tick";
        timer.setEnabled(false);
    });
    bool loopRan = false;
    QMetaObject::invokeMethod(
        qApp, [&] { loopRan = true; }, Qt::QueuedConnection);
    QMetaObject::invokeMethod(
        qApp, [&] { appClock().whenNotPaused([&] { ran << "block"; }); }, Qt::QueuedConnection);
    timer.setEnabled(true);
    Sleep(30);
    QVERIFY(loopRan);
    QVERIFY(ran.isEmpty());
    QTRY_COMPARE(ran, (QStringList{"block", "tick"}));
}

void FrameworkTest::settledWorkRunsAfterTheHandlerAndItsNestedLoops_data()
{
    QTest::addColumn<QStringList>("loops"); // what the handler runs after asking, in order
    QTest::newRow("none") << QStringList{};
    QTest::newRow("a pause") << QStringList{"pause"};
    QTest::newRow("a modal dialog") << QStringList{"modal"};
    QTest::newRow("a pause, then a modal dialog") << QStringList{"pause", "modal"};
    QTest::newRow("a modal dialog, then a pause") << QStringList{"modal", "pause"};
    QTest::newRow("a pause inside a modal dialog") << QStringList{"modal with a pause"};
}

void FrameworkTest::settledWorkRunsAfterTheHandlerAndItsNestedLoops()
{
    // Production clock; each nested loop lasts long enough for many rounds of
    // posted work to come by.
    QFETCH(QStringList, loops);
    constexpr int LOOP_MS = 30;
    const auto modal = [](bool withPause) {
        const ModalScope scope;
        QEventLoop loop;
        QTimer::singleShot(LOOP_MS, &loop, &QEventLoop::quit);
        if (withPause)
            QTimer::singleShot(0, [] { Sleep(LOOP_MS); });
        loop.exec();
    };
    QStringList ran;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            whenSettled([&] { ran << "first"; });
            whenSettled([&] { ran << "second"; });
            for (const QString& nested : loops) {
                if (nested == "pause")
                    Sleep(LOOP_MS);
                else
                    modal(nested == "modal with a pause");
                ran << nested + " over";
            }
            ran << "handler returns";
        },
        Qt::QueuedConnection);
    QStringList expected;
    for (const QString& nested : loops)
        expected << nested + " over";
    expected << "handler returns" << "first" << "second";
    QTRY_COMPARE(ran, expected);
}

TAVRIN_TEST_MAIN(FrameworkTest)
#include "tst_framework.moc"
