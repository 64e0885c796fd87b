// The wait dialog as the view of a running operation: its title names the
// operation, or its step under way; the bar and the line tell how far it has
// got; Cancel shows when it can stop it; its end closes the dialog.
#pragma once

#include "comm/OperationRunner.h"

#include <functional>

class WaitDialog;

class WaitDialogView : public OperationView {
public:
    // What is told once the dialog has closed; by default the operation's
    // message, when it has one, after the event that ended it.
    using Told = std::function<void(bool ok, const QString& message)>;
    explicit WaitDialogView(WaitDialog& dialog, Told told = {});

    void starting(const QString& name, bool stoppable) override;
    void running() override;
    void renamed(const QString& name) override;
    void progressed(const OperationProgress& progress, const QString& text) override;
    void ended(bool ok, const QString& message) override;

private:
    WaitDialog& m_dialog;
    Told m_told;
};
