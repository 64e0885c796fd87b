#include "sim/SimLog.h"

#include <cstdio>

namespace {

bool verboseOn = false;
QByteArray prefix = "kordex-sim";

void print(const QString& text)
{
    std::fprintf(stderr, "%s: %s\n", prefix.constData(), text.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

namespace SimLog {

void setVerbose(bool on)
{
    verboseOn = on;
}

void setName(const QString& name)
{
    prefix = name.toLocal8Bit();
}

void note(const QString& text)
{
    if (verboseOn)
        print(text);
}

void warning(const QString& text)
{
    print(text);
}

QString hex(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

} // namespace SimLog
