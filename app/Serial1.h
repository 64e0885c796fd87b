// The set-up window: port panel, parameters, sounds, motion and diagnostics.
// Its controls are declared here; its behaviour is defined by the subsystem
// that owns each part (comm/, params/, sound/, motion/, firmware/).
#pragma once

#include <QWidget>
#include <memory>

class SerialPort;

class TSerialForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TSerialForm1(QWidget* parent = nullptr);
    ~TSerialForm1() override;

    // The serial component. Tests may replace it before the window is used.
    SerialPort* ComPort1;
    void setComPort(std::unique_ptr<SerialPort> port);

    // Port panel and settings file.
    void InitSeriale();
    void LoadSeriale();
    void CloseSeriale();

    // Board status.
    void RadioButton9Click();

    // Bulk load of the base sound set.
    void StopBulkLoad();

private:
    std::unique_ptr<SerialPort> m_ownedPort;
};
