// The board's application: a firmware file checked whole, then erased and
// programmed through the board's loader as the firmware window does.
#include "cli/CommandLine.h"
#include "cli/Terminal.h"

#include "firmware/BootTexts.h"
#include "firmware/HexFile.h"
#include "firmware/LoaderOperations.h"

#include <QTextStream>

namespace Cli {

namespace {
const QString YES = QStringLiteral("yes");
const QString TO_LOADER =
    QStringLiteral("Please put the dipswitch in position for bootloader procedure and then press Enter.\n");
const QString TO_ACTIVE = QStringLiteral("Set the dipswitches for active status.");

// Only an acknowledged erase lets the words in: the loader appends them.
void eraseThenProgram(const QStringList& lines, const Hex::HexSummary& summary, BoardSession& board,
                      BoardResult& result, const BoardSession::Done& done)
{
    board.run(new FirmwareErase(board.link()), [=, &board, &result](bool erased, const QString& message) {
        if (!erased) {
            done(false, message);
            return;
        }
        board.run(new FirmwareRun(board.link(), lines, summary),
                  [&result, summary, done](bool ok, const QString& why) {
                      if (ok)
                          result.text = BootTexts::Done(summary.words) + QLatin1Char('\n');
                      done(ok, why);
                  });
    });
}

int flash(Invocation& call)
{
    const QStringList files = call.parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(QStringLiteral("flash takes one firmware file"));
    if (call.ports.size() > 1)
        return UsageError(QStringLiteral("flash takes one board: choose it with --port"));
    const QString path = files.first();
    QString why;
    const std::optional<Hex::HexFile> read = Hex::ReadHexFile(path, &why);
    if (!read) {
        PrintError(QStringLiteral("Cannot open %1: %2.").arg(path, why));
        return Failed;
    }
    const Hex::HexCheck check = Hex::SurveyHexFile(read->lines);
    if (check.fault) {
        PrintError(QStringLiteral("%1 cannot be sent to the board, %2.").arg(path, *check.fault));
        return Failed;
    }
    const bool onLoader = call.parser.isSet(YES);
    if (!onLoader && !WaitForEnter(TO_LOADER)) {
        PrintError(QStringLiteral("No answer: nothing was sent to the board."));
        return Failed;
    }
    if (!call.output.quiet && !call.output.json)
        QTextStream(stdout) << BootTexts::Summary(check.summary) << Qt::endl;
    const QStringList lines = Hex::LinesToSend(read->lines);
    const int code = RunOnBoards(call.ports, call.output, Connect::Loader,
                                 [lines, summary = check.summary](BoardSession& board, BoardResult& result,
                                                                  const BoardSession::Done& done) {
                                     eraseThenProgram(lines, summary, board, result, done);
                                 });
    if (code != Done)
        return code;
    if (onLoader)
        QTextStream(stdout) << TO_ACTIVE << Qt::endl;
    else
        WaitForEnter(TO_ACTIVE + QStringLiteral(" Then press Enter.\n"));
    return code;
}
} // namespace

void AddFirmwareCommands(QList<Command>& commands)
{
    commands.append(
        {"flash", "[--yes] FILE",
         "Checks a firmware file whole, then erases the board's application and programs the file through "
         "its loader, as the firmware window does.",
         [](QCommandLineParser& parser) {
             parser.addPositionalArgument(QStringLiteral("FILE"),
                                          QStringLiteral("The Intel HEX firmware file."));
             parser.addOption(
                 {YES, QStringLiteral("The board's switches are on the loader already: no question "
                                      "before or after.")});
         },
         flash});
}

} // namespace Cli
