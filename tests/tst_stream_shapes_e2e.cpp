// What the board says, read whole however the line hands it over: the strict
// simulated board cuts its output into pieces or joins its messages, as a USB
// serial bridge does, and the real windows and serial component still read
// every value, write and verify them, upload a sound, record and chart every
// telemetry frame that was sent, draw every shot and program the loader, each
// compared with what the board holds and what it sent.
#include "Controls.h"
#include "EndToEndFixture.h"
#include "HexImage.h"
#include "SoundFiles.h"
#include "TestMain.h"
#include "WaitFor.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "comm/BoardLink.h"
#include "comm/SerialPort.h"
#include "comm/ui/PortPanel.h"
#include "common/Define.h"
#include "firmware/HandOver.h"
#include "firmware/ui/FirmwareWindow.h"
#include "motion/ui/MotionPanel.h"
#include "motion/ui/TelemetryChart.h"
#include "params/ui/HeaderPanel.h"
#include "params/ui/ParameterPanel.h"
#include "sound/ui/SoundBrowser.h"
#include "sound/ui/SoundPanel.h"

#include <QFile>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int SWEEP_DONE_MS = 30000;
constexpr int WRITE_DONE_MS = 60000;
constexpr int STREAM_MS = 1500;
constexpr int WAIT_MS = 20000;
constexpr int QUIET_LINE_MS = 300;   // longer than any piece's gap and the framer's quiet time
constexpr int TELEMETRY_FIELDS = 12; // eleven values and the state, as a recorded row holds them
constexpr int UPLOAD_SAMPLES = 500;
constexpr int FIRMWARE_BYTES = 256; // eight lines of 32 bytes, 128 words
constexpr int RECORD_BYTES = 32;
constexpr int SLOT_BANK2_SWING1 = 0x180000;

using Fields = QList<int>;

// A telemetry frame's values as the board sent them: eleven big-endian signed
// 16-bit values from offset 1, then the state byte.
Fields frameFields(const QByteArray& frame)
{
    Fields fields;
    for (int k = 0; k < TELEMETRY_FIELDS - 1; ++k)
        fields << static_cast<qint16>((static_cast<quint8>(frame[1 + 2 * k]) << 8) |
                                      static_cast<quint8>(frame[2 + 2 * k]));
    fields << static_cast<quint8>(frame[23]);
    return fields;
}

// The values of the recorded rows, without their times.
QList<Fields> recordedRows(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Fields> rows;
    for (const QByteArray& line : file.readAll().trimmed().split('\n').mid(1)) {
        Fields fields;
        for (const QByteArray& cell : line.split(',').mid(1))
            fields << cell.toInt();
        rows << fields;
    }
    return rows;
}

// Where `part` lies in `whole` as consecutive items; -1 when it does not.
template <typename T>
qsizetype findRun(const QList<T>& whole, const QList<T>& part)
{
    for (qsizetype at = 0; at + part.size() <= whole.size(); ++at)
        if (whole.mid(at, part.size()) == part)
            return at;
    return -1;
}

} // namespace

class StreamShapesEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void everyMessageArrivesWhole_data();
    void everyMessageArrivesWhole();

private:
    void start(const QStringList& shape);
    void readBoard();
    void writeAndVerify();
    void uploadASound();
    void programTheLoader();
    void streamRecordAndChart();
    void drawAShot();
    QList<SimBoard::SentMessage> sent(const QString& kind) const;
    QString sentPath() const { return f->folder.filePath(QStringLiteral("sent.txt")); }

    EndToEndFixture e2e;
    SimBoard* board = nullptr;
    SetupWindowFixture* f = nullptr;
};

void StreamShapesEndToEndTest::cleanup()
{
    QString report;
    QVERIFY2(e2e.finish(&report), qPrintable(report));
}

void StreamShapesEndToEndTest::everyMessageArrivesWhole_data()
{
    QTest::addColumn<QStringList>("shape");       // the simulator's options
    QTest::addColumn<bool>("everyOperation"); // write, verify, upload and loader: once split and once joined
    QTest::newRow("1-byte pieces, 2 ms apart") << QStringList{"--pieces", "1,2"} << true;
    QTest::newRow("3-byte pieces, 20 ms apart") << QStringList{"--pieces", "3,20"} << false;
    QTest::newRow("two messages joined") << QStringList{"--bundle", "2"} << true;
    QTest::newRow("five messages joined, in 62-byte pieces")
        << QStringList{"--bundle", "5", "--pieces", "62,0"} << false;
}

void StreamShapesEndToEndTest::everyMessageArrivesWhole()
{
    QFETCH(QStringList, shape);
    QFETCH(bool, everyOperation);
    start(shape);
    readBoard();
    if (everyOperation) {
        writeAndVerify();
        uploadASound();
    }
    streamRecordAndChart();
    drawAShot();
    if (everyOperation)
        programTheLoader();
    QVERIFY2(f->dialogs.errors.isEmpty(), qPrintable(f->dialogs.errors.join('\n')));
}

void StreamShapesEndToEndTest::start(const QStringList& shape)
{
    SimBoard::Options options;
    options.arguments = shape + QStringList{"--rate", "500"};
    QString why;
    QVERIFY2(e2e.start(options, {.soundFolder = true, .openPort = true, .waitUntilOpen = true}, &why), qPrintable(why));
    board = &e2e.board();
    f = &e2e.windows();
    e2e.moveDipSwitchesWhenAsked();
    QVERIFY(board->controlOk("sent " + sentPath()));
}

void StreamShapesEndToEndTest::readBoard()
{
    QVERIFY(board->setParam(24, 0x04)); // bank 1 Swing sensitivity 1200
    QVERIFY(board->setParam(25, 0xB0));
    QVERIFY(board->setParam(28, 255)); // bank 1 Guard red not set: shown as 25
    QVERIFY(board->setParam(1, 7));    // release 7
    control<QRadioButton>(setupWindow, "setUpModeButton")->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, SWEEP_DONE_MS));
    QVERIFY(e2e.waitUntilBoardIsReady());
    control<QPushButton>(setupWindow, "readParametersButton")->click();
    QVERIFY(WaitFor([&] { return !setupWindow->board()->reading(); }, SWEEP_DONE_MS));
    QVERIFY2(f->dialogs.messages.isEmpty(), qPrintable(f->dialogs.messages.join('\n')));
    const auto text = [](const char* name) {
        return setupWindow->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    };
    QCOMPARE(text("bank1SwingSensitivity"), QString("1200"));
    QCOMPARE(text("bank1GuardRed"), QString("25"));
    QCOMPARE(control<ValueLabel>(setupWindow, "releaseNumber")->text(), QString("7.0"));
    // Every answer went out whole and was read as one.
    const QList<SimBoard::SentMessage> replies = sent("reply");
    QVERIFY(replies.size() >= Define::PARAMETER_COUNT);
}

void StreamShapesEndToEndTest::writeAndVerify()
{
    // Every value read is written back: the board's memory stays as it was,
    // but for the red that was not set, which the screen showed as 25.
    QByteArray expected = board->dump("params");
    QVERIFY(!expected.isEmpty());
    expected[28] = 25;
    control<QPushButton>(setupWindow, "writeParametersButton")->click();
    QVERIFY(WaitFor([&] { return !setupWindow->board()->writing(); }, WRITE_DONE_MS));
    QCOMPARE(board->dump("params"), expected);
    control<QPushButton>(setupWindow, "verifyParametersButton")->click();
    QVERIFY(WaitFor([&] { return !setupWindow->board()->link()->busy() && !f->dialogs.messages.isEmpty(); },
                    SWEEP_DONE_MS));
    QCOMPARE(f->dialogs.messages,
             QStringList{"Verify: the board holds every value the screen shows (85 of 85 values verified)."});
    f->dialogs.messages.clear();
}

void StreamShapesEndToEndTest::uploadASound()
{
    QByteArray content = BoardFormatHeader();
    QByteArray expected;
    for (int i = 0; i < UPLOAD_SAMPLES; ++i) { // small positive samples: bit 15 set, low byte first
        content.append(char(i & 0xFF)).append(char(i >> 8));
        expected.append(char(i & 0xFF)).append(char((i >> 8) | 0x80));
    }
    QFile file(f->folder.filePath(QStringLiteral("sound.wav")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    setupWindow->sounds()->browser()->fillFileList();
    control<QListWidget>(setupWindow, "soundFileList")->setCurrentRow(0);
    setupWindow->findChild<QPushButton*>("bank2Swing1Button")->click();
    // The board's "End." came through whole.
    QVERIFY(WaitFor([&] { return f->dialogs.messages.contains("Uploading file completed."); }, WRITE_DONE_MS));
    QVERIFY(WaitFor([] { return !setupWindow->board()->link()->busy(); }, WAIT_MS));
    QCOMPARE(board->dump("sound").mid(SLOT_BANK2_SWING1, expected.size()).toHex(' '), expected.toHex(' '));
    QCOMPARE(sent("end").size(), 1);
    f->dialogs.messages.clear();
}

void StreamShapesEndToEndTest::programTheLoader()
{
    QVERIFY(e2e.waitUntilBoardIsReady());
    control<QPushButton>(setupWindow, "firmwareButton")->click();
    QVERIFY(WaitFor(
        [] { return firmwareWindow->isVisible() && !setupWindow->header()->handOver().timer()->Enabled(); },
        WAIT_MS));
    QVERIFY(WaitFor([&] { return board->control("firmware") == "ok loader"; }, WAIT_MS));
    const HexImage image = MakeHexImage(FIRMWARE_BYTES, RECORD_BYTES);
    QFile file(f->folder.filePath(QStringLiteral("update.hex")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(image.text);
    file.close();
    f->dialogs.files.enqueue(file.fileName());
    firmwareWindow->fileButton->click();
    firmwareWindow->eraseButton->click();
    // Off until the loader's "C" comes back.
    QVERIFY(WaitFor([] { return firmwareWindow->programButton->isEnabled(); }, WAIT_MS));
    firmwareWindow->programButton->click();
    QVERIFY(WaitFor([] { return firmwareWindow->runStep > 8; }, WRITE_DONE_MS));
    QCOMPARE(firmwareWindow->runProgress->text(), QString("128 of 128 words written, about 0 s left"));
    QCOMPARE(board->dump("program"), LoaderWordBytes(image.data));
    QCOMPARE(sent("ack").size(), 1 + FIRMWARE_BYTES / 2); // the erase's and one per word
    QVERIFY(WaitFor([] { return !setupWindow->board()->reading(); }, SWEEP_DONE_MS));
}

void StreamShapesEndToEndTest::streamRecordAndChart()
{
    control<QRadioButton>(setupWindow, "txModeButton")->click();
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_TX; }, WAIT_MS));
    const QString path = f->folder.filePath(QStringLiteral("stream.csv"));
    f->dialogs.files.enqueue(path);
    control<QPushButton>(setupWindow, "recordButton")->click();
    WaitFor([] { return false; }, STREAM_MS);
    control<QRadioButton>(setupWindow, "setUpModeButton")->click(); // ends the recording
    QVERIFY(WaitFor([&] { return board->mode() == Define::STATO_TAVRIN_COMMAND_MODE_NOTX; }, WAIT_MS));
    QVERIFY(e2e.waitUntilBoardIsReady());
    WaitFor([] { return false; }, QUIET_LINE_MS);

    QList<Fields> frames;
    for (const SimBoard::SentMessage& message : sent("telemetry"))
        frames << frameFields(message.bytes);
    const QList<Fields> rows = recordedRows(path);
    // A frame in 3-byte pieces 20 ms apart takes 180 ms: the board drops the
    // frames that fall due meanwhile, and a few come in the time.
    QVERIFY2(rows.size() >= 5, qPrintable(QString::number(rows.size())));
    // The rows are frames the board sent, one after another, none lost between.
    QVERIFY2(findRun(frames, rows) >= 0, qPrintable(QString("%1 rows, %2 frames").arg(rows.size()).arg(frames.size())));

    // The chart's points are the last frames' X values, in order.
    control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->flushChart();
    QList<int> plotted;
    for (const QPointF& point :
         control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->series(0)->points())
        plotted << static_cast<int>(point.y());
    QList<int> sentX;
    for (const Fields& frame : frames)
        sentX << frame.first();
    QVERIFY(!plotted.isEmpty());
    QCOMPARE(findRun(sentX, plotted), sentX.size() - plotted.size());
}

void StreamShapesEndToEndTest::drawAShot()
{
    QCOMPARE(board->control("shot"), QString("ok shot"));
    QVERIFY(WaitFor([&] { return !sent("shot").isEmpty(); }, WAIT_MS));
    const QByteArray shot = sent("shot").last().bytes;
    QCOMPARE(shot.size(), 102);
    QVERIFY(WaitFor(
        [&] {
            control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->flushChart();
            return control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->shotTrace()->count() ==
                   Define::SHOT_SAMPLES;
        },
        WAIT_MS));
    const QList<QPointF> points =
        control<Motion::TelemetryChart>(setupWindow, "telemetryChart")->shotTrace()->points();
    for (int i = 0; i < Define::SHOT_SAMPLES; ++i) {
        const qint16 sample = static_cast<qint16>(static_cast<quint8>(shot[2 + 2 * i]) |
                                                  (static_cast<quint8>(shot[3 + 2 * i]) << 8));
        QCOMPARE(points[i].y(), static_cast<qreal>(sample));
    }
}

QList<SimBoard::SentMessage> StreamShapesEndToEndTest::sent(const QString& kind) const
{
    QList<SimBoard::SentMessage> found;
    for (const SimBoard::SentMessage& message : SimBoard::sentMessages(sentPath()))
        if (message.kind == kind)
            found << message;
    return found;
}

TAVRIN_TEST_MAIN(StreamShapesEndToEndTest)
#include "common/ui/ValueLabel.h"
#include "tst_stream_shapes_e2e.moc"
