// The application program memory as the loader fills it: 16-bit words in the
// order they arrive (the loader's write command carries no address).
#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <vector>

class ProgramMemory {
public:
    static constexpr int CAPACITY_WORDS = 0x10000; // 128 KiB of program flash

    void erase() { m_words.clear(); }
    // Appends one word. False (the word is dropped) when the memory is full.
    bool append(quint16 word);

    int size() const { return static_cast<int>(m_words.size()); }
    // The programmed words, each as its low byte then its high byte.
    QByteArray contents() const;

private:
    std::vector<quint16> m_words;
};
