// The motion sensor: its telemetry recorded to a CSV file as "Record..." does,
// and its automatic calibration with the terminal asking for the positions.
#include "cli/CommandLine.h"
#include "cli/Terminal.h"

#include "comm/Frames.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "motion/CalibrationOperation.h"
#include "motion/TelemetryFrame.h"
#include "motion/TelemetryRecorder.h"

#include <QTextStream>
#include <memory>

namespace Cli {

namespace {
const QString SECONDS = QStringLiteral("seconds");
constexpr int MS_PER_SECOND = 1000;
// A day of telemetry is far beyond any use, and keeps the milliseconds in an int.
constexpr int MAX_RECORD_SECONDS = 24 * 3600;
// The screen's fields of the two constants: what a position that measured nothing keeps.
const QString VERTICAL_FIELD = QStringLiteral("verticalCalibration");
const QString HORIZONTAL_FIELD = QStringLiteral("horizontalCalibration");

// The frames go to the recorder until the time is up or Ctrl-C, then the board
// goes back to SetUp; the file is complete either way.
void recordFor(int seconds, const QString& path, BoardSession& board, BoardResult& result,
               const BoardSession::Done& done)
{
    auto recorder = std::make_shared<Motion::TelemetryRecorder>();
    const auto backToSetUp = [&board, done](bool ok, const QString& message) {
        const bool sent = board.leaveTx();
        done(ok && sent, sent ? message
                              : board.port() + QStringLiteral(": the board could not be put back into "
                                                              "SetUp: the connection was lost."));
    };
    QString error;
    if (!recorder->start(path, appClock().now(), &error)) {
        backToSetUp(false,
                    QStringLiteral("%1: cannot record telemetry to %2: %3").arg(board.port(), path, error));
        return;
    }
    auto state = std::make_shared<Motion::TelemetryState>();
    const QMetaObject::Connection frames = QObject::connect(
        &board.link(), &BoardLink::telemetry, &board, [recorder, state](const QByteArray& block) {
            if (Motion::DecodeTelemetry(block, *state))
                recorder->record(*state, appClock().now());
        });
    board.pause(seconds * MS_PER_SECOND, [&board, &result, recorder, frames, path,
                                          backToSetUp](bool ok, const QString&) {
        QObject::disconnect(frames);
        // The last rows reach the disk only at the final flush: a file system
        // that refuses them fails the recording as an earlier row would.
        const bool written = recorder->recording() && recorder->stop();
        result.text = QStringLiteral("%1: %2 telemetry frames recorded to %3\n")
                          .arg(board.port())
                          .arg(recorder->frames())
                          .arg(path);
        result.data.insert(QStringLiteral("frames"), recorder->frames());
        if (!written)
            backToSetUp(false,
                        QStringLiteral("%1: telemetry recording stopped after %2 frames: cannot write %3: %4")
                            .arg(board.port())
                            .arg(recorder->frames())
                            .arg(path, recorder->errorString()));
        else if (!ok)
            backToSetUp(false, QStringLiteral("%1: recording stopped after %2 frames; %3 holds them all.")
                                   .arg(board.port())
                                   .arg(recorder->frames())
                                   .arg(path));
        else
            backToSetUp(true, {});
    });
}

int record(Invocation& call)
{
    const QStringList files = call.parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(QStringLiteral("record takes one CSV file"));
    bool isNumber = false;
    const int seconds = call.parser.value(SECONDS).toInt(&isNumber);
    if (!isNumber || seconds < 1 || seconds > MAX_RECORD_SECONDS)
        return UsageError(
            QStringLiteral("--seconds takes a whole number from 1 to %1").arg(MAX_RECORD_SECONDS));
    if (call.ports.size() > 1)
        return UsageError(QStringLiteral("record takes one board: choose it with --port"));
    const QString path = files.first();
    return RunOnBoards(
        call.ports, call.output, Connect::AnswerOnly,
        [seconds, path](BoardSession& board, BoardResult& result, const BoardSession::Done& done) {
            recordFor(seconds, path, board, result, done);
        });
}
// The operation asks for each position over and over while it waits: each
// question is shown once, and a line typed on the terminal is its "OK".
void watchPrompts(CalibrationOperation* calibration, BoardSession& board)
{
    auto shown = std::make_shared<QString>();
    QObject::connect(calibration, &CalibrationOperation::prompt, calibration,
                     [shown](const QString&, const QString& text) {
                         if (text != std::exchange(*shown, text))
                             QTextStream(stdout) << text << Qt::endl;
                     });
    auto* enter = new EnterKey(calibration);
    QObject::connect(enter, &EnterKey::pressed, calibration, &CalibrationOperation::confirm);
    // No more answers can come: stopped, it has written nothing.
    QObject::connect(enter, &EnterKey::closed, &board, [&board] { board.cancel(); });
}

void calibrateOn(BoardSession& board, BoardResult& result, const BoardSession::Done& done)
{
    board.readParameters([&board, &result, done](bool ok, const QString& message) {
        if (!ok) {
            done(false, message);
            return;
        }
        // The operation samples the shared telemetry state, which the window's chart fills.
        QObject::connect(&board.link(), &BoardLink::telemetry, &board,
                         [](const QByteArray& block) { Motion::DecodeTelemetry(block, Telemetry); });
        auto* calibration = CalibrationOperation::measure(
            board.link(), {board.model().text(VERTICAL_FIELD), board.model().text(HORIZONTAL_FIELD)},
            [&board] {
                board.link().sendCommand(
                    ParameterWriteFrame(Define::ADDR_STATO_TAVRIN, Define::STATO_TAVRIN_COMMAND_MODE_TX));
            },
            nullptr);
        QObject::connect(
            calibration, &CalibrationOperation::verticalMeasured, &board,
            [&result](const QString& text) { result.data.insert(QStringLiteral("vertical"), text); });
        QObject::connect(
            calibration, &CalibrationOperation::horizontalMeasured, &board,
            [&result](const QString& text) { result.data.insert(QStringLiteral("horizontal"), text); });
        watchPrompts(calibration, board);
        QTextStream(stdout) << "Press Enter for OK." << Qt::endl;
        board.run(calibration, [&board, done](bool calibrated, const QString& why) {
            const bool left = board.leaveTx();
            done(calibrated && left, why);
        });
    });
}

int calibrate(Invocation& call)
{
    if (!call.parser.positionalArguments().isEmpty())
        return UsageError(QStringLiteral("calibrate takes no argument"));
    if (call.ports.size() > 1)
        return UsageError(QStringLiteral("calibrate takes one board: choose it with --port"));
    return RunOnBoards(call.ports, call.output, Connect::SetUp, calibrateOn);
}
} // namespace

void AddMotionCommands(QList<Command>& commands)
{
    commands.append(
        {"record", "--seconds S FILE",
         "Puts the board into TX and records its telemetry for S seconds to a CSV file, one row "
         "per frame as \"Record...\" does, then puts it back into SetUp.",
         [](QCommandLineParser& parser) {
             parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The CSV file to write."));
             parser.addOption({SECONDS, QStringLiteral("How long to record."), QStringLiteral("S")});
         },
         record});
    commands.append(
        {"calibrate", "",
         "The automatic calibration of the motion sensor, as \"Auto\" does: the terminal asks for "
         "the vertical and the horizontal position, Enter answers OK.",
         nullptr, calibrate});
}

} // namespace Cli
