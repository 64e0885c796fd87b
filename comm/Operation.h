// A long operation on the board: it takes all its inputs when it is made, holds
// the link from start() to its end, owns its timers and steps, and reports its
// progress and its end by signals. Nothing outside it can change what it sends;
// the windows only start it, show its progress and offer Cancel.
#pragma once

#include "comm/BoardLink.h"

#include <QObject>
#include <QPointer>
#include <QString>

class Operation : public QObject {
    Q_OBJECT
public:
    explicit Operation(BoardLink& link, QObject* parent = nullptr);
    ~Operation() override;

    // Takes the link and runs the first step. False when the link refused (a
    // message said why); nothing has been sent then.
    bool start();
    bool running() const { return m_running; }

    // The question Cancel asks ("Stop the upload into Bank 1 Swing 1?"); empty
    // when the operation cannot be stopped safely.
    virtual QString cancelQuestion() const { return {}; }
    // Stops at the next safe point and finishes with what was left undone.
    void cancel();
    // Whether Cancel has been asked for and the operation is on its way to a stop.
    bool stopping() const { return m_stopping; }

    const BoardLink::Request& request() const { return m_request; }
    // The wait dialog's caption: the operation's name, unless the user knows the
    // work under a caption of its own.
    virtual QString title() const { return m_request.name; }
    // The progress line the windows show: "<name>... 3 of 85 values" unless the
    // operation counts in terms of its own (sectors, the file being sent).
    virtual QString progressText() const;
    // How far it has got: "3 of 85 values".
    QString progressFigure() const;

    // Deletes the operation from the top of the event loop: its end is reported
    // from inside one of its steps (a tick, a pause's lost device), and a pause or
    // a modal message opened meanwhile would otherwise delete it, and its timer,
    // under that step.
    void dispose();
    int done() const { return m_done; }
    // Its name, unit and count as they stand: what the link tells of it.
    OperationProgress progressNow() const;

    // The operation this one runs as a step of, while it holds the link; null
    // for an operation started on its own.
    Operation* host() const { return m_host; }
    // What the user started and Cancel addresses: this operation, or the one it
    // is a step of.
    Operation& whole();

signals:
    void progressed(int done, int total);
    // ok: all of it was done. message: what the user is told; empty when the
    // device went away (the loss message says how far it got) or nothing needs
    // saying.
    void finished(bool ok, const QString& message);

protected:
    // What the link shows: name, unit, total and how received blocks are handled.
    void describe(BoardLink::Request request);
    // The first step, run once the link is held.
    virtual void run() = 0;
    // Stops every timer; no further step runs. Called on a lost device and on Cancel.
    virtual void halt() = 0;
    // Cancel: by default every timer stops at once and the operation finishes with
    // stoppedMessage(). An operation that must reach a safe point first (the end of
    // a sector) overrides it and finishes there.
    virtual void stopSafely();
    // "<name> was stopped after <done> of <total> <unit>."
    QString stoppedMessage() const;

    void progress(int done);
    void setTotal(int total);
    // From here on the progress counts another unit, from zero (a measurement
    // that goes on to write its results).
    void restate(const QString& unit, int total);
    // Releases the link and reports the end.
    void finish(bool ok, const QString& message = {});

    // Starts `step` as a step of `host`, which holds the link meanwhile.
    static bool startStep(Operation& step, Operation& host);

    BoardLink& link() const { return m_link; }
    // The link, or null once it is being destroyed (a window closing mid-operation).
    BoardLink* liveLink() const { return m_linkAlive.data(); }

private:
    BoardLink& m_link;
    // Null once the link is gone: a window that closes mid-operation deletes its
    // link before the operations it owns.
    QPointer<BoardLink> m_linkAlive;
    QPointer<Operation> m_host;
    BoardLink::Request m_request;
    bool m_running = false;
    bool m_stopping = false;
    int m_done = 0;
};
