// What this connection knows of the board's parameters: the byte the board
// holds at each address, as its replies gave it or as this tool wrote it, and
// where each value came from (ReadState). Two-byte values are assembled from
// their two addresses' own bytes, so answers coming out of order never mix
// halves of different values. The set-up window and the command line keep one
// each (in Params::Board) and save, compare and apply from it; the screen
// shows it, with the rules the screen's own controls add (a flicker edit keeps
// 100 at most), and what the user typed or loaded over it until the board
// holds that too: "Save...", "Verify" and "Write Parameters" take what is shown.
#pragma once

#include "params/BoardIdentity.h"
#include "params/ParameterBytes.h"
#include "params/ParameterDecoder.h"
#include "params/ParameterFile.h"
#include "params/ParameterLayout.h"
#include "params/ReadState.h"

#include <QHash>
#include <QString>

class BoardLink;
class QObject;
#include <bitset>
#include <optional>

namespace Params {

class BoardModel {
public:
    // Decodes one received block, takes what it says of the board and returns
    // the changes the screen applies, in order.
    QList<DecoderEffect> receive(const QByteArray& block);
    // A frame that left for the board: a parameter write is what the board holds now.
    void frameSent(const QByteArray& frame);
    // An awaited read was answered, decoded or not (a verification compares
    // without showing): a written byte read back as written is verified.
    void answered(int address, std::uint8_t byte);
    // Follows what leaves on `link` and what its reads answer, for as long as
    // `context` lives; the decoded replies come through receive().
    void follow(BoardLink& link, QObject* context);
    // A read is about to replace every value.
    void readStarting() { m_readState.forgetAll(); }
    // A read of `asked` has ended; `unanswered` did not answer.
    void readEnded(const QList<int>& asked, const QList<int>& unanswered);

    ReadState& readState() { return m_readState; }
    const ReadState& readState() const { return m_readState; }

    // The byte a read or a write of this connection left at `address`; nothing
    // when neither did, or its read did not answer.
    std::optional<std::uint8_t> heldByte(int address) const;
    // The value as the board holds it (as the screen would show it); nothing
    // while a byte of it was never read nor written.
    std::optional<int> value(const ParameterField& field) const;
    // The text the screen shows in the edit or label; empty when never read.
    QString text(const QString& control) const;
    std::optional<int> defaultBank() const { return choice(defaultBankButtons()); }
    // The mode's value, or the byte the board holds when no mode stands for it.
    std::optional<int> frequencyMode() const;
    QString release() const;
    // As the header shows it, read in this connection or not.
    QString serialNumber() const { return m_identity.shown(); }
    const BoardIdentity& identity() const { return m_identity; }

    // The values the screen shows that this connection has neither read nor
    // written, each named once ("Bank 2 Clash red", "Frequency"): typing one in
    // tells nothing of what the board holds.
    QStringList unknownNames() const;

    // The content "Save..." writes from a screen showing the board's values.
    ParameterFileContent fileContent() const;

    // ---- What the user puts over the board's values ---------------------------
    // An edit's text as typed or loaded, a number or not ("Write Parameters"
    // refuses what is none, "Save..." keeps it as it is). It stands until a
    // read shows the board's value there, or the board is given that value.
    void type(const ParameterField& field, const QString& text);
    // A default bank or frequency mode chosen on the screen or by a loaded
    // file, not sent yet.
    void chooseDefaultBank(int bank) { m_chosenDefaultBank = bank; }
    void chooseFrequency(int mode) { m_chosenFrequency = mode; }
    // What the screen shows: the user's, else the board's.
    QString shownText(const QString& edit) const;
    std::optional<int> shownDefaultBank() const { return m_chosenDefaultBank ? m_chosenDefaultBank : defaultBank(); }
    std::optional<int> shownFrequency() const { return m_chosenFrequency ? m_chosenFrequency : frequencyMode(); }
    // The content "Save..." writes: what the screen shows.
    ParameterFileContent shownFileContent() const;

private:
    bool known(int address) const { return m_known.test(static_cast<std::size_t>(address)); }
    void take(int address, std::uint8_t byte);
    // The value a group's byte stands for; nothing when none of its buttons does.
    std::optional<int> choice(const RadioGroup& group) const;
    // The board's value at `address` was read: what the user put there is gone
    // from the screen.
    void dropTyped(int address);
    // The board's value at `address` was written: what the user put there
    // stands while the board holds something else (a pair half written).
    void settleTyped(int address);

    ParameterDecoder m_decoder;
    ParameterBytes m_bytes;
    std::bitset<ADDRESS_SPACE> m_known;
    ReadState m_readState;
    BoardIdentity m_identity;
    QHash<int, QString> m_typed; // by the field's address
    std::optional<int> m_chosenDefaultBank;
    std::optional<int> m_chosenFrequency;
};

} // namespace Params
