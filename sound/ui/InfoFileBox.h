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

    ValueLabel* soundFileName = nullptr; // file name of the selected file
    ValueLabel* previewNote = nullptr;   // why there is no preview, when there is none
    ValueLabel* formatCode = nullptr;    // "PCM": format code
    ValueLabel* channelCount = nullptr;  // "Mono": channels
    ValueLabel* sampleRate = nullptr;    // "Sample rate"
    ValueLabel* bitsPerSample = nullptr; // "Bit / Sample"
    ValueLabel* fileSize = nullptr;      // "Size" in bytes, red when too big for a slot
    // The sound as the board will receive it.
    ValueLabel* soundFormat = nullptr;     // the file's real format
    ValueLabel* soundConversion = nullptr; // what converting it for the board does
    ValueLabel* boardSize = nullptr;       // bytes a slot receives, red when they do not fit
    ValueLabel* clipNote = nullptr;        // samples the conversion clips
    QLineEdit* beginSkip = nullptr;        // "Samples to skip (begin)"
    QLineEdit* endSkip = nullptr;          // "Samples to skip (end)"
    qint64 selectedFileSize = 0;           // in bytes, -1 when unreadable
    bool fitsOneSectorSlot = false;
    bool fitsHumSlot = false;

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
};
