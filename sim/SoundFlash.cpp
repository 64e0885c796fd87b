#include "sim/SoundFlash.h"

#include "common/Define.h"

#include <algorithm>

SoundFlash::SoundFlash()
    : m_bytes(Define::SOUND_MEMORY_SIZE, ERASED)
{
}

bool SoundFlash::eraseSectorAt(quint32 address)
{
    if (address >= Define::SOUND_MEMORY_SIZE)
        return false;
    const quint32 first = address - address % Define::SECTOR_SIZE;
    std::fill_n(m_bytes.begin() + first, Define::SECTOR_SIZE, ERASED);
    return true;
}

void SoundFlash::eraseAll()
{
    std::fill(m_bytes.begin(), m_bytes.end(), ERASED);
}

bool SoundFlash::program(quint32 address, quint8 value)
{
    if (address >= Define::SOUND_MEMORY_SIZE)
        return false;
    m_bytes[address] &= value;
    return true;
}

QByteArray SoundFlash::contents() const
{
    return QByteArray(reinterpret_cast<const char*>(m_bytes.data()), static_cast<qsizetype>(m_bytes.size()));
}
