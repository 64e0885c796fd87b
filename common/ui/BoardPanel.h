// What every panel of the set-up window shares: it shows one board model, and
// the window tells it, from one place, when to fill itself from the model, when
// an operation holds the link and when the board is gone. A panel hands the
// others nothing but that model and its signals.
#pragma once

#include <QList>
#include <QWidget>

class QAction;
namespace Params {
class Board;
}

class BoardPanel : public QWidget {
    Q_OBJECT
public:
    // The window shows: what the panel shows is taken from the model again.
    virtual void fill() {}
    // An operation holds the link or the board is on its loader: the controls
    // under the panel go off, but for those it keeps live (viewing, stopping
    // what runs).
    virtual QList<QWidget*> keptLiveWhileLocked() const { return {}; }
    // The panel's actions that go off with the controls.
    virtual QList<QAction*> actionsOffWhileLocked() const { return {}; }
    // The device is gone and its port closed: work that needed it stops.
    virtual void boardLost() {}

protected:
    BoardPanel(Params::Board& board, QWidget* parent);
    Params::Board& board() const { return m_board; }

private:
    Params::Board& m_board;
};
