// The "Info File " group: what the selected file holds (its header and size),
// what the board will get of it (format, conversion, the bytes a slot receives,
// clipping) and the two skip counts the uploads apply.
#pragma once

#include <QByteArray>
#include <QGroupBox>

class QFormLayout;
class QLineEdit;
class ValueLabel;

class InfoFileBox : public QGroupBox {
    Q_OBJECT
public:
    explicit InfoFileBox(QWidget* parent = nullptr);

    // The two skip counts as typed.
    QString beginSkipText() const;
    QString endSkipText() const;
    // In bytes, -1 when unreadable.
    qint64 selectedFileSize() const { return m_selectedFileSize; }
    bool fitsOneSectorSlot() const { return m_fitsOneSectorSlot; }
    bool fitsHumSlot() const { return m_fitsHumSlot; }
    // The name of the file being sent.
    void showFileName(const QString& name);

    // Shows the file at path; an empty path clears the name and the board's facts.
    void showFile(const QString& path);
    // The selected sound as the board plays it, once converted; empty when it is
    // sent as it is, or cannot be converted.
    const QByteArray& convertedSound() const { return m_convertedSound; }
    void showPreviewNote(bool audible);

private:
    void buildBoardFacts(QFormLayout* info);
    void showBoardFacts(const QString& path);

    QByteArray m_convertedSound;
    ValueLabel* m_soundFileName = nullptr; // file name of the selected file
    ValueLabel* m_previewNote = nullptr;   // why there is no preview, when there is none
    ValueLabel* m_formatCode = nullptr;    // "PCM": format code
    ValueLabel* m_channelCount = nullptr;  // "Mono": channels
    ValueLabel* m_sampleRate = nullptr;    // "Sample rate"
    ValueLabel* m_bitsPerSample = nullptr; // "Bit / Sample"
    ValueLabel* m_fileSize = nullptr;      // "Size" in bytes, red when too big for a slot
    // The sound as the board will receive it.
    ValueLabel* m_soundFormat = nullptr;     // the file's real format
    ValueLabel* m_soundConversion = nullptr; // what converting it for the board does
    ValueLabel* m_boardSize = nullptr;       // bytes a slot receives, red when they do not fit
    ValueLabel* m_clipNote = nullptr;        // samples the conversion clips
    QLineEdit* m_beginSkip = nullptr;        // "Samples to skip (begin)"
    QLineEdit* m_endSkip = nullptr;          // "Samples to skip (end)"
    qint64 m_selectedFileSize = 0;
    bool m_fitsOneSectorSlot = false;
    bool m_fitsHumSlot = false;
};
