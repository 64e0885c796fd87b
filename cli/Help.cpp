#include "cli/Help.h"

#include <QStringList>
#include <algorithm>

namespace Cli {

namespace {
// The width the parser wraps its option list to; the overview keeps to it.
constexpr int TEXT_COLUMNS = 79;
// Between a command's name and its summary in the overview.
constexpr int NAME_GAP = 2;
// Before each entry, as the parser indents its options.
const QString INDENT = QStringLiteral("  ");

const QString TAGLINE =
    QStringLiteral("Every board operation from a terminal, on one board or many at once.");
const QString HELP_HINT = QStringLiteral("%1 COMMAND --help shows the options of a command.");
const QString INTERRUPT_NOTE =
    QStringLiteral("Ctrl-C stops the operation at its next safe point and says what was left undone.");
const QString EXIT_CODES =
    QStringLiteral("Exit codes: 0 done; 1 the operation failed, was refused or was stopped, a board differs "
                   "from the profile (diff), or a board's port is held by another program; 2 bad usage; 3 no "
                   "board answered.");

QString program()
{
    return QString::fromLatin1(PROGRAM_NAME);
}

// The text broken between words into lines of at most TEXT_COLUMNS, every line
// after the first indented by `hanging`, which the first line's start already
// takes up.
QString wrapped(const QString& text, int hanging)
{
    QString out;
    int column = hanging;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const bool lineStart = column == hanging;
        if (!lineStart && column + 1 + word.size() > TEXT_COLUMNS) {
            out += QLatin1Char('\n') + QString(hanging, QLatin1Char(' '));
            column = hanging;
        } else if (!lineStart) {
            out += QLatin1Char(' ');
            ++column;
        }
        out += word;
        column += int(word.size());
    }
    return out + QLatin1Char('\n');
}

// The option and argument lists of the parser's own help, after its usage
// line, which names no command.
QString optionList(const Command& command)
{
    QCommandLineParser parser;
    AddCommandOptions(parser, command);
    const QString text = parser.helpText();
    const qsizetype listStart = text.indexOf(QStringLiteral("\n\n"));
    return listStart < 0 ? QString() : text.mid(listStart + 2);
}

// Text for a man(7) page: hyphens as minus signs, so that options can be
// searched and pasted, and no line read as a request.
QString roff(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\e")).replace(QLatin1Char('-'), QStringLiteral("\\-"));
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.startsWith(QLatin1Char('.')) || line.startsWith(QLatin1Char('\'')))
            line.prepend(QStringLiteral("\\&"));
    return lines.join(QLatin1Char('\n'));
}

// The parser's option and argument lists as tagged paragraphs, for the man
// reader to fill to its own width. The parser starts an entry with its names,
// indented once and set off from the description by two spaces or more, and
// continues the description on lines indented further; headings stand alone.
QString roffList(const QString& list)
{
    const QString gap = QStringLiteral("  ");
    QString out;
    for (const QString& line : list.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.startsWith(INDENT)) {
            out += QStringLiteral(".PP\n%1\n").arg(roff(line));
        } else if (!line.at(INDENT.size()).isSpace()) {
            const qsizetype namesEnd = line.indexOf(gap, INDENT.size());
            const QString names = line.mid(INDENT.size(), namesEnd < 0 ? -1 : namesEnd - INDENT.size());
            out += QStringLiteral(".TP\n.B %1\n").arg(roff(names));
            if (namesEnd >= 0)
                out += roff(line.mid(namesEnd).trimmed()) + QLatin1Char('\n');
        } else {
            out += roff(line.trimmed()) + QLatin1Char('\n');
        }
    }
    return out;
}
} // namespace

QString UsageLine(const Command& command)
{
    QString line = QStringLiteral("%1 %2 [options]").arg(program(), QString::fromLatin1(command.name));
    if (*command.arguments)
        line += QLatin1Char(' ') + QString::fromLatin1(command.arguments);
    return line;
}

QString Overview()
{
    QString text =
        QStringLiteral("Usage: %1 COMMAND [options]\n%2\nCommands:\n").arg(program(), wrapped(TAGLINE, 0));
    qsizetype nameWidth = 0;
    for (const Command& command : Commands())
        nameWidth = std::max(nameWidth, qsizetype(qstrlen(command.name)));
    const int summaryColumn = int(INDENT.size() + nameWidth) + NAME_GAP;
    for (const Command& command : Commands())
        text += (INDENT + QString::fromLatin1(command.name)).leftJustified(summaryColumn) +
                wrapped(QString::fromLatin1(command.summary), summaryColumn);
    text += QLatin1Char('\n') + wrapped(HELP_HINT.arg(program()), 0) + wrapped(INTERRUPT_NOTE, 0) +
            wrapped(EXIT_CODES, 0);
    return text;
}

QString CommandHelp(const Command& command)
{
    return QStringLiteral("Usage: %1\n%2\n%3")
        .arg(UsageLine(command), wrapped(QString::fromLatin1(command.summary), 0), optionList(command));
}

QString ManPage()
{
    QString page =
        QStringLiteral(".TH TAVRIN\\-CLI 1\n.SH NAME\n%1 \\- every board operation from a terminal\n"
                       ".SH SYNOPSIS\n.B %1\n.I COMMAND\n[options]\n.SH DESCRIPTION\n%2\n.PP\n%3\n.PP\n%4\n"
                       ".SH COMMANDS\n")
            .arg(roff(program()), roff(TAGLINE), roff(HELP_HINT.arg(program())), roff(INTERRUPT_NOTE));
    for (const Command& command : Commands())
        page += QStringLiteral(".SS %1\n.B %2\n.PP\n%3\n%4")
                    .arg(QString::fromLatin1(command.name), roff(UsageLine(command)),
                         roff(QString::fromLatin1(command.summary)), roffList(optionList(command)));
    page += QStringLiteral(".SH \"EXIT STATUS\"\n%1\n").arg(roff(EXIT_CODES));
    return page;
}

} // namespace Cli
