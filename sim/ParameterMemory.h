// The board's parameter memory: one byte per 8-bit address. It starts with the
// factory values and can be kept in a file across runs (raw bytes, address 0 first).
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>

class ParameterMemory {
public:
    static constexpr int SIZE = 256;

    ParameterMemory();

    quint8 read(quint8 address) const { return m_bytes[address]; }
    void write(quint8 address, quint8 value);
    QByteArray bytes() const;

    // Replaces the contents with a file written by save(). False with error when
    // the file cannot be read or does not hold exactly SIZE bytes.
    bool load(const QString& path, QString* error);
    bool save(const QString& path, QString* error) const;

    // Called after every write.
    std::function<void()> onChanged;

private:
    std::array<quint8, SIZE> m_bytes{};
};
