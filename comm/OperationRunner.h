// One way to run an operation where the user sees it: the window's wait dialog
// and the terminal's progress line are both views of the same run, which tells
// them its progress under the name of the step under way, its end, and disposes
// of the operation; and one way Cancel reaches what runs.
#pragma once

#include "comm/OperationProgress.h"

#include <QString>
#include <functional>
#include <memory>

class Operation;

// Where a running operation is shown.
class OperationView {
public:
    virtual ~OperationView() = default;
    // Before the start: the operation's title and whether Cancel can stop it.
    virtual void starting(const QString& /*title*/, bool /*stoppable*/) {}
    // The link refused it (a message said why); nothing was sent.
    virtual void refused(const QString& /*name*/) {}
    // It started and goes on: an operation may also end inside its start.
    virtual void running() {}
    // A step of it goes on under its own name ("Verify").
    virtual void renamed(const QString& /*name*/) {}
    // `text`: the progress line as the operation words it.
    virtual void progressed(const OperationProgress& progress, const QString& text) = 0;
    virtual void ended(bool ok, const QString& message) = 0;
};

// Starts `operation` on `view`; from its end it disposes of itself. False when
// the link refused it: it has been deleted then.
bool RunOperation(Operation* operation, std::shared_ptr<OperationView> view);

// Cancel: the work `running` belongs to (the operation whose step it is, or
// itself) stops at its safe point once `confirm`, when given, agrees to its
// question. False, with nothing asked, when it cannot be stopped safely.
bool CancelOperation(Operation& running, const std::function<bool(const QString& question)>& confirm);
