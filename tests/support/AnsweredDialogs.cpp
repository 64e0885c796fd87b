#include "AnsweredDialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {
// Long enough for the box's loop to run a few rounds of whatever else is due
// (the board's telemetry, the clock's timers) before it is answered.
constexpr int ANSWER_AFTER_MS = 150;

Dialogs& standardDialogs()
{
    setDialogs(nullptr);
    return dialogs();
}
} // namespace

AnsweredDialogs::AnsweredDialogs(Dialogs& restore)
    : m_restore(restore)
    , m_shown(standardDialogs())
{
    setDialogs(this);
    m_timer.setInterval(ANSWER_AFTER_MS);
    connect(&m_timer, &QTimer::timeout, this, &AnsweredDialogs::answer);
    m_timer.start();
}

AnsweredDialogs::~AnsweredDialogs()
{
    setDialogs(&m_restore);
}

void AnsweredDialogs::answer()
{
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return;
    QAbstractButton* button = box->button(QMessageBox::Yes);
    if (!button)
        button = box->defaultButton();
    if (!button)
        return;
    texts.append(box->text());
    if (onShown)
        onShown(box->text());
    button->click();
}
