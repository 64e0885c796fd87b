// The header of the set-up window: the board's release and serial number on
// their band, "FW" that hands the board over to its loader, and the hidden
// service groups (the serial number's parts, the word being programmed).
#pragma once

#include "common/ui/BoardPanel.h"
#include "common/ui/ValueLabel.h"
#include "params/Board.h"

#include <QString>
#include <functional>

class HandOver;
class QFrame;
class QGroupBox;
class QLineEdit;
class QPushButton;

class HeaderPanel : public BoardPanel {
    Q_OBJECT
public:
    // What the hand-over does beyond the header: the port and the firmware
    // window are not the header's.
    struct HandOverActions {
        std::function<void()> closePort;
        // False when the port did not open (the user was told).
        std::function<bool()> reopenPort;
        std::function<void()> showFirmwareWindow;
        // What a firmware run cut short by a lost device left the board without;
        // empty when nothing was cut short.
        std::function<QString()> takeFirmwareLossNote;
    };

    HeaderPanel(Params::Board& board, HandOverActions actions, QWidget* parent = nullptr);

    // The controls never shown are hidden again.
    void fill() override;
    // "FW" comes after every control of the window in the tab order.
    void comeLastInTabOrder();
    // The firmware window has sent a word to the loader.
    void showWordSent(int address, int word);

    // ---- Firmware update (HeaderPanelHandOver.cpp) ----------------------------
    const HandOver& handOver() const { return *m_handOver; }
    void updateFirmware();
    // The device was lost: stops the hand-over and says how far it got; empty
    // when it was not running.
    QString handOverCutShort(const QString& port);

signals:
    // From "FW" until the firmware window shows the board is on its way to the
    // loader; what is locked follows.
    void handingOverChanged();

private:
    void buildIdentityBand();
    void buildServiceGroups();
    void buildFirmwareButton(HandOverActions actions);
    void setHandingOver(bool handingOver);
    void showDecoded(const Params::DecoderEffect& effect);
    // The read has ended: the release and the serial number are marked when
    // they did not answer.
    void showUnreadMarks();

    HandOver* m_handOver = nullptr;
    std::function<QString()> m_takeFirmwareLossNote;
    QFrame* m_identityBand = nullptr;
    ValueLabel* m_releaseNumber = nullptr;      // release number
    ValueLabel* m_serialNumber = nullptr;       // serial number
    QPushButton* m_writeSerialButton = nullptr; // "WriteSN", never shown

    // ---- Hidden groups ------------------------------------------------------
    QGroupBox* m_factoryTestBox = nullptr;   // "Collaudo": the serial number's parts, the old serial number
    QGroupBox* m_flashServiceBox = nullptr;  // "Flash App."
    QGroupBox* m_bootServiceBox = nullptr;   // "Boot App."
    QPushButton* m_firmwareButton = nullptr; // "FW": hand the board over to its loader
    QLineEdit* m_flashAddress = nullptr;     // flash address of the word being sent, never shown
    QLineEdit* m_flashData = nullptr;        // flash data, the word being sent, never shown
};
