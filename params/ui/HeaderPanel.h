// The header of the set-up window: the board's release and serial number on
// their band, "FW" that hands the board over to its loader, and the hidden
// service groups (the serial number's parts, the word being programmed).
#pragma once

#include "common/ui/ValueLabel.h"
#include "params/Board.h"

#include <QString>
#include <QWidget>
#include <functional>

class HandOver;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class WindowTimer;

class HeaderPanel : public QWidget {
    Q_OBJECT
public:
    // What the hand-over does to the port; the port is not the header's.
    struct PortActions {
        std::function<void()> closePort;
        // False when the port did not open (the user was told).
        std::function<bool()> reopenPort;
    };

    HeaderPanel(Params::Board& board, PortActions portActions, QWidget* parent = nullptr);

    QFrame* identityBand = nullptr;
    QLabel* releaseCaption = nullptr;         // "Release n."
    ValueLabel* releaseNumber = nullptr;      // release number
    QLabel* serialCaption = nullptr;          // "Serial N."
    ValueLabel* serialNumber = nullptr;       // serial number
    QPushButton* writeSerialButton = nullptr; // "WriteSN", never shown

    // ---- Hidden groups ------------------------------------------------------
    QGroupBox* factoryTestBox = nullptr;        // "Collaudo"
    ValueLabel* serialLot = nullptr;            // serial number, first part
    ValueLabel* serialRunningNumber = nullptr;  // serial number, second part
    ValueLabel* oldSerialNumber = nullptr;      // old-format serial number
    QGroupBox* flashServiceBox = nullptr;       // "Flash App."
    QGroupBox* bootServiceBox = nullptr;        // "Boot App."

    // ---- Firmware update (HeaderPanelHandOver.cpp) ----------------------------
    QPushButton* firmwareButton = nullptr; // "FW": hand the board over to its loader
    QLineEdit* flashAddress = nullptr;     // flash address of the word being sent, never shown
    QLineEdit* flashData = nullptr;        // flash data, the word being sent, never shown
    WindowTimer* handOverTimer = nullptr;  // the hand-over's steps, 200 ms
    int handOverStep() const;              // the hand-over's next step
    void updateFirmware();
    // The device was lost: stops the hand-over and says how far it got; empty
    // when it was not running.
    QString handOverCutShort(const QString& port);

    // The window shows: the controls never shown are hidden again.
    void windowShown();

signals:
    // From "FW" until the firmware window shows the board is on its way to the
    // loader; what is locked follows.
    void handingOverChanged();

private:
    void buildIdentityBand();
    void buildServiceGroups();
    void buildFirmwareButton(PortActions portActions);
    void setHandingOver(bool handingOver);
    void showDecoded(const Params::DecoderEffect& effect);
    // The read has ended: the release and the serial number are marked when
    // they did not answer.
    void showUnreadMarks();

    Params::Board& m_board;
    HandOver* m_handOver = nullptr;
};
