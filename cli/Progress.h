// One progress line per board on the error stream: a bar with counts and the
// time left on a terminal, plain lines at every tenth elsewhere (a log, a pipe).
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <QStringList>

class Progress {
public:
    Progress(const QStringList& ports, bool enabled);

    void update(const QString& port, const QString& what, int done, int total, const QString& unit);
    // The board's last line: "done" or the reason it stopped.
    void finish(const QString& port, bool ok);

private:
    struct Line {
        QString port;
        QString text;
        int lastTenth = -1;
        QElapsedTimer started;
        QString startedWhat;
    };
    void redraw(bool force);
    Line* line(const QString& port);

    QList<Line> m_lines;
    bool m_enabled;
    bool m_terminal;
    bool m_drawn = false;
    QElapsedTimer m_lastDraw;
};
