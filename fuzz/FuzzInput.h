// Reads a fuzzer's input as a script: single bytes for choices, and blocks that
// live in heap buffers of exactly their own size, so that the address sanitizer
// stops any read past a block's last byte.
#pragma once

#include <QByteArray>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

// Unlike assert(), stays in every build type: a broken rule is a finding.
#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "%s:%d: broken rule: %s\n", __FILE__, __LINE__, #condition);                \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (false)

class ExactBlock {
public:
    ExactBlock(const std::uint8_t* data, std::size_t size)
        : m_storage(std::make_unique<char[]>(size))
    {
        std::copy(data, data + size, m_storage.get());
        m_bytes = QByteArray::fromRawData(m_storage.get(), static_cast<qsizetype>(size));
    }
    const QByteArray& bytes() const { return m_bytes; }

private:
    std::unique_ptr<char[]> m_storage;
    QByteArray m_bytes;
};

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    bool atEnd() const { return m_pos == m_size; }
    // The next byte; 0 once the input is used up.
    std::uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    // The next count bytes, fewer when the input ends first.
    ExactBlock take(std::size_t count)
    {
        const std::size_t n = std::min(count, m_size - m_pos);
        ExactBlock block(m_data + m_pos, n);
        m_pos += n;
        return block;
    }
    ExactBlock rest() { return take(m_size - m_pos); }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
