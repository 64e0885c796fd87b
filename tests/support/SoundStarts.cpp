#include "SoundStarts.h"

#include "Controls.h"
#include "SoundFiles.h"

#include "app/Forms.h"
#include "app/SetupWindow.h"
#include "sound/ui/InfoFileBox.h"
#include "sound/ui/SoundBrowser.h"

#include <QDir>
#include <QListWidget>
#include <QTest>

bool StartUpload(const QString& folder, int samples)
{
    if (!WriteRampSound(QDir(folder).filePath(QStringLiteral("sound.wav")), samples))
        return false;
    setupWindow->sounds()->browser()->fillFileList();
    control<QListWidget>(setupWindow, "soundFileList")->setCurrentRow(0);
    setupWindow->sounds()->slotControls()->uploadFromMenu(Sound::SlotIndex(1, Sound::SlotKind::Swing, 1));
    return true;
}

bool StartBulkLoad(const QString& installFolder, int samples)
{
    const QString zero = QDir(installFolder).filePath(QStringLiteral("Sounds/ZERO"));
    QDir().mkpath(zero);
    if (!WriteRampSound(zero + QStringLiteral("/Base_PowerOn_0.wav"), samples) ||
        !WriteRampSound(zero + QStringLiteral("/Base_PowerOff_0.wav"), samples))
        return false;
    QTest::keyClick(control<QListWidget>(setupWindow, "soundFileList"), Qt::Key_F12);
    return true;
}
