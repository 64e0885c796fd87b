#include "sim/WireSettings.h"

#include "sim/SimDefaults.h"

namespace {

std::optional<int> wholeNumber(const QString& text, int low, int high)
{
    bool valid = false;
    const int value = text.toInt(&valid);
    if (!valid || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<Pieces> parsePieces(const QStringList& words)
{
    using namespace SimDefaults;
    constexpr qsizetype SIZE_AND_GAP = 2;
    if (words.isEmpty() || words.size() > SIZE_AND_GAP)
        return std::nullopt;
    const auto bytes = wholeNumber(words[0], PIECE_SIZE_MIN, PIECE_SIZE_MAX);
    const auto gap = words.size() == SIZE_AND_GAP ? wholeNumber(words[1], PIECE_GAP_MS_MIN, PIECE_GAP_MS_MAX)
                                                  : std::optional<int>(PIECE_GAP_MS_MIN);
    if (!bytes || !gap)
        return std::nullopt;
    return Pieces{*bytes, *gap};
}

std::optional<int> parseBundle(const QString& count)
{
    return wholeNumber(count, SimDefaults::BUNDLE_MIN, SimDefaults::BUNDLE_MAX);
}

QString piecesRange()
{
    using namespace SimDefaults;
    return QStringLiteral("pieces of %1 to %2 bytes, %3 to %4 ms apart")
        .arg(PIECE_SIZE_MIN)
        .arg(PIECE_SIZE_MAX)
        .arg(PIECE_GAP_MS_MIN)
        .arg(PIECE_GAP_MS_MAX);
}

QString bundleRange()
{
    return QStringLiteral("bundles of %1 to %2 messages")
        .arg(SimDefaults::BUNDLE_MIN)
        .arg(SimDefaults::BUNDLE_MAX);
}
