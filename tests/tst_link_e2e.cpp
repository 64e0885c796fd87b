// The link end to end: the real windows and serial component against the
// simulated board on a pseudo-terminal, on real time.
#include "BoardFixture.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/Main.h"
#include "app/Serial1.h"
#include "app/Wait.h"
#include "comm/ComPort.h"
#include "comm/Hidden.h"
#include "comm/LogMemo.h"
#include "comm/SerialPort.h"
#include "common/Define.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
const QString PORT_NOT_FOUND = "Kordex Serial ComPort not found .... Please select a right ComPort. ";
constexpr int CHECK_DONE_MS = 15000; // 8 s of connection check, with room for a slow machine
} // namespace

class LinkEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void portListShowsTheSimulatedBoard();
    void portListFollowsAPlugWhileNoPortIsOpen();
    void connectionCheckPutsBoardInSetUpAndReadsItsParameters();
    void silentBoardIsReportedAndPortClosed();
    void unplugDuringSweepClosesPortOnce();
    void secondCopyLeavesTheSavedPortAlone();

private:
    std::unique_ptr<BoardFixture> e2e;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
};

void LinkEndToEndTest::init()
{
    e2e = std::make_unique<BoardFixture>();
    QString why;
    QVERIFY2(e2e->ready(&why), qPrintable(why));
    board = &e2e->board;
    f = &e2e->windows;
}

void LinkEndToEndTest::cleanup()
{
    QString report;
    const bool paced = e2e->paced(&report);
    e2e.reset();
    QVERIFY2(paced, qPrintable(report));
}

void LinkEndToEndTest::portListShowsTheSimulatedBoard()
{
    SerialForm1->InitSeriale();
    QVERIFY(SerialForm1->cbports->findText(board->portPath()) >= 0);
}

void LinkEndToEndTest::connectionCheckPutsBoardInSetUpAndReadsItsParameters()
{
    QVERIFY(e2e->openBoardPort());
    SerialForm1->show();
    QVERIFY(WaitFor([&] { return waitform->isVisible(); }, CHECK_DONE_MS));
    QVERIFY(WaitFor([&] { return SerialForm1->RadioButton9->isChecked(); }, CHECK_DONE_MS));
    QVERIFY(WaitFor([&] { return !waitform->isVisible(); }, CHECK_DONE_MS));
    QVERIFY(WaitFor([&] { return !SerialForm1->ReadingParameters(); }, CHECK_DONE_MS));
    RunEventsFor(300); // the last answers
    QCOMPARE(board->mode(), Define::STATO_TAVRIN_COMMAND_MODE_NOTX);
    QVERIFY(f->dialogs.messages.isEmpty());

    // The sweep's answers reach the traffic monitor and the screen.
    QVERIFY(HiddenForm->Memo1->toPlainText().contains("TX-- 23 32 E1 E1 00 00 0A"));
    QVERIFY(HiddenForm->Memo2->toPlainText().contains("RX-- 32 "));
    const QString release = QString::number(board->param(Define::ADDR_VERSIONE)) + ".0";
    if (SerialForm1->Label1->text() != release || !SerialForm1->Label21->text().contains('-')) {
        // A loaded machine read two answers as one block; a second read fills the gap.
        SerialForm1->ReadBtnClick();
        QVERIFY(WaitFor([&] { return !SerialForm1->ReadingParameters(); }, CHECK_DONE_MS));
        RunEventsFor(300);
    }
    QCOMPARE(SerialForm1->Label1->text(), release);
    QVERIFY(SerialForm1->Label21->text().contains('-'));
    // What a screen reader speaks: the caption and the value.
    const auto spoken = [](QWidget* w) {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    };
    QCOMPARE(spoken(SerialForm1->Label1), "Firmware release: " + release);
    QCOMPARE(spoken(SerialForm1->Label21), "Serial number: " + SerialForm1->Label21->text());
    QVERIFY(SerialForm1->SpeedButton5->isEnabled());
}

void LinkEndToEndTest::silentBoardIsReportedAndPortClosed()
{
    QVERIFY(board->controlOk("silent on"));
    QVERIFY(e2e->openBoardPort());
    SerialForm1->show();
    QVERIFY(WaitFor([&] { return f->dialogs.messages == QStringList{PORT_NOT_FOUND}; }, CHECK_DONE_MS));
    QVERIFY(!SerialForm1->ComPort1->IsOpen());
    QVERIFY(!waitform->isVisible());
    QVERIFY(SerialForm1->cbports->isEnabled());
}

void LinkEndToEndTest::unplugDuringSweepClosesPortOnce()
{
    QVERIFY(e2e->openBoardPort());
    SerialForm1->RadioButton9->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, CHECK_DONE_MS));
    QVERIFY(e2e->waitUntilBoardIsReady());
    SerialForm1->ReadBtnClick();
    QVERIFY(WaitFor([&] { return HiddenForm->Memo2->LinesCount() > 10; }, CHECK_DONE_MS));
    QVERIFY(board->controlOk("unplug"));
    QVERIFY(WaitFor([&] { return !SerialForm1->ComPort1->IsOpen(); }, CHECK_DONE_MS));
    QVERIFY(!SerialForm1->ReadingParameters());
    QVERIFY(SerialForm1->cbports->isEnabled());
    QVERIFY(SerialForm1->RadioButton10->isChecked());
    QCOMPARE(f->dialogs.messages.size(), 1);
    QVERIFY(f->dialogs.messages[0].contains(board->portPath()));
    RunEventsFor(300);
    QCOMPARE(f->dialogs.messages.size(), 1);
}

void LinkEndToEndTest::portListFollowsAPlugWhileNoPortIsOpen()
{
    SerialForm1->InitSeriale();
    SerialForm1->cbports->setCurrentIndex(SerialForm1->cbports->findText(board->portPath()));
    SimBoard::Options options;
    options.portsDir = board->portsDir();
    options.name = "plugged-later";
    auto later = std::make_unique<SimBoard>(options);
    QVERIFY2(later->isRunning(), qPrintable(later->errorOutput()));
    QCOMPARE(SerialForm1->cbports->findText(later->portPath()), -1);

    SerialForm1->cbports->showPopup(); // the user opens the list
    SerialForm1->cbports->hidePopup();
    QVERIFY(SerialForm1->cbports->findText(later->portPath()) >= 0);
    QCOMPARE(SerialForm1->cbports->currentText(), board->portPath());

    // While a port is open the list stays as it is.
    QVERIFY(e2e->openBoardPort());
    const QString gone = later->portPath();
    later.reset();
    SerialForm1->RefreshPortList();
    QVERIFY(SerialForm1->cbports->findText(gone) >= 0);
    SerialForm1->ClosePort();
    SerialForm1->RefreshPortList();
    QCOMPARE(SerialForm1->cbports->findText(gone), -1);
    QCOMPARE(SerialForm1->cbports->currentText(), board->portPath());
}

void LinkEndToEndTest::secondCopyLeavesTheSavedPortAlone()
{
    // Another copy of the tool holds the board's port, so this one lists it not.
    TComPort first;
    first.setPort(board->portPath());
    first.Open();
    const QByteArray saved = board->portPath().toLocal8Bit() + "\r\n0\r\n";
    f->writeSettings(saved);
    MainForm->show();
    QCOMPARE(SerialForm1->cbports->findText(board->portPath()), -1);
    QVERIFY(!SerialForm1->ComPort1->IsOpen());
    SerialForm1->show();
    SerialForm1->close();
    QCOMPARE(f->readSettings(), saved);
    QVERIFY(f->dialogs.messages.isEmpty());
}

TAVRIN_TEST_MAIN(LinkEndToEndTest)
#include "tst_link_e2e.moc"
