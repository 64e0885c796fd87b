// The sound panel of the set-up window: the sound-file browser (folders, files,
// "Info File ", waveform, preview) and the slot controls that upload what it has
// selected. The window places the slot controls' row widgets in its sound rows.
// Keys in the file list: F12 loads the base sound set, F11 stops a loading of
// sounds, Scroll Lock then Delete asks for the traffic monitor.
#pragma once

#include "common/ui/BoardPanel.h"
#include "common/ui/ProgressView.h"
#include "params/Board.h"
#include "sound/ui/SlotControls.h"

#include <QString>

class InfoFileBox;
class SoundBrowser;

class SoundPanel : public BoardPanel {
    Q_OBJECT
public:
    SoundPanel(Params::Board& board, SlotControls::OperationRunner runOperation, ProgressView progressView,
               QWidget* parent = nullptr);

    SoundBrowser* browser() const { return m_browser; }
    InfoFileBox* fileInfo() const;
    SlotControls* slotControls() const { return m_slotControls; }
    // What went where, for whoever else sends sounds to the board.
    Sound::BoardJournal& journal() const { return m_slotControls->journal(); }

    // The sound folder of the installation, listed afresh.
    void fill() override;
    QList<QAction*> actionsOffWhileLocked() const override { return m_slotControls->menuActions(); }

signals:
    // Scroll Lock and then Delete in the file list: the traffic monitor, with
    // room for it beside the window.
    void trafficMonitorWanted();
    // The start of the selected sound, for the traffic monitor's sample grid.
    void samplesShown(const QByteArray& sound);

private:
    void fileListKeyPressed(int key);
    // F11: stops the loading of sounds that runs (the base sound set or a sound
    // font) after the file being sent, and says what it stopped; the work a load
    // is a step of, after Cancel's question (nothing to say then).
    QString stopLoading();
    // The board's "End." after a file sent on its own.
    void uploadEnded();

    ProgressView m_progressView;
    SoundBrowser* m_browser;
    SlotControls* m_slotControls;
    int m_previousKey = 0; // the previous key pressed in the file list
};
