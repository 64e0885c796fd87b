#include "SoundStarts.h"

#include "SoundFiles.h"

#include "app/Forms.h"
#include "app/Serial1.h"

#include <QDir>
#include <QListWidget>
#include <QTest>

bool StartUpload(const QString& folder, int samples)
{
    if (!WriteRampSound(QDir(folder).filePath(QStringLiteral("sound.wav")), samples))
        return false;
    SerialForm1->FillFileList();
    SerialForm1->FileListBox1->setCurrentRow(0);
    SerialForm1->Swing11Click();
    return true;
}

bool StartBulkLoad(const QString& installFolder, int samples)
{
    const QString zero = QDir(installFolder).filePath(QStringLiteral("Sounds/ZERO"));
    QDir().mkpath(zero);
    if (!WriteRampSound(zero + QStringLiteral("/Base_PowerOn_0.wav"), samples) ||
        !WriteRampSound(zero + QStringLiteral("/Base_PowerOff_0.wav"), samples))
        return false;
    QTest::keyClick(SerialForm1->FileListBox1, Qt::Key_F12);
    return true;
}
