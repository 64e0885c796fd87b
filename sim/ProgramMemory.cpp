#include "sim/ProgramMemory.h"

namespace {

constexpr int BYTE_BITS = 8;
constexpr quint16 BYTE_MASK = 0xFF;
constexpr int WORD_BYTES = 2;

} // namespace

bool ProgramMemory::append(quint16 word)
{
    if (size() >= CAPACITY_WORDS)
        return false;
    m_words.push_back(word);
    return true;
}

QByteArray ProgramMemory::contents() const
{
    QByteArray bytes;
    bytes.reserve(size() * WORD_BYTES);
    for (const quint16 word : m_words) {
        bytes.append(static_cast<char>(word & BYTE_MASK));
        bytes.append(static_cast<char>(word >> BYTE_BITS));
    }
    return bytes;
}
