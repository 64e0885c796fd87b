// What the parameter screen would show after a read, without the screen: the
// decoder's changes applied to a table of texts and selected choices. The
// command line reads the board into one and saves or compares it like the
// window's "Save..." does.
#pragma once

#include "common/Define.h"

#include "params/ParameterDecoder.h"
#include "params/ParameterFile.h"

#include <QMap>
#include <QSet>
#include <QString>
#include <optional>

namespace Params {

class ParameterImage {
public:
    // Decodes one received block and applies what it changes.
    void receive(const QByteArray& block);
    void apply(const DecoderEffect& effect);

    // The text the screen shows in the edit or label; empty when never read.
    QString text(const QString& control) const { return m_texts.value(control); }
    std::optional<int> defaultBank() const { return m_defaultBank; }
    std::optional<int> frequencyMode() const { return m_frequencyMode; }
    QString release() const;
    QString serialNumber() const { return m_serialNumber; }

    // The content "Save..." writes from a screen showing this image.
    ParameterFileContent fileContent() const;

private:
    ParameterDecoder m_decoder;
    QMap<QString, QString> m_texts;
    std::optional<int> m_defaultBank;
    std::optional<int> m_frequencyMode;
    QString m_serialNumber;
};

} // namespace Params
