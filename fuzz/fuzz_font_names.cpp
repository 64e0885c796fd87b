// The font-name matcher, on any name: a match is always a slot of its kind,
// and what the rule says does not matter (extension, case, separators) does not
// change the answer.
//
// Input: a byte choosing where a separator goes, then the name in UTF-8.
#include "FuzzInput.h"

#include "sound/FontNames.h"

namespace {

bool sameMatch(const std::optional<Sound::FontSlot>& a, const std::optional<Sound::FontSlot>& b)
{
    if (a.has_value() != b.has_value())
        return false;
    return !a || (a->kind == b->kind && a->number == b->number);
}

bool isAscii(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() > 0x7f)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::uint8_t separatorAt = input.byte();
    const QString name = QString::fromUtf8(input.rest().bytes());

    const std::optional<Sound::FontSlot> match = Sound::MatchFontName(name);
    if (match) {
        const QString slotName = Sound::FontSlotName(match->kind, match->number);
        FUZZ_CHECK(!slotName.isEmpty());
        FUZZ_CHECK(match->number >= 1);
        // Only numbered kinds carry their number in their name.
        FUZZ_CHECK(match->number == 1 || slotName.endsWith(QString::number(match->number)));
    }

    // A plain name (no folder, no dot) judged with any sound extension.
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('.')))
        return 0;
    FUZZ_CHECK(sameMatch(Sound::MatchFontName(name + QStringLiteral(".wav")), match));
    FUZZ_CHECK(sameMatch(Sound::MatchFontName(name + QStringLiteral(".FLAC")), match));
    if (!isAscii(name))
        return 0;
    FUZZ_CHECK(sameMatch(Sound::MatchFontName(name.toUpper()), match));
    const qsizetype at = name.isEmpty() ? 0 : separatorAt % (name.size() + 1);
    FUZZ_CHECK(sameMatch(Sound::MatchFontName(name.left(at) + QStringLiteral("_- ") + name.mid(at)), match));
    return 0;
}
