// What each parameter of the screen does on the board, where it lives in the
// parameter memory and what it may hold. Composed from the parameter table, so
// a value added there is explained at once: the screen shows it as the value's
// tooltip, `tavrin-cli read --explain` beside the value, and the README lists
// it in its parameter reference.
#pragma once

#include "params/ParameterLayout.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Params {

struct ParameterHelp {
    QString name;      // as the screen names it: "Bank 1 Guard red", "Default bank"
    QString where;     // "address 28", "addresses 24 (high byte) and 25 (low byte)"
    QString range;     // "0..254"
    QStringList notes; // what it does on the board, then how an unset byte is shown

    // "address 28, 0..254. Red channel of ..."
    QString line() const;
    // The name, where and range on the first line, each note on a line of its own.
    QString tooltip() const;
};

// Every value of the screen in the table's order, then the default bank and the
// frequency mode. Built once: tooltips are refreshed with every reply.
const QList<ParameterHelp>& parameterHelp();
const ParameterHelp& fieldHelp(const ParameterField& field); // one of parameterFields()
// A parameter shown by radio buttons: the default bank or the frequency mode.
const ParameterHelp& choiceHelp(const RadioGroup& group);

// The README's parameter reference: one Markdown list item per parameter.
QString parameterReference();

// What a tooltip adds while the screen shows something else than the board
// holds: "On the board: 25", or that the board's value was not read (an empty
// `onBoard`). Empty while both agree.
QString boardValueNote(const QString& shown, const QString& onBoard);

} // namespace Params
