// "Save..." and "Load..." beside the parameter buttons. Saving never talks to
// the board; loading only fills the screen, and "Write Parameters" sends it,
// the default bank and the frequency mode included.
#include "params/ui/ParameterPanel.h"

#include "common/Define.h"
#include "common/Dialogs.h"
#include "common/FileWriting.h"
#include "params/ParameterFile.h"
#include "params/ParameterLayout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

using namespace Params;

namespace {
const QString FILE_FILTER = QStringLiteral("Parameter files (*.json);;All files (*)");
const QString FILE_SUFFIX = QStringLiteral(".json");
} // namespace

QString ParameterPanel::parameterFileFolder() const
{
    return m_parameterFileFolder.isEmpty() ? QDir::homePath() : m_parameterFileFolder;
}

QRadioButton* ParameterPanel::radioButton(const char* name) const
{
    return findChild<QRadioButton*>(QString::fromLatin1(name));
}

void ParameterPanel::showFrequency(int value)
{
    const char* name = frequencyButtons().buttonFor(value);
    for (const RadioChoice& choice : frequencyButtons().choices) {
        QRadioButton* button = radioButton(choice.button);
        const QSignalBlocker quiet(button);
        // An exclusive button cannot be unselected but by another.
        button->setAutoExclusive(false);
        button->setChecked(name && qstrcmp(name, choice.button) == 0);
        button->setAutoExclusive(true);
    }
}

void ParameterPanel::saveParameters()
{
    QString path =
        dialogs().saveFileName(QStringLiteral("Save parameters"), parameterFileFolder(), FILE_FILTER);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += FILE_SUFFIX;
    m_parameterFileFolder = QFileInfo(path).absolutePath();

    const QString failure = WriteWholeFile(path, WriteParameterFile(board().screen().shownFileContent()));
    if (!failure.isEmpty())
        ShowMessage(QStringLiteral("Cannot save the parameters to %1: %2").arg(path, failure));
}

void ParameterPanel::loadParameters()
{
    const QString path =
        dialogs().openFileName(QStringLiteral("Load parameters"), parameterFileFolder(), FILE_FILTER);
    if (path.isEmpty())
        return;
    m_parameterFileFolder = QFileInfo(path).absolutePath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ShowMessage(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        return;
    }
    const ParameterFileResult result = ReadParameterFile(file.read(1 << 21));
    if (!result.content) {
        ShowMessage(
            QStringLiteral("%1 was not loaded, the screen is unchanged.\n%2").arg(path, result.error));
        return;
    }
    const ParameterFileContent& content = *result.content;
    clearLoadedMarks();
    for (auto it = content.edits.begin(); it != content.edits.end(); ++it) {
        QLineEdit* target = edit(it.key());
        if (!target || target->text() == it.value())
            continue;
        target->setProperty(LOADED_MARK, true);
        target->setText(it.value());
    }
    // Selected quietly: a default-bank button selected by the program would
    // otherwise write the bank to the board at once.
    auto selectQuietly = [](QRadioButton* button) {
        const QSignalBlocker quiet(button);
        button->setChecked(true);
    };
    if (content.defaultBank) {
        selectQuietly(radioButton(defaultBankButtons().buttonFor(*content.defaultBank)));
        board().screen().chooseDefaultBank(*content.defaultBank);
    }
    showFrequency(content.frequencyMode);
    board().screen().chooseFrequency(content.frequencyMode);
    // The file's values are the user's choice, read from the board or not.
    for (auto it = content.edits.begin(); it != content.edits.end(); ++it)
        if (const ParameterField* field = fieldByEdit(it.key()))
            userSetValue(field->address);
    userSetValue(Define::ADDR_FREQUENCY_MODE);
    // Unlike a click, the bank chosen here has not gone to the board: "Write
    // Parameters" sends it when the board holds another.
    if (content.defaultBank)
        userSetValue(Define::ADDR_BANK);

    const QString shownSerialNumber = board().shownSerialNumber();
    const QString release = board().release();
    if (content.serialNumber != shownSerialNumber || content.release != release)
        ShowMessage(
            QStringLiteral("Note: %1 was saved from board %2, release %3; this board is %4, release %5.\n"
                           "Check the values before \"Write Parameters\".")
                .arg(path, content.serialNumber, content.release, shownSerialNumber, release));
}

void ParameterPanel::clearLoadedMarks()
{
    for (QLineEdit* e : std::as_const(m_edits))
        e->setProperty(LOADED_MARK, false);
    showScreenMarks();
}
