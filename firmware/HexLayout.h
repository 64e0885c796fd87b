// Where a firmware file's data bytes land. The loader's write command carries
// no address: the board stores the words in the order they arrive. A file is
// therefore sendable only when its data records form one run of consecutive
// addresses in whole words from a word boundary; anything that would move a
// byte moves every byte after it.
#pragma once

#include <QList>
#include <QString>
#include <optional>

namespace Hex {

// An address as the messages write it: "0x01CF", with eight digits when it,
// or the widest address written beside it, lies past 64 KiB.
QString AddressText(qint64 address, qint64 widest = 0);

class DataRun {
public:
    // Takes one well-formed record in file order (line counted from 0); the fault
    // that would misplace the data, or nothing.
    std::optional<QString> take(int type, int address, const QList<int>& data, qsizetype line);

    bool empty() const { return !m_next; }
    qint64 first() const { return m_first; }
    qint64 bytes() const { return m_next.value_or(m_first) - m_first; }

private:
    std::optional<QString> placeData(qint64 address, qsizetype count);

    qint64 m_base = 0;                   // from the last extended address record
    std::optional<qsizetype> m_baseLine; // that record, when it came after the last data
    qint64 m_first = 0;
    qint64 m_previous = 0;        // where the last data record began
    std::optional<qint64> m_next; // where the next data byte must go
};

} // namespace Hex
