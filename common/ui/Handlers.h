// Connects a control's signal to its handler through the one guarded path:
// - an exception leaving the handler is shown in the default error box and never
//   reaches Qt's event loop;
// - a press that arrives during a blocking pause (an animated click's timer, an
//   accessibility action, a queued signal) is held back like user input and runs
//   after the pause, and only if its control is still enabled then: an operation
//   that locked the control meanwhile is never reached by it.
#pragma once

#include "common/Clock.h"
#include "common/Guarded.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <type_traits>

class QRadioButton;

// Selects a radio button as the program; its handler runs only when it was not
// selected before, as with a user's click.
void SelectRadioButton(QRadioButton* button);

// Runs the handler when the button becomes selected, by the user or by the
// program; never when an already selected button is selected again.
void connectSelected(QRadioButton* button, QObject* context, std::function<void()> handler);

namespace Detail {
// Runs the handler now, or after the pause when one runs.
void RunHandler(const QPointer<QObject>& control, std::function<void()> handler);
} // namespace Detail

template <typename Control, typename Signal, typename Handler>
QMetaObject::Connection connectHandler(Control* control, Signal signal, QObject* context, Handler handler)
{
    return QObject::connect(control, signal, context,
                            [control = QPointer<QObject>(control), handler](auto... arguments) {
                                Detail::RunHandler(control, [=] {
                                    // A handler may ignore what the signal carries (clicked's checked state).
                                    if constexpr (std::is_invocable_v<Handler, decltype(arguments)...>)
                                        handler(arguments...);
                                    else
                                        handler();
                                });
                            });
}
