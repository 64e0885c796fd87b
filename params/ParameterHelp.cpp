#include "params/ParameterHelp.h"

#include "common/Define.h"

namespace Params {

using namespace Define;

namespace {

// The units of the sensitivities, durations and flicker bytes are the board's
// firmware's business and not known here: the texts say so rather than guess.
const char* const BOARD_STEPS = "in the board's own steps";

// What a row's colour is for on the board.
QString rowPurpose(Row row)
{
    switch (row) {
    case Row::Guard:
        return QStringLiteral("the blade's colour between events (the row of the On, Off and Hum sounds)");
    case Row::Swing:
        return QStringLiteral("shown on a swing");
    case Row::Clash:
        return QStringLiteral("shown on a clash");
    case Row::PowerClash:
        return QStringLiteral("shown on a power clash");
    case Row::None:
        break;
    }
    return {};
}

QString channelWord(Column column)
{
    switch (column) {
    case Column::R:
    case Column::Rf:
        return QStringLiteral("Red");
    case Column::G:
    case Column::Gf:
        return QStringLiteral("Green");
    case Column::B:
    case Column::Bf:
        return QStringLiteral("Blue");
    case Column::W:
    case Column::Wf:
        return QStringLiteral("White");
    default:
        return {};
    }
}

// "Red channel of bank 1's Guard colour"
QString channelOf(const ParameterField& field, const QString& colour)
{
    return QStringLiteral("%1 channel of bank %2's %3 colour")
        .arg(channelWord(field.column))
        .arg(field.bank)
        .arg(colour);
}

// What the parameter does, by its column and row.
QString purpose(const ParameterField& field)
{
    const QString steps = QString::fromLatin1(BOARD_STEPS);
    const QString event = rowCaption(field.row).toLower();
    switch (field.column) {
    case Column::R:
    case Column::G:
    case Column::B:
    case Column::W:
        return QStringLiteral("%1, %2. Higher is brighter; the brightness sliders set it too.")
            .arg(channelOf(field, rowCaption(field.row)), rowPurpose(field.row));
    case Column::Sensibility:
        return QStringLiteral("The threshold a movement must pass for the board to take it as a %1, %2: a "
                              "higher value needs a stronger movement.")
            .arg(event, steps);
    case Column::Duration:
        return QStringLiteral("How long a %1 lasts on the board, %2 (their length in time is not known).")
            .arg(event, steps);
    case Column::Rf:
    case Column::Gf:
    case Column::Bf:
    case Column::Wf:
        return QStringLiteral("%1 (only the Guard row flickers), %2; the screen takes no more than %3.")
            .arg(channelOf(field, QStringLiteral("flicker")), steps)
            .arg(field.maxValue);
    case Column::Vertical:
    case Column::Horizontal:
        return QStringLiteral("The motion sensor's reading in the %1 reference position, measured by the "
                              "calibration (\"Auto\" or \"Man.\"), in the sensor's own steps.")
            .arg(field.column == Column::Vertical ? QStringLiteral("vertical")
                                                  : QStringLiteral("horizontal"));
    case Column::OldSerial:
        return QStringLiteral("The board's serial number in its old format, shown in the header; the tool "
                              "never writes it.");
    }
    return {};
}

QString whereIs(const ParameterField& field)
{
    if (!field.isPair())
        return QStringLiteral("address %1").arg(field.address);
    const bool highFirst = field.highAddress() < field.lowAddress();
    const QString high = QStringLiteral("%1 (high byte)").arg(field.highAddress());
    const QString low = QStringLiteral("%1 (low byte)").arg(field.lowAddress());
    return QStringLiteral("addresses %1 and %2").arg(highFirst ? high : low, highFirst ? low : high);
}

QString unsetNote(const char* verb, int value)
{
    return QStringLiteral("An unset byte (%1) is %2 %3.")
        .arg(PARAMETER_NOT_SET)
        .arg(QLatin1String(verb))
        .arg(value);
}

QString choicePurpose(const RadioGroup& group)
{
    if (group.address == ADDR_BANK)
        return QStringLiteral("The bank the board uses by default, chosen with \"Bank1\", \"Bank2\" or "
                              "\"Bank3\" above each bank's rows; the board gets it as soon as it is chosen.");
    if (group.address == ADDR_FREQUENCY_MODE)
        return QStringLiteral("The board's frequency mode, one for all banks: %1 Std, %2 Med, %3 Evo (the "
                              "screen offers Std and Evo). What each mode changes on the board is not known.")
            .arg(FREQUENCY_STD)
            .arg(FREQUENCY_MED)
            .arg(FREQUENCY_EVO);
    return {};
}

} // namespace

QString ParameterHelp::line() const
{
    return QStringLiteral("%1, %2. %3").arg(where, range, notes.join(QLatin1Char(' ')));
}

QString ParameterHelp::tooltip() const
{
    return QStringLiteral("%1: %2, %3\n%4").arg(name, where, range, notes.join(QLatin1Char('\n')));
}

namespace {

ParameterHelp composeFieldHelp(const ParameterField& field)
{
    ParameterHelp help{field.accessibleName(),
                       whereIs(field),
                       QStringLiteral("%1..%2").arg(field.minValue).arg(field.maxValue),
                       {purpose(field)}};
    if (field.notSetShownAs)
        help.notes << unsetNote("shown as", *field.notSetShownAs);
    return help;
}

ParameterHelp composeChoiceHelp(const RadioGroup& group)
{
    ParameterHelp help{
        shownValueName(group.address),
        QStringLiteral("address %1").arg(group.address),
        QStringLiteral("%1..%2").arg(group.choices.front().value).arg(group.choices.back().value),
        {choicePurpose(group)}};
    if (group.notSetReadAs)
        help.notes << unsetNote("read as", *group.notSetReadAs);
    return help;
}

} // namespace

const QList<ParameterHelp>& parameterHelp()
{
    static const QList<ParameterHelp> table = [] {
        QList<ParameterHelp> helps;
        for (const ParameterField& field : parameterFields())
            helps << composeFieldHelp(field);
        helps << composeChoiceHelp(defaultBankButtons()) << composeChoiceHelp(frequencyButtons());
        return helps;
    }();
    return table;
}

const ParameterHelp& fieldHelp(const ParameterField& field)
{
    return parameterHelp()[&field - parameterFields().data()];
}

const ParameterHelp& choiceHelp(const RadioGroup& group)
{
    const qsizetype choices = parameterFields().size();
    return parameterHelp()[&group == &defaultBankButtons() ? choices : choices + 1];
}

QString parameterReference()
{
    QString reference;
    for (const ParameterHelp& help : parameterHelp())
        reference += QStringLiteral("- **%1**: %2\n").arg(help.name, help.line());
    return reference;
}

QString boardValueNote(const QString& shown, const QString& onBoard)
{
    if (shown == onBoard)
        return {};
    if (onBoard.isEmpty())
        return QStringLiteral("On the board: not read");
    return QStringLiteral("On the board: %1").arg(onBoard);
}

} // namespace Params
