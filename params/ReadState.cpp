#include "params/ReadState.h"

#include "common/Define.h"
#include "params/ParameterLayout.h"

namespace Params {

namespace {
// A message names this many values at most, then counts the rest.
constexpr int NAMES_SHOWN = 12;

QString nameList(const QStringList& names)
{
    if (names.size() <= NAMES_SHOWN)
        return names.join(QStringLiteral(", "));
    return QStringLiteral("%1 and %2 more").arg(names.mid(0, NAMES_SHOWN).join(QStringLiteral(", ")))
        .arg(names.size() - NAMES_SHOWN);
}
} // namespace

void ReadState::readEnded(const QList<int>& asked, const QList<int>& unanswered)
{
    for (int address : asked)
        if (isUnread(address)) // a byte written, then read back, says so
            setByte(address, Origin::Read);
    for (int address : unanswered)
        setGroup(address, Origin::NeverRead);
}

void ReadState::setGroup(int address, Origin origin)
{
    for (int byte : addressesDecodedTogether(address))
        m_origins.at(static_cast<std::size_t>(byte)) = origin;
}

Origin ReadState::origin(int address) const
{
    return address >= 0 && address < ADDRESS_SPACE ? m_origins.at(static_cast<std::size_t>(address))
                                                   : Origin::NeverRead;
}

Origin ReadState::valueOrigin(int address) const
{
    // Never read, then typed, written, read and verified: a value is only as
    // sure as its least sure byte.
    constexpr Origin WEAKEST_FIRST[] = {Origin::NeverRead, Origin::Typed, Origin::Written, Origin::Read,
                                        Origin::Verified};
    const QList<int> bytes = addressesDecodedTogether(address);
    for (Origin weak : WEAKEST_FIRST)
        for (int byte : bytes)
            if (origin(byte) == weak)
                return weak;
    return Origin::Verified;
}

QStringList ReadState::unreadNames(const QList<int>& addresses) const
{
    QStringList names;
    for (int address : addresses) {
        const QString name = shownValueName(address);
        if (isUnread(address) && !name.isEmpty() && !names.contains(name))
            names.append(name);
    }
    return names;
}

QList<int> ReadState::unreadShown() const
{
    QList<int> shown;
    for (int address = 0; address < Define::PARAMETER_COUNT; ++address)
        if (isUnread(address) && !shownValueName(address).isEmpty())
            shown.append(address);
    return shown;
}

QString NeverReadMessage(const QString& action, const QStringList& names)
{
    return QStringLiteral("%1 sends nothing: these values were never read from the board: %2.\n"
                          "Press \"Read Parameters\" to read them, or type the values in.")
        .arg(action, nameList(names));
}

QString UnansweredMessage(const QStringList& names)
{
    return QStringLiteral("These values did not come back from the board, even when asked again: %1.\n"
                          "Their fields are marked; \"Write Parameters\" will not send them until they "
                          "have been read or typed in. Press \"Read Parameters\" to read them again.")
        .arg(nameList(names));
}

} // namespace Params
