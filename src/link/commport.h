#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

// The serial port to the controller: 9600 baud, no parity, 8 data bits, 1
// stop bit, no flow control. Every byte that goes out or comes in passes
// the signals bytesSent and bytesReceived, so a trace view or a test can
// listen to the line without touching the transaction code. A device that
// fails while open (a USB adapter pulled out) is closed and reported once
// through deviceLost.
class CommPort : public QObject
{
    Q_OBJECT

public:
    enum class OpenResult {
        Opened,
        NotFound,      // no such device
        AccessDenied,  // no permission, or another program holds it
        Failed,        // anything else, configuration included
    };

    explicit CommPort(QObject *parent = nullptr);
    ~CommPort() override;

    // Opens device (a path, or a name such as COM3) and configures the line.
    // A port that is already open is closed first.
    OpenResult open(const QString &device);
    void close();
    bool isOpen() const;
    // The device last opened (or tried).
    QString device() const { return m_device; }
    // The system's description of the last failure.
    QString errorText() const { return m_errorText; }

    // Writes the bytes; false when the port is closed or the write failed
    // (the port is then closed and deviceLost emitted).
    bool write(const QByteArray &bytes);

    // Takes whatever the port has buffered and passes it on through
    // bytesReceived; returns how many bytes that was.
    qint64 readBuffered();

    // True (the default): bytes are taken as soon as they arrive. False:
    // only readBuffered() takes them, as a polling design would.
    void setReadOnArrival(bool on) { m_readOnArrival = on; }

    // Tries whether device can be opened, without disturbing this port.
    static OpenResult probe(const QString &device);

signals:
    void bytesReceived(const QByteArray &bytes);
    void bytesSent(const QByteArray &bytes);
    void openChanged(bool open);
    void deviceLost(const QString &device, const QString &reason);

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    static OpenResult configure(QSerialPort &port, const QString &device);

    QSerialPort m_port;
    QString m_device;
    QString m_errorText;
    bool m_readOnArrival = true;
};
