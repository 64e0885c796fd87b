// What the screen shows against what the board holds: a swatch of each row's
// colour, a mark on each value that differs from the board (or was never
// read, or came from a loaded file), and the status line counting the
// differences before "Write Parameters" sends them. The tooltips follow the
// same changes.
#include "params/ui/ParameterPanel.h"

#include "comm/BoardLink.h"
#include "common/ui/UnreadMark.h"
#include "common/ui/ValueLabel.h"
#include "params/LedColour.h"
#include "params/ParameterLayout.h"
#include "params/ui/ColourSwatch.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

using namespace Params;

namespace {
const QString LOADED_DESCRIPTION = QStringLiteral("changed by the loaded file");

QString DiffersDescription(const QString& held, bool loaded)
{
    const QString boardHolds = QStringLiteral("the board holds %1").arg(held);
    return loaded ? LOADED_DESCRIPTION + QStringLiteral("; ") + boardHolds : boardHolds;
}

QString StatusText(int differing, bool boardKnown)
{
    if (differing == 1)
        return QStringLiteral("1 value on the screen differs from the board: \"Write Parameters\" sends it.");
    if (differing > 1)
        return QStringLiteral("%1 values on the screen differ from the board: \"Write Parameters\" sends them.")
            .arg(differing);
    return boardKnown ? QStringLiteral("The screen shows what the board holds.") : QString();
}
} // namespace

void ParameterPanel::watchScreenMarks()
{
    // After the screen model has taken each change (watchUserValues connects first).
    for (QLineEdit* e : std::as_const(m_edits))
        connect(e, &QLineEdit::textChanged, this, [this] { showScreenMarks(); });
    for (const RadioGroup* group : {&defaultBankButtons(), &frequencyButtons()})
        for (const RadioChoice& choice : group->choices)
            connect(radioButton(choice.button), &QRadioButton::toggled, this, [this] { showScreenMarks(); });
    // What the board holds changes as values are written and read back, and
    // is forgotten with the port.
    connect(board().link(), &BoardLink::frameSent, this, [this] { showScreenMarks(); });
    connect(board().link(), &BoardLink::readAnswered, this, [this] { showScreenMarks(); });
    connect(&board(), &Board::forgotten, this, [this] {
        m_readHasEnded = false;
        showScreenMarks();
    });
    showScreenMarks();
}

void ParameterPanel::showScreenMarks()
{
    showValueMarks();
    refreshParameterTips();
    const auto rows = screenRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (const RowLight light = ShownRowLight(board().screen(), rows[i]); light != rowSwatches[int(i)]->light())
            rowSwatches[int(i)]->showLight(light);
}

void ParameterPanel::showValueMarks()
{
    const ReadState& state = board().readState();
    auto unread = [&](int address) { return m_readHasEnded && state.isUnread(address); };
    const BoardModel& held = board().model();
    int differing = 0;
    bool boardKnown = false;
    for (const ParameterField& field : parameterFields()) {
        QLineEdit* e = edit(field.editName());
        if (!e)
            continue;
        if (unread(field.address) || unread(field.lowAddress()) || unread(field.highAddress())) {
            setUnreadMark(e, true, UnreadLook::Edit);
            continue;
        }
        const bool loaded = e->property(LOADED_MARK).toBool();
        const QString heldText = held.text(field.editName());
        boardKnown = boardKnown || !heldText.isEmpty();
        if (!heldText.isEmpty() && board().screen().shownText(field.editName()) != heldText) {
            ++differing;
            setValueMark(e, ValueMark::Differs, UnreadLook::Edit, DiffersDescription(heldText, loaded));
        } else if (loaded) {
            setValueMark(e, ValueMark::Loaded, UnreadLook::Edit, LOADED_DESCRIPTION);
        } else {
            setValueMark(e, ValueMark::None, UnreadLook::Edit, QString());
        }
    }

    if (unread(Define::ADDR_FREQUENCY_MODE)) {
        setUnreadMark(frequencyBox, true, UnreadLook::Frame);
    } else if (const std::optional<int> mode = held.frequencyMode();
               mode && board().screen().shownFrequency() != mode) {
        ++differing;
        const char* button = frequencyButtons().buttonFor(*mode);
        setValueMark(frequencyBox, ValueMark::Differs, UnreadLook::Frame,
                     DiffersDescription(button ? radioButton(button)->text() : QString::number(*mode), false));
    } else {
        setValueMark(frequencyBox, ValueMark::None, UnreadLook::Frame, QString());
    }
    parameterStatus->setValue(StatusText(differing, boardKnown));
}
