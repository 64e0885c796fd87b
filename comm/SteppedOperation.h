// An operation made of steps: other operations, run one after the other while
// this one holds the link, so that nothing else sends or begins between two of
// them. Its progress is the step's under way, under the step's own name and
// unit, so the wait dialog and the terminal name the step; Cancel reaches the
// step under way at its safe point, and no later step begins.
#pragma once

#include "comm/Operation.h"

#include <QPointer>
#include <functional>

class SteppedOperation : public Operation {
    Q_OBJECT
public:
    // "Stop Apply profile?": whatever the step under way, the whole stops.
    QString cancelQuestion() const override;

protected:
    SteppedOperation(BoardLink& link, const QString& name, QObject* parent);

    // Begins `step` and goes on with `next` once it has ended well. A step that
    // failed, could not start, or after which Cancel came ends the whole through
    // stepsEnded() with what to tell.
    void runStep(Operation* step, const std::function<void()>& next);
    // The steps are over: `failure` says why they stopped, empty when all went well.
    virtual void stepsEnded(const QString& failure) = 0;
    void stopSafely() override;
    // The step under way, or the last one; empty before the first.
    const QString& stepName() const { return m_stepName; }

private:
    const QString m_name;
    QPointer<Operation> m_step;
    QString m_stepName;
};
