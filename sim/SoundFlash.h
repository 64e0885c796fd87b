// The board's sound memory: a NOR flash of 64 KiB sectors. Erasing sets bytes to
// 0xFF; programming can only clear bits (the new byte is old AND written).
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <vector>

class SoundFlash {
public:
    static constexpr quint8 ERASED = 0xFF;

    SoundFlash();

    // Erases the sector that holds address. False when the address lies beyond the memory.
    bool eraseSectorAt(quint32 address);
    void eraseAll();
    // Programs one byte. False (and nothing changes) beyond the end of the memory.
    bool program(quint32 address, quint8 value);

    quint8 at(quint32 address) const { return m_bytes.at(address); }
    QByteArray contents() const;

private:
    std::vector<quint8> m_bytes;
};
