// "Verify": reads back the values a write sends and compares them with what
// the board holds, value by value as the screen shows them; nothing is written
// and nothing read reaches the screen. The command line verifies what it wrote;
// the window verifies what its screen shows.
#pragma once

#include "params/ParameterWriter.h"
#include "params/ReadSweep.h"

namespace Params {

// One value where the board and the expected bytes differ.
struct VerifyDifference {
    QString name;     // "Bank 2 Swing sensitivity"
    QString expected; // as the screen shows the expected bytes: "1200"
    QString board;    // as the screen would show the board's: "176", or "no answer"
    QList<int> addresses;

    friend bool operator==(const VerifyDifference&, const VerifyDifference&) = default;
};

// The values of `expected`, grouped as the screen shows them, compared with
// what `boardValue` gives for each address.
struct VerifyResult {
    QList<VerifyDifference> differences;
    int verified = 0; // bytes whose value matched
    int total = 0;

    bool ok() const { return differences.isEmpty() && verified == total; }
    // "85 of 85 values verified"
    QString summary() const;
    // One line per difference, the expected value under its word ("screen",
    // "written"): "Bank 2 Swing sensitivity: screen 1200, board 176"
    QStringList lines(const QString& expectedWord) const;
    // "Verify: the board holds every value the screen shows (85 of 85 values
    // verified)." or the summary and the lines.
    QString message(const QString& expectedWord) const;
};
VerifyResult CompareWithBoard(const QList<ParameterWrite>& expected,
                              const std::function<std::optional<quint8>(int address)>& boardValue);

class Verification : public ReadSweep {
    Q_OBJECT
public:
    // expectedWord names where the expected values come from in the lines of
    // the end message ("screen", "written").
    Verification(BoardLink& link, QList<ParameterWrite> expected, const QString& expectedWord,
                 QObject* parent = nullptr);

    // Valid once finished.
    VerifyResult result() const;

protected:
    QString endMessage() const override;

private:
    QList<ParameterWrite> m_expected;
    QString m_expectedWord;
};

} // namespace Params
