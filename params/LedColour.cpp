#include "params/LedColour.h"

#include "common/Define.h"
#include "params/BoardModel.h"

#include <QStringList>
#include <algorithm>

namespace Params {

namespace {
constexpr Column COLOUR_COLUMNS[] = {Column::R, Column::G, Column::B, Column::W};
constexpr Column FLICKER_COLUMNS[] = {Column::Rf, Column::Gf, Column::Bf, Column::Wf};
constexpr const char* CHANNEL_NAMES[] = {"red", "green", "blue", "white"};
constexpr int RED = 0;
constexpr int GREEN = 1;
constexpr int BLUE = 2;
constexpr int WHITE = 3;
constexpr int SCREEN_MAX = 255; // a channel fully on, as a display draws it

Channels ShownChannels(const BoardModel& shown, const ScreenRow& row, const Column (&columns)[4])
{
    Channels channels;
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const ParameterField* field = fieldAt(row.bank, row.row, columns[i]);
        bool isNumber = false;
        const int value = field ? shown.shownText(field->editName()).toInt(&isNumber) : 0;
        if (isNumber)
            channels[i] = value;
    }
    return channels;
}

bool AllKnown(const Channels& channels)
{
    return std::all_of(channels.begin(), channels.end(), [](const std::optional<int>& c) { return c.has_value(); });
}

// A channel's share of full brightness after the flicker's dip; a value outside
// the board's range (typed, not written yet) is shown at the nearest end.
double Level(std::optional<int> value, std::optional<int> depth, double dip)
{
    const double steady = std::clamp(*value, 0, Define::PARAMETER_MAX_VALUE) / double(Define::PARAMETER_MAX_VALUE);
    const double dipBy = std::clamp(depth.value_or(0), 0, Define::FLICKER_MAX) / double(Define::FLICKER_MAX);
    return steady * (1.0 - dipBy * std::clamp(dip, 0.0, 1.0));
}

QString ChannelList(const Channels& channels)
{
    QStringList parts;
    for (std::size_t i = 0; i < channels.size(); ++i)
        parts << QStringLiteral("%1 %2").arg(QLatin1String(CHANNEL_NAMES[i]),
                                             channels[i] ? QString::number(*channels[i]) : QStringLiteral("unknown"));
    return parts.join(QStringLiteral(", "));
}
} // namespace

RowLight ShownRowLight(const BoardModel& shown, const ScreenRow& row)
{
    RowLight light{QStringLiteral("Bank %1 %2").arg(row.bank).arg(QLatin1String(row.caption)),
                   ShownChannels(shown, row, COLOUR_COLUMNS), std::nullopt};
    if (fieldAt(row.bank, row.row, Column::Rf))
        light.flicker = ShownChannels(shown, row, FLICKER_COLUMNS);
    return light;
}

std::optional<Rgb> MixedColour(const RowLight& light, double dip)
{
    if (!AllKnown(light.colour))
        return std::nullopt;
    const Channels noFlicker{};
    const Channels& depth = light.flicker ? *light.flicker : noFlicker;
    const double white = Level(light.colour[WHITE], depth[WHITE], dip);
    auto mixed = [&](int channel) {
        const double level = std::min(1.0, Level(light.colour[channel], depth[channel], dip) + white);
        return static_cast<int>(level * SCREEN_MAX + 0.5);
    };
    return Rgb{mixed(RED), mixed(GREEN), mixed(BLUE)};
}

bool Flickers(const RowLight& light)
{
    return light.flicker && MixedColour(light, 0) != MixedColour(light, 1);
}

QString LightDescription(const RowLight& light)
{
    QString text = light.name + QStringLiteral(": ") + ChannelList(light.colour);
    if (light.flicker)
        text += QStringLiteral("; flicker ") + ChannelList(*light.flicker);
    return text;
}

} // namespace Params
