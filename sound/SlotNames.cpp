#include "sound/SlotNames.h"

#include "sound/SlotMap.h"

#include <array>

namespace Sound {
namespace {

struct KindWord {
    const char* word; // followed by the number for the numbered kinds
    SlotKind kind;
};
constexpr std::array<KindWord, 6> KIND_WORDS = {{
    {"on", SlotKind::PowerOn},
    {"off", SlotKind::PowerOff},
    {"hum", SlotKind::Hum},
    {"swing", SlotKind::Swing},
    {"clash", SlotKind::Clash},
    {"powerclash", SlotKind::PowerClash},
}};

bool isNumbered(SlotKind kind)
{
    return kind >= SlotKind::Swing;
}

} // namespace

int SlotIndexByName(int bank, const QString& name)
{
    for (const KindWord& kind : KIND_WORDS) {
        const QString word = QString::fromLatin1(kind.word);
        if (!name.startsWith(word))
            continue;
        const QString rest = name.mid(word.size());
        bool number = rest.isEmpty();
        const int n = rest.isEmpty() ? 1 : rest.toInt(&number);
        if (number && (rest.isEmpty() || isNumbered(kind.kind)))
            if (const int index = SlotIndex(bank, kind.kind, n); index >= 0)
                return index;
    }
    return -1;
}

QString SlotWord(int slot)
{
    const SoundSlot& s = SoundSlots().at(slot);
    for (const KindWord& kind : KIND_WORDS)
        if (kind.kind == s.kind)
            return isNumbered(s.kind) ? QString::fromLatin1(kind.word) + QString::number(s.number)
                                      : QString::fromLatin1(kind.word);
    return {};
}

QString SlotWordsText()
{
    return QStringLiteral("on, off, hum, swing1..6, clash1..6, powerclash1..4");
}

} // namespace Sound
