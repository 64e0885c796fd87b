// The board at the other end of the port, as the set-up window knows it: the
// link, what this connection has read of the board (decoded on arrival), which
// values the screen holds from it, the mode the window puts it in, and whether
// the firmware update owns it. Windows show it; none keeps a copy of it.
//
// Two identities are kept. The header shows the release and serial number last
// decoded, and keeps showing them after the port closes: "Save..." and "Load..."
// use those. The serial number read in this connection (readSerialNumber()) is
// forgotten with the connection: it keys the slot journal, and a number from
// another board would put one board's sounds into another's journal.
#pragma once

#include "params/BoardModel.h"

#include <QObject>
#include <QString>
#include <memory>

class BoardLink;
class Operation;
class ReadSweep;
class SerialPort;

namespace Params {

class Board : public QObject {
    Q_OBJECT
public:
    // The board's modes the window offers ("Active", "SetUp", "TX").
    enum class Mode { Active, SetUp, Tx };

    explicit Board(QObject* parent = nullptr);
    ~Board() override;

    // ---- The port and the link ---------------------------------------------------
    BoardLink* link() const { return m_link; }
    SerialPort* serialPort() const;
    // Replaces the serial component (tests install a scripted port); its opening
    // and closing are announced by portOpened() and portClosed().
    void setPort(std::unique_ptr<SerialPort> port);
    // The port list is given up to a port: set as the list is disabled, before
    // the port opens (or fails to), cleared as it is enabled again.
    void setPortInUse(bool inUse) { m_portInUse = inUse; }
    bool portInUse() const { return m_portInUse; }

    // ---- What this connection knows of the board ---------------------------------
    const BoardModel& model() const { return m_model; }
    ReadState& readState() { return m_model.readState(); }
    const ReadState& readState() const { return m_model.readState(); }
    // True while a received reply is being shown: the decoder, not the user,
    // changes the screen then.
    bool decoding() const { return m_decoding; }
    // What the screen shows: the values of the boards this window has talked
    // to, as read and written, with what the user typed or loaded over them.
    // Kept when the port closes, as the screen keeps it.
    BoardModel& screen() { return m_shown; }
    const BoardModel& screen() const { return m_shown; }
    // What the header shows; kept when the port closes.
    QString release() const { return m_shown.release(); }
    QString shownSerialNumber() const { return m_shown.serialNumber(); }
    // This connection's board; empty until every byte of its number was read.
    QString readSerialNumber() const { return m_model.identity().serialNumber(); }
    // The port closed, changed or was lost: nothing of the board is known.
    void forget();

    // ---- Talking to it -----------------------------------------------------------
    void sendMode(Mode mode);
    // The default bank, written at once.
    void writeDefaultBank(int bank);
    // A parameter write without waiting for an answer, then the board's pause.
    void writeValue(int value, int address);
    // "Read Parameters": every address, decoded as the answers come. Null when
    // the link refused (an operation holds it, or the port is closed).
    Operation* startRead();
    // A read made for this board, not started yet: the model takes what it
    // read as it ends. A read of every address (replacesAll) replaces all the
    // model held, and is announced by readStarting() and readEnded().
    ReadSweep* track(ReadSweep* sweep, bool replacesAll);
    bool reading() const;
    bool writing() const;
    // The last command still waits for its reply.
    bool expectingReply() const;

    // ---- Who may use it ------------------------------------------------------------
    // The editing controls follow set-up mode.
    void setSetUpMode(bool on);
    bool setUpMode() const { return m_setUpMode; }
    // From "FW" until the firmware window shows.
    void setHandingOver(bool handingOver) { m_handingOver = handingOver; }
    bool handingOver() const { return m_handingOver; }
    void setFirmwareWindowShown(bool shown) { m_firmwareWindowShown = shown; }
    // The board is being handed over to its loader, or its firmware window is up
    // on an open port: it would not understand the application's frames.
    bool onLoader() const;
    // Refuses with a message naming what holds the board (an operation, or the
    // firmware update while the board is on its loader); false when nothing does.
    bool refuseWhileBusy() const;

signals:
    // Each change a reply makes, in order, once the board model has taken it.
    // The screen shows the messages among them.
    void decoded(const Params::DecoderEffect& effect);
    // A read is about to replace what the screen shows.
    void readStarting();
    // A read has ended and readState() tells what answered; the message naming
    // what did not follows.
    void readEnded();
    // The port closed, changed or was lost: nothing of the board is known now.
    void forgotten();
    void setUpModeChanged(bool on);
    void portOpened();
    void portClosed();

private:
    void decode(const QByteArray& block);

    BoardLink* m_link;
    BoardModel m_model;
    BoardModel m_shown; // fed like m_model, never forgotten
    bool m_decoding = false;
    bool m_setUpMode = false;
    bool m_portInUse = false;
    bool m_handingOver = false;
    bool m_firmwareWindowShown = false;
};

} // namespace Params
