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

void ReadState::readEnded(const QList<int>& unanswered)
{
    m_unread.reset();
    for (int address : unanswered)
        for (int byte : addressesDecodedTogether(address))
            m_unread.set(static_cast<std::size_t>(byte));
}

void ReadState::setByUser(int address)
{
    for (int byte : addressesDecodedTogether(address))
        m_unread.reset(static_cast<std::size_t>(byte));
}

bool ReadState::isUnread(int address) const
{
    return address >= 0 && address < ADDRESS_SPACE && m_unread.test(static_cast<std::size_t>(address));
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
