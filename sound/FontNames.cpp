#include "sound/FontNames.h"

#include "common/Define.h"

#include <QFileInfo>

namespace Sound {
namespace {

struct Spelling {
    const char* word;
    SlotKind kind;
};

const Spelling SPELLINGS[] = {
    {"poweron", SlotKind::PowerOn},   {"on", SlotKind::PowerOn},      {"out", SlotKind::PowerOn},
    {"poweroff", SlotKind::PowerOff}, {"off", SlotKind::PowerOff},    {"in", SlotKind::PowerOff},
    {"hum", SlotKind::Hum},           {"swing", SlotKind::Swing},     {"swng", SlotKind::Swing},
    {"clash", SlotKind::Clash},       {"clsh", SlotKind::Clash},      {"powerclash", SlotKind::PowerClash},
    {"lockup", SlotKind::PowerClash}, {"lock", SlotKind::PowerClash},
};

struct KindName {
    SlotKind kind;
    const char* name;
    int slotCount;
    bool numbered;
};

const KindName KIND_NAMES[] = {
    {SlotKind::PowerOn, "Power On", 1, false},
    {SlotKind::PowerOff, "Power Off", 1, false},
    {SlotKind::Hum, "Hum", 1, false},
    {SlotKind::Swing, "Swing", Define::SWING_SLOTS, true},
    {SlotKind::Clash, "Clash", Define::CLASH_SLOTS, true},
    {SlotKind::PowerClash, "Power Clash", Define::POWER_CLASH_SLOTS, true},
};

const KindName& nameOf(SlotKind kind)
{
    for (const KindName& k : KIND_NAMES)
        if (k.kind == kind)
            return k;
    return KIND_NAMES[0];
}

// More digits than this cannot be a slot number, and would overflow.
constexpr int MAX_NUMBER_DIGITS = 4;

} // namespace

std::optional<FontSlot> MatchFontName(const QString& fileName)
{
    QString key;
    for (const QChar c : QFileInfo(fileName).completeBaseName().toLower())
        if (c.isLetterOrNumber())
            key += c;
    qsizetype digitsFrom = key.size();
    while (digitsFrom > 0 && key[digitsFrom - 1].isDigit())
        --digitsFrom;
    const QString word = key.left(digitsFrom);
    const QString digits = key.mid(digitsFrom);
    int number = 1;
    if (!digits.isEmpty()) {
        qsizetype zeros = 0;
        while (zeros < digits.size() && digits[zeros] == QLatin1Char('0'))
            ++zeros;
        if (digits.size() - zeros > MAX_NUMBER_DIGITS)
            return std::nullopt;
        number = digits.toInt();
    }
    for (const Spelling& s : SPELLINGS)
        if (word == QLatin1String(s.word)) {
            if (number < 1 || number > nameOf(s.kind).slotCount)
                return std::nullopt;
            return FontSlot{s.kind, number};
        }
    return std::nullopt;
}

QString FontSlotName(SlotKind kind, int number)
{
    const KindName& k = nameOf(kind);
    const QString name = QString::fromLatin1(k.name);
    return k.numbered ? name + QLatin1Char(' ') + QString::number(number) : name;
}

} // namespace Sound
