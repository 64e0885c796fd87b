#include "cli/Fleet.h"

#include "comm/TrafficLog.h"

#include "cli/Interrupt.h"
#include "cli/Progress.h"
#include "common/Define.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace Cli {

void PrintError(const QString& message)
{
    QTextStream(stderr) << QString(message).replace(QLatin1Char('\n'), QLatin1Char(' ')) << Qt::endl;
}

namespace {

void report(const std::vector<BoardResult>& results, const OutputOptions& output)
{
    QTextStream out(stdout);
    const qsizetype succeeded =
        std::count_if(results.begin(), results.end(), [](const BoardResult& r) { return r.ok; });
    if (output.json) {
        QJsonArray boards;
        for (const BoardResult& r : results) {
            QJsonObject board = r.data;
            board.insert(QStringLiteral("port"), r.port);
            board.insert(QStringLiteral("ok"), r.ok);
            board.insert(QStringLiteral("answered"), r.answered);
            if (!r.message.isEmpty())
                board.insert(QStringLiteral("message"), r.message);
            boards.append(board);
        }
        out << QJsonDocument(QJsonObject{{QStringLiteral("ok"), succeeded == qsizetype(results.size())},
                                         {QStringLiteral("boards"), boards}})
                   .toJson();
    }
    for (const BoardResult& r : results) {
        const bool textShown = !output.json && !output.quiet && (r.ok || r.textWhenFailed);
        if (textShown) {
            if (results.size() > 1 && !r.text.isEmpty())
                out << "== " << r.port << '\n';
            out << r.text;
        }
        if (!r.ok) {
            out.flush(); // the failure comes after the text it ends
            PrintError(r.message);
        } else if (textShown && !r.message.isEmpty())
            out << r.message << '\n';
    }
    if (results.size() > 1 && !output.quiet && !output.json)
        out << succeeded << " of " << results.size() << " boards done." << Qt::endl;
}

QString modeName(int status)
{
    switch (status) {
    case Define::STATO_TAVRIN_ACTIVE:
        return QStringLiteral("Active");
    case Define::STATO_TAVRIN_COMMAND_MODE_TX:
        return QStringLiteral("TX");
    case Define::STATO_TAVRIN_COMMAND_MODE_NOTX:
        return QStringLiteral("SetUp");
    default:
        return QStringLiteral("status %1").arg(status);
    }
}

// After work done in SetUp, the board goes back to the mode it was found in;
// when that mode is not known, or is one the tool never sets, the result says
// that the board was left in SetUp.
void putBack(BoardSession& board, BoardResult& result, std::optional<int> found,
             const BoardSession::Done& done)
{
    if (found == Define::STATO_TAVRIN_ACTIVE || found == Define::STATO_TAVRIN_COMMAND_MODE_TX) {
        board.restoreMode(*found, done);
        return;
    }
    if (found != Define::STATO_TAVRIN_COMMAND_MODE_NOTX)
        result.message =
            found ? QStringLiteral("%1: left in SetUp; it was in %2, which this tool does not set.")
                        .arg(board.port(), modeName(*found))
                  : QStringLiteral("%1: left in SetUp; the board did not say its mode before.")
                        .arg(board.port());
    done(true, {});
}

} // namespace

int RunOnBoards(const QStringList& ports, const OutputOptions& output, Connect connect, const BoardJob& job,
                EmptyPorts emptyPorts, const BoardShown& shown)
{
    if (ports.isEmpty()) {
        PrintError(QStringLiteral("No serial port found: plug the board in and switch it on."));
        return NoBoard;
    }
    std::vector<BoardResult> results(ports.size());
    std::vector<std::unique_ptr<BoardSession>> sessions;
    Progress progress(ports, !output.quiet && !output.json);
    QEventLoop loop;
    qsizetype pending = ports.size();
    Interrupt interrupt;
    bool stopped = false;
    QObject::connect(&interrupt, &Interrupt::interrupted, &loop, [&sessions, &stopped] {
        stopped = true;
        for (const auto& session : sessions)
            if (const QString notice = session->cancel(); !notice.isEmpty())
                PrintError(notice);
    });

    for (qsizetype i = 0; i < ports.size(); ++i) {
        BoardResult& result = results[i];
        result.port = ports[i];
        auto session = std::make_unique<BoardSession>(ports[i]);
        BoardSession& board = *session;
        sessions.push_back(std::move(session));
        QObject::connect(&board, &BoardSession::progressed, &loop,
                         [&progress, &board](const QString& what, int done, int total, const QString& unit) {
                             progress.update(board.port(), what, done, total, unit);
                         });
        if (output.verbose)
            QObject::connect(&board.link().reads(), &PendingReads::strayAnswer, &loop, [&board](int address) {
                PrintError(QStringLiteral("%1: %2").arg(
                    board.port(), StrayAnswerLine(address, board.link().reads().strays())));
            });
        const BoardSession::Done finished = [&, i](bool ok, const QString& message) {
            results[i].ok = ok;
            if (!message.isEmpty())
                results[i].message = message;
            progress.finish(ports[i], ok);
            if (--pending == 0)
                loop.quit();
        };
        if (!board.open(&result.message)) {
            result.held = board.heldElsewhere();
            if (result.held)
                result.message += QStringLiteral(" The board on %1 was skipped.").arg(ports[i]);
            finished(false, {});
            continue;
        }
        const auto answered = [&result, &board, job, finished](bool ok, const QString& message) {
            if (!ok) {
                finished(false, message);
                return;
            }
            result.answered = true;
            job(board, result, finished);
        };
        if (connect == Connect::SetUp)
            board.connectBoard(answered);
        else if (connect == Connect::SetUpAndBack)
            board.findMode([&result, &board, job, finished](std::optional<int> found) {
                board.connectBoard([&result, &board, job, finished, found](bool ok, const QString& message) {
                    if (!ok) {
                        finished(false, message);
                        return;
                    }
                    result.answered = true;
                    job(board, result, [&result, &board, finished, found](bool worked, const QString& why) {
                        putBack(board, result, found,
                                [finished, worked, why](bool back, const QString& lost) {
                                    finished(worked && back, worked ? lost : why);
                                });
                    });
                });
            });
        else if (connect == Connect::Loader)
            answered(true, {});
        else
            board.setMode(Define::STATO_TAVRIN_COMMAND_MODE_TX, answered);
    }
    if (pending > 0)
        loop.exec();
    // The board takes no frame for a while after a parameter write: the next
    // command, run at once, would otherwise lose its first frame.
    QThread::msleep(Define::WRITE_PAUSE_MS);
    const bool anyAnswered =
        std::any_of(results.begin(), results.end(), [](const BoardResult& r) { return r.answered; });
    const bool anyHeld =
        std::any_of(results.begin(), results.end(), [](const BoardResult& r) { return r.held; });
    if (emptyPorts == EmptyPorts::LeaveOut && anyAnswered)
        std::erase_if(results, [](const BoardResult& r) { return !r.answered && !r.held; });
    if (shown)
        std::for_each(results.begin(), results.end(), shown);
    report(results, output);
    // Stopped before a board could answer is a stop, not a missing board.
    if (!anyAnswered && !anyHeld && !stopped)
        return NoBoard;
    const bool failed = std::any_of(results.begin(), results.end(), [emptyPorts, stopped](const BoardResult& r) {
        return r.held || (!r.ok && (emptyPorts != EmptyPorts::Shown || stopped));
    });
    return failed ? Failed : Done;
}

} // namespace Cli
