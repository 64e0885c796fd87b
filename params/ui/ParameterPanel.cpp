// The parameter group's frame: its action buttons and default-bank buttons,
// what the board's replies and modes do to it, and the places where the window
// puts other panels' controls.
#include "params/ui/ParameterPanel.h"

#include "common/Dialogs.h"
#include "common/ui/Handlers.h"
#include "common/ui/Named.h"
#include "params/ParameterLayout.h"

#include <QBoxLayout>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using Params::DecoderEffect;

ParameterPanel::ParameterPanel(Params::Board& board, OperationRunner runOperation, QWidget* parent)
    : BoardPanel(board, parent)
    , m_runOperation(std::move(runOperation))
{
    setObjectName(QStringLiteral("parameterPanel"));
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    parameterGroup = named(new QGroupBox(this), "parameterGroup", QStringLiteral("Parameters"));
    frame->addWidget(parameterGroup);
    auto* group = new QVBoxLayout(parameterGroup);
    buildActions(group);
    buildParameterScreen(group);
    watchUserValues();
    showParameterTips();
    watchScreenMarks();
    group->addStretch();
    // Nothing that writes to the board, or reads it, before set-up mode.
    for (QWidget* control : std::as_const(m_setUpControls))
        control->setEnabled(false);
    connectHandlers();
}

void ParameterPanel::buildActions(QVBoxLayout* group)
{
    auto* actions = m_actions = new QHBoxLayout;
    readParametersButton = named(new QPushButton(QStringLiteral("Read Parameters"), parameterGroup),
                                 "readParametersButton", QStringLiteral("Read Parameters"));
    writeParametersButton = named(new QPushButton(QStringLiteral("Write Parameters"), parameterGroup),
                                  "writeParametersButton", QStringLiteral("Write Parameters"));
    verifyParametersButton = named(new QPushButton(QStringLiteral("Verify"), parameterGroup), "verifyParametersButton",
                                   QStringLiteral("Verify the board's parameters against the screen"));
    saveParametersButton = named(new QPushButton(QStringLiteral("Save..."), parameterGroup), "saveParametersButton",
                                 QStringLiteral("Save the parameters to a file"));
    loadParametersButton = named(new QPushButton(QStringLiteral("Load..."), parameterGroup), "loadParametersButton",
                                 QStringLiteral("Load parameters from a file"));
    for (QPushButton* button : {readParametersButton, writeParametersButton, verifyParametersButton,
                                saveParametersButton, loadParametersButton})
        actions->addWidget(button);
    actions->addStretch();
    group->addLayout(actions);

    // One default-bank button above each bank's rows.
    defaultBank1Button = named(new QRadioButton(QStringLiteral("Bank1"), parameterGroup), "defaultBank1Button",
                               QStringLiteral("Default bank 1"));
    defaultBank2Button = named(new QRadioButton(QStringLiteral("Bank2"), parameterGroup), "defaultBank2Button",
                               QStringLiteral("Default bank 2"));
    defaultBank3Button = named(new QRadioButton(QStringLiteral("Bank3"), parameterGroup), "defaultBank3Button",
                               QStringLiteral("Default bank 3"));
    defaultBank1Button->setChecked(true);
    m_setUpControls = {readParametersButton, writeParametersButton, verifyParametersButton};
}

void ParameterPanel::connectHandlers()
{
    connectHandler(readParametersButton, &QPushButton::clicked, this, [this] { readParameters(); });
    connectHandler(writeParametersButton, &QPushButton::clicked, this, [this] { writeParameters(); });
    connectHandler(saveParametersButton, &QPushButton::clicked, this, [this] { saveParameters(); });
    connectHandler(loadParametersButton, &QPushButton::clicked, this, [this] { loadParameters(); });
    connectHandler(verifyParametersButton, &QPushButton::clicked, this, [this] { verifyParameters(); });
    // A bank button acts when it becomes selected, by the user or by the
    // program, never when the selected button is selected again.
    const std::pair<QRadioButton*, int> banks[] = {
        {defaultBank1Button, 1}, {defaultBank2Button, 2}, {defaultBank3Button, 3}};
    for (const auto& [button, bank] : banks)
        connect(button, &QRadioButton::toggled, this, [this, button = button, bank = bank](bool on) {
            if (on)
                defaultBankChosen(button, bank);
        });

    connect(&board(), &Params::Board::decoded, this, &ParameterPanel::showDecoded);
    connect(&board(), &Params::Board::readStarting, this, [this] {
        m_readHasEnded = false;
        clearLoadedMarks();
    });
    connect(&board(), &Params::Board::readEnded, this, [this] {
        m_readHasEnded = true;
        showScreenMarks();
    });
    connect(&board(), &Params::Board::setUpModeChanged, this, [this](bool on) {
        for (QWidget* control : std::as_const(m_setUpControls))
            control->setEnabled(on);
    });
}

QLineEdit* ParameterPanel::edit(const QString& name) const
{
    return m_edits.value(name);
}

void ParameterPanel::showDecoded(const DecoderEffect& effect)
{
    // Runs while the board is decoding: a value the decoder shows is the
    // board's, not the user's. An edit shows the model, which has taken the
    // reply: a pair with a half never answered shows no number made up of it.
    switch (effect.kind) {
    case DecoderEffect::Kind::SetText:
        if (QLineEdit* target = edit(effect.control))
            target->setText(board().screen().shownText(effect.control));
        break;
    case DecoderEffect::Kind::SelectRadio:
        if (const std::optional<int> bank = board().model().defaultBank();
            bank && effect.control == QLatin1String(Params::defaultBankButtons().buttonFor(*bank)))
            showDefaultBank(*bank);
        else if (auto* button = findChild<QRadioButton*>(effect.control))
            SelectRadioButton(button);
        break;
    case DecoderEffect::Kind::UnlistedFrequency:
        showFrequency(effect.number);
        break;
    case DecoderEffect::Kind::ShowMessage:
        ShowMessage(effect.text);
        break;
    case DecoderEffect::Kind::FormatSerialNumber:
    case DecoderEffect::Kind::SetReady:
        break; // the header's and the board model's
    }
}

std::pair<QString, QString> ParameterPanel::calibrationTexts() const
{
    return {board().screen().shownText(verticalCalibration->objectName()),
            board().screen().shownText(horizontalCalibration->objectName())};
}

QList<QWidget*> ParameterPanel::keptLiveWhileLocked() const
{
    return {saveParametersButton};
}

void ParameterPanel::addToRow(int row, const QList<QWidget*>& widgets)
{
    if (row < 0 || row >= rowPanels.size())
        return;
    auto* cells = qobject_cast<QBoxLayout*>(rowPanels[row]->layout());
    for (QWidget* widget : widgets)
        cells->addWidget(widget);
}

void ParameterPanel::addToActions(QWidget* widget)
{
    m_actions->insertWidget(m_actions->count() - 1, widget); // before the stretch
}

void ParameterPanel::insertActionRow(QWidget* row)
{
    // Below the action buttons (the group's first row), above the heading.
    qobject_cast<QBoxLayout*>(parameterGroup->layout())->insertWidget(1, row);
}

void ParameterPanel::addToCalibration(QWidget* widget)
{
    calibrationBox->layout()->addWidget(widget);
}

void ParameterPanel::showVerticalCalibration(const QString& text)
{
    // Painted at once: the measurement goes on while the value is shown.
    verticalCalibration->setText(text);
    verticalCalibration->repaint();
}

void ParameterPanel::showHorizontalCalibration(const QString& text)
{
    horizontalCalibration->setText(text);
    horizontalCalibration->repaint();
}
