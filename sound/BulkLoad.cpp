// Bulk load of the base sound set into bank 1: one slot per Timer4 step, each
// through its slot button's handler and the ordinary upload. Started with F12 in
// the file list, stopped with F11 or "Annulla"; a step whose upload has begun is
// always completed.
#include "app/Serial1.h"

#include "comm/BoardLink.h"
#include "common/Clock.h"
#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/Globals.h"
#include "common/Paths.h"
#include "sound/BaseSounds.h"
#include "sound/SlotMap.h"

#include <QDir>

namespace {
constexpr int FIRST_STEP = 1;
constexpr int LAST_FILE_STEP = static_cast<int>(Sound::BASE_SOUND_FILES.size());
const char* const FINISHED = "Finito..";
} // namespace

void TSerialForm1::buildBulkLoad()
{
    Timer4 = new WindowTimer(this, Define::BULK_LOAD_TICK_MS);
    Timer4->setObjectName(QStringLiteral("Timer4"));
    Timer4->setOnTimer([this] { Timer4Timer(); });
}

void TSerialForm1::Button2Click()
{
    // The question names what is written: the base set and where it comes from,
    // not the file selected in the list.
    if (!AskYesNo(QStringLiteral("Do you want to load the base sound set ") + BaseSoundFolder() +
                  QStringLiteral(" on Kordex as bank 1 sounds ?  ")))
        return;
    LoadAll();
}

void TSerialForm1::LoadAll()
{
    RICHIESTA = false;
    STEP_TIMER4 = FIRST_STEP;
    Timer4->setEnabled(true);
}

void TSerialForm1::StopBulkLoad()
{
    Timer4->setEnabled(false);
    RICHIESTA = true;
}

QString TSerialForm1::BulkLoadLost(const QString& port)
{
    const bool loading = !RICHIESTA && STEP_TIMER4 >= FIRST_STEP && STEP_TIMER4 <= LAST_FILE_STEP + 1;
    // STEP_TIMER4 is past the file whose upload still holds the link.
    const int finished = STEP_TIMER4 - FIRST_STEP - (Link->busy() ? 1 : 0);
    StopBulkLoad();
    if (!loading)
        return {};
    return BoardLink::cutShort(QStringLiteral("Loading the base sound set"), finished, LAST_FILE_STEP,
                                   QStringLiteral("files"), port);
}

void TSerialForm1::Timer4Timer()
{
    // The previous step's upload runs on until its closing pause is over.
    if (Link->busy())
        return;
    Timer4->setEnabled(false);
    RICHIESTA = false;
    if (STEP_TIMER4 >= FIRST_STEP && STEP_TIMER4 <= LAST_FILE_STEP) {
        // Bank 1's slots come first in the slot table, in the base set's order.
        const int slot = STEP_TIMER4 - FIRST_STEP;
        FileName = QDir(BaseSoundFolder()).filePath(QString::fromLatin1(Sound::BASE_SOUND_FILES[slot]));
        StartAddress = Sound::SoundSlots().at(slot).address;
        SlotButton(slot);
        if (RICHIESTA) // the device went away during the slot's request pause
            return;
        ++STEP_TIMER4;
        Timer4->setEnabled(true);
    } else if (STEP_TIMER4 == LAST_FILE_STEP + 1) {
        ShowMessage(QString::fromLatin1(FINISHED));
        RICHIESTA = true;
    }
}
