#include "firmware/BootTexts.h"

#include "common/Define.h"
#include "firmware/HexLayout.h"

namespace BootTexts {

namespace {

constexpr qint64 MS_PER_SECOND = 1000;
constexpr qint64 SECONDS_PER_MINUTE = 60;

const QString TIMEOUT = QStringLiteral("Comunication error.....  Timeout.");

} // namespace

QString Duration(qint64 ms)
{
    const qint64 seconds = (ms + MS_PER_SECOND - 1) / MS_PER_SECOND;
    if (seconds < SECONDS_PER_MINUTE)
        return QStringLiteral("about %1 s").arg(seconds);
    return QStringLiteral("about %1 min %2 s")
        .arg(seconds / SECONDS_PER_MINUTE)
        .arg(seconds % SECONDS_PER_MINUTE);
}

QString Summary(const Hex::HexSummary& summary)
{
    const qint64 last = summary.first + summary.bytes - 1;
    return QStringLiteral("%1-%2, %3 bytes, %4 words\n%5 lines, programming takes %6")
        .arg(Hex::AddressText(summary.first, last), Hex::AddressText(last))
        .arg(summary.bytes)
        .arg(summary.words)
        .arg(summary.lines)
        .arg(Duration(summary.runMs));
}

QString Progress(int written, int total, qint64 msLeft)
{
    return QStringLiteral("%1 of %2 words written, %3 left").arg(written).arg(total).arg(Duration(msLeft));
}

QString EraseQuestion()
{
    return QStringLiteral(
        "Erase the board's application? The board does nothing until a new one is programmed.");
}

QString EraseTimeout()
{
    const int seconds = Define::FIRMWARE_TIMEOUT_TICKS * Define::FIRMWARE_TICK_MS / MS_PER_SECOND;
    return TIMEOUT + QStringLiteral("\nThe loader did not confirm the erase within %1 s. Check that the "
                                    "board's switches are on the loader and its led is blue, then press "
                                    "\"Erase\" again.")
                         .arg(seconds);
}

QString RunTimeout()
{
    return TIMEOUT + QLatin1Char('\n') + NoApplication();
}

QString NotIntelHex()
{
    return QStringLiteral("The file is not in Intel Hex format. \n") + NoApplication();
}

QString NoApplication()
{
    return QStringLiteral("The board has no complete application now. Leave its switches on the loader and "
                          "run \"Erase\" and \"Program\" again.");
}

QString Done(int words)
{
    return QStringLiteral("Programming done: %1 words written. The board has its new application.")
        .arg(words);
}

} // namespace BootTexts
