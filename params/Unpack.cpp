// Decoding of the board's parameter replies.
#include "app/Serial1.h"

#include "common/Define.h"
#include "common/Globals.h"

namespace {
constexpr char LOADER_ACK_WORD = Define::WRITEFLASHAPP_CMD;
constexpr char LOADER_ACK_ERASE = Define::ERASEFLASHAPP_CMD;
} // namespace

void TSerialForm1::UnpackComand(const QByteArray& Data)
{
    if (Data.isEmpty())
        return;
    if (Data[0] == LOADER_ACK_WORD || Data[0] == LOADER_ACK_ERASE)
        READY = 1;
}

void TSerialForm1::FormattaSerialNumber(int) {}
