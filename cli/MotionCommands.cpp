// The motion sensor: its telemetry recorded to a CSV file as "Record..." does.
#include "cli/CommandLine.h"

#include "comm/Frames.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "motion/TelemetryFrame.h"
#include "motion/TelemetryRecorder.h"

#include <memory>

namespace Cli {

namespace {
const QString SECONDS = QStringLiteral("seconds");
constexpr int MS_PER_SECOND = 1000;
// A day of telemetry is far beyond any use, and keeps the milliseconds in an int.
constexpr int MAX_RECORD_SECONDS = 24 * 3600;

// The frames go to the recorder until the time is up or Ctrl-C, then the board
// goes back to SetUp; the file is complete either way.
void recordFor(int seconds, const QString& path, BoardSession& board, BoardResult& result,
               const BoardSession::Done& done)
{
    auto recorder = std::make_shared<Motion::TelemetryRecorder>();
    // The board answers no status frame but TX's: the stream simply stops.
    const auto backToSetUp = [&board, done](bool ok, const QString& message) {
        const bool sent = board.link().sendCommand(
            ParameterWriteFrame(Define::ADDR_STATO_TAVRIN, Define::STATO_TAVRIN_COMMAND_MODE_NOTX));
        done(ok && sent, sent ? message
                              : QStringLiteral("%1: the board could not be put back into SetUp: the "
                                               "connection was lost.")
                                    .arg(board.port()));
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
        const bool written = recorder->recording();
        const QString why = recorder->errorString();
        recorder->stop();
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
                            .arg(path, why));
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
} // namespace

void AddMotionCommands(QList<Command>& commands)
{
    commands.append(
        {"record", "--seconds S FILE.csv",
         "Puts the board into TX and records its telemetry for S seconds to a CSV file, one row "
         "per frame as \"Record...\" does, then puts it back into SetUp.",
         [](QCommandLineParser& parser) {
             parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The CSV file to write."));
             parser.addOption({SECONDS, QStringLiteral("How long to record."), QStringLiteral("S")});
         },
         record});
}

} // namespace Cli
