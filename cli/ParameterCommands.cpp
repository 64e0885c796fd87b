// The parameters: read them (shown grouped like the screen, or saved like
// "Save..."), and write a file after checking it like "Load..." does.
#include "cli/CommandLine.h"

#include "common/Define.h"
#include "common/FileWriting.h"
#include "params/ParameterFile.h"
#include "params/ParameterHelp.h"
#include "params/ParameterLayout.h"
#include "params/ParameterWriteOperation.h"
#include "params/ParameterWriter.h"
#include "params/Verification.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>

#include <memory>

namespace Cli {

using namespace Params;

namespace {
const QString DRY_RUN = QStringLiteral("dry-run");
const QString NO_VERIFY = QStringLiteral("no-verify");
const QString EXPLAIN = QStringLiteral("explain");
constexpr qint64 MAX_PARAMETER_FILE_BYTES = 1 << 21;
// Wide enough for the longest name, "Bank 3 Power Clash sensitivity", and the
// longest value, "-32768", each with a gap after it.
constexpr int EXPLAINED_NAME_WIDTH = 32;
constexpr int EXPLAINED_VALUE_WIDTH = 8;

QString headerLine(const BoardModel& model)
{
    return QStringLiteral("Release %1  Serial number %2\n").arg(model.release(), model.serialNumber());
}

QString defaultBankText(const BoardModel& model)
{
    return model.defaultBank() ? QString::number(*model.defaultBank()) : QStringLiteral("-");
}

// The screen's rows, each with its values, then the values outside the banks.
QString screenText(const BoardModel& model)
{
    QString text = headerLine(model);
    for (const ScreenRow& row : screenRows()) {
        const QString prefix = QStringLiteral("Bank %1 %2 ").arg(row.bank).arg(rowCaption(row.row));
        QStringList values;
        for (const ParameterField& field : parameterFields())
            if (field.bank == row.bank && field.row == row.row)
                values << QStringLiteral("%1 %2").arg(field.accessibleName().mid(prefix.size()),
                                                      model.text(field.editName()));
        text += QStringLiteral("%1%2\n").arg(QString(prefix).leftJustified(24),
                                             values.join(QStringLiteral(", ")));
    }
    for (const ParameterField& field : parameterFields())
        if (field.row == Row::None && !FileKey(field).isEmpty())
            text += QStringLiteral("%1 %2\n").arg(field.accessibleName(), model.text(field.editName()));
    const int frequency = model.frequencyMode().value_or(Define::FREQUENCY_EVO);
    text += QStringLiteral("Default bank %1  Frequency mode %2\n")
                .arg(defaultBankText(model),
                     frequencyButtons().buttonFor(frequency)
                         ? QString::number(frequency)
                         : QStringLiteral("unknown (the board holds %1)").arg(frequency));
    return text;
}

// One value a line, each with what it does on the board, its address and its range.
QString explainedText(const BoardModel& model)
{
    QString text = headerLine(model);
    auto line = [&text](const ParameterHelp& help, const QString& value) {
        text += help.name.leftJustified(EXPLAINED_NAME_WIDTH) + value.leftJustified(EXPLAINED_VALUE_WIDTH)
                + help.line() + QLatin1Char('\n');
    };
    for (const ParameterField& field : parameterFields())
        if (!FileKey(field).isEmpty())
            line(fieldHelp(field), model.text(field.editName()));
    line(choiceHelp(defaultBankButtons()), defaultBankText(model));
    line(choiceHelp(frequencyButtons()),
         QString::number(model.frequencyMode().value_or(Define::FREQUENCY_EVO)));
    return text;
}

QJsonObject valuesJson(const BoardModel& model)
{
    QJsonObject values;
    for (const ParameterField& field : parameterFields())
        if (!FileKey(field).isEmpty())
            values.insert(FileKey(field), model.text(field.editName()));
    return values;
}

// With several boards each gets its own file: name-port.json.
QString fileFor(const QString& path, const QString& port, bool several)
{
    if (!several)
        return path;
    const QFileInfo info(path);
    return info.dir().filePath(
        QStringLiteral("%1-%2.%3").arg(info.completeBaseName(), QFileInfo(port).fileName(), info.suffix()));
}

int read(Invocation& call)
{
    const QStringList files = call.parser.positionalArguments();
    if (files.size() > 1)
        return UsageError(QStringLiteral("read takes at most one file"));
    if (!files.isEmpty() && !call.output.json)
        return UsageError(QStringLiteral("a file to save needs --json FILE"));
    const QString path = files.value(0);
    const bool explain = call.parser.isSet(EXPLAIN);
    OutputOptions output = call.output;
    output.json = output.json && path.isEmpty(); // a file takes the values; the terminal gets the summary
    const bool several = call.ports.size() > 1;
    return RunOnBoards(
        call.ports, output, Connect::SetUp,
        [path, several, explain](BoardSession& board, BoardResult& result, const BoardSession::Done& done) {
            board.readParameters([&board, &result, path, several, explain, done](bool ok,
                                                                                const QString& message) {
                if (!ok) {
                    done(false, message);
                    return;
                }
                const BoardModel& model = board.model();
                result.text = explain ? explainedText(model) : screenText(model);
                result.data.insert(QStringLiteral("release"), model.release());
                result.data.insert(QStringLiteral("serialNumber"), model.serialNumber());
                result.data.insert(QStringLiteral("parameters"), valuesJson(model));
                if (path.isEmpty()) {
                    done(true, {});
                    return;
                }
                const QString target = fileFor(path, board.port(), several);
                const QString failure = WriteWholeFile(target, WriteParameterFile(model.fileContent()));
                if (!failure.isEmpty()) {
                    done(false, QStringLiteral("%1: cannot save the parameters to %2: %3")
                                    .arg(board.port(), target, failure));
                    return;
                }
                result.text = QStringLiteral("%1: parameters saved to %2\n").arg(board.port(), target);
                done(true, {});
            });
        },
        EmptyPortsFor(call.everyPort));
}

struct Difference {
    QString name;
    QString board;
    QString file;
};

QList<Difference> differences(const BoardModel& model, const ParameterFileContent& content)
{
    QList<Difference> found;
    for (const ParameterField& field : parameterFields()) {
        const auto it = content.edits.constFind(field.editName());
        if (it != content.edits.cend() && *it != model.text(field.editName()))
            found.append({field.accessibleName(), model.text(field.editName()), *it});
    }
    if (const std::optional<int> bank = DefaultBankToWrite(content.defaultBank, model.defaultBank()))
        found.append({QStringLiteral("Default bank"), QString::number(*model.defaultBank()),
                      QString::number(*bank)});
    const int boardFrequency = model.frequencyMode().value_or(Define::FREQUENCY_EVO);
    if (content.frequencyMode != boardFrequency)
        found.append({QStringLiteral("Frequency mode"), QString::number(boardFrequency),
                      QString::number(content.frequencyMode)});
    return found;
}

// Reads back every address written and compares it with what was sent:
// "85 of 85 values verified", or the values that differ (a failure).
void verifyWrites(BoardSession& board, BoardResult& result, const QList<ParameterWrite>& writes,
                  const BoardSession::Done& done)
{
    auto* verification = new Verification(board.link(), writes, QStringLiteral("written"));
    auto verified = std::make_shared<VerifyResult>();
    // Taken before the session disposes of the operation.
    QObject::connect(verification, &Operation::finished, verification,
                     [verification, verified] { *verified = verification->result(); });
    board.run(verification, [&board, &result, verified, done](bool ok, const QString& why) {
        if (!ok) {
            done(false, why);
            return;
        }
        result.data.insert(QStringLiteral("verified"), verified->verified);
        QJsonArray mismatches;
        for (const VerifyDifference& d : verified->differences)
            mismatches.append(QJsonObject{{QStringLiteral("name"), d.name},
                                          {QStringLiteral("written"), d.expected},
                                          {QStringLiteral("board"), d.board}});
        result.data.insert(QStringLiteral("verifyDifferences"), mismatches);
        if (verified->ok())
            done(true, verified->summary());
        else
            done(false, QStringLiteral("%1: %2: %3")
                            .arg(board.port(), verified->summary(),
                                 verified->lines(QStringLiteral("written")).join(QStringLiteral("; "))));
    });
}

int write(Invocation& call)
{
    const QStringList files = call.parser.positionalArguments();
    if (files.size() != 1)
        return UsageError(QStringLiteral("write takes one parameter file"));
    QFile file(files.first());
    if (!file.open(QIODevice::ReadOnly))
        return UsageError(QStringLiteral("cannot read %1: %2").arg(files.first(), file.errorString()));
    const ParameterFileResult loaded = ReadParameterFile(file.read(MAX_PARAMETER_FILE_BYTES));
    if (!loaded.content) {
        PrintError(QStringLiteral("%1 was not written: %2").arg(files.first(), loaded.error));
        return Failed;
    }
    const ParameterFileContent content = *loaded.content;
    const bool dryRun = call.parser.isSet(DRY_RUN);
    const bool verify = !call.parser.isSet(NO_VERIFY);
    return RunOnBoards(
        call.ports, call.output, Connect::SetUp,
        [content, dryRun, verify](BoardSession& board, BoardResult& result, const BoardSession::Done& done) {
            board.readParameters([&board, &result, content, dryRun, verify, done](bool ok,
                                                                                 const QString& message) {
                if (!ok) {
                    done(false, message);
                    return;
                }
                const QList<Difference> found = differences(board.model(), content);
                QJsonArray changes;
                for (const Difference& d : found) {
                    result.text += QStringLiteral("%1: %2 -> %3\n").arg(d.name, d.board, d.file);
                    changes.append(QJsonObject{{QStringLiteral("name"), d.name},
                                               {QStringLiteral("board"), d.board},
                                               {QStringLiteral("file"), d.file}});
                }
                result.data.insert(QStringLiteral("differences"), changes);
                if (found.isEmpty()) {
                    done(true, QStringLiteral("The board already holds these values: nothing was written."));
                    return;
                }
                if (dryRun) {
                    done(true, QStringLiteral("%1 values differ; nothing was written (--dry-run).")
                                   .arg(found.size()));
                    return;
                }
                const BoardModel& model = board.model();
                const WritePlanResult plan = PlanParameterWrite(
                    [&content, &model](const QString& edit) {
                        return content.edits.value(edit, model.text(edit));
                    },
                    content.frequencyMode, DefaultBankToWrite(content.defaultBank, model.defaultBank()));
                if (!plan.ok()) {
                    done(false, QStringLiteral("%1: nothing was written: %2")
                                    .arg(board.port(), plan.refusal->message));
                    return;
                }
                const QList<ParameterWrite> writes = plan.plan.all();
                board.run(new ParameterWriteOperation(board.link(), plan.plan),
                          [&board, &result, writes, verify, done](bool written, const QString& why) {
                              if (!written || !verify) {
                                  done(written, why);
                                  return;
                              }
                              verifyWrites(board, result, writes, done);
                          });
            });
        },
        EmptyPortsFor(call.everyPort));
}
} // namespace

void AddParameterCommands(QList<Command>& commands)
{
    commands.append(
        {"read", "[--explain] [--json [FILE]]",
         "Reads the parameters: shown grouped like the screen, or with --json FILE saved like \"Save...\".",
         [](QCommandLineParser& parser) {
             parser.addPositionalArgument(QStringLiteral("FILE"),
                                          QStringLiteral("With --json: the parameter file to write."));
             parser.addOption({EXPLAIN, QStringLiteral("One value a line, each with what it does on the board, "
                                                       "its address and its range.")});
         },
         read});
    commands.append(
        {"write", "[--dry-run] [--no-verify] FILE",
         "Checks a parameter file as \"Load...\" does, shows what differs from the board, writes it "
         "as \"Write Parameters\" does and reads back every value written.",
         [](QCommandLineParser& parser) {
             parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The parameter file."));
             parser.addOption({DRY_RUN, QStringLiteral("Shows the differences only; nothing is sent.")});
             parser.addOption({NO_VERIFY, QStringLiteral("Does not read the values back after writing.")});
         },
         write});
}

} // namespace Cli
