// What the parameter screen would show after a read, without the screen: the
// decoder's changes applied to a table of texts and selected choices, with the
// rules the screen's own controls add (a flicker edit keeps 100 at most). The
// command line reads the board into one and saves or compares it like the
// window's "Save..." does; the window keeps one of what the board holds, as far
// as this connection has read or written it.
#pragma once

#include "common/Define.h"

#include "params/BoardIdentity.h"
#include "params/ParameterDecoder.h"
#include "params/ParameterFile.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <optional>

namespace Params {

class ReadState;

class ParameterImage {
public:
    // Decodes one received block and applies what it changes.
    void receive(const QByteArray& block);
    void apply(const DecoderEffect& effect);
    // A read has ended; `state` tells which addresses answered.
    void readEnded(const ReadState& state) { m_identity.readEnded(state); }
    // The board was sent this default bank.
    void defaultBankWritten(int bank) { m_defaultBank = bank; }

    // The text the screen shows in the edit or label; empty when never read.
    QString text(const QString& control) const { return m_texts.value(control); }
    std::optional<int> defaultBank() const { return m_defaultBank; }
    // The mode's value, or the byte the board holds when no mode stands for it.
    std::optional<int> frequencyMode() const { return m_frequencyMode; }
    QString release() const;
    // As the header shows it, read in this connection or not.
    QString serialNumber() const { return m_identity.shown(); }
    const BoardIdentity& identity() const { return m_identity; }

    // The content "Save..." writes from a screen showing this image.
    ParameterFileContent fileContent() const;

private:
    ParameterDecoder m_decoder;
    QMap<QString, QString> m_texts;
    std::optional<int> m_defaultBank;
    std::optional<int> m_frequencyMode;
    BoardIdentity m_identity;
};

} // namespace Params
