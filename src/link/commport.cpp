#include "link/commport.h"

CommPort::CommPort(QObject *parent) : QObject(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, &CommPort::onReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &CommPort::onError);
}

CommPort::~CommPort()
{
    // Closing here, not in QSerialPort's own destructor, keeps openChanged
    // from reaching listeners that are being torn down with us.
    blockSignals(true);
    m_port.close();
}

CommPort::OpenResult CommPort::configure(QSerialPort &port, const QString &device)
{
    port.setPortName(device);
    if (!port.open(QIODevice::ReadWrite)) {
        switch (port.error()) {
        case QSerialPort::DeviceNotFoundError:
            return OpenResult::NotFound;
        case QSerialPort::PermissionError:
            return OpenResult::AccessDenied;
        default:
            return OpenResult::Failed;
        }
    }
    const bool configured = port.setBaudRate(QSerialPort::Baud9600)
                            && port.setDataBits(QSerialPort::Data8)
                            && port.setParity(QSerialPort::NoParity)
                            && port.setStopBits(QSerialPort::OneStop)
                            && port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        port.close();
        return OpenResult::Failed;
    }
    // Whatever the device buffered before this open (a late reply to an
    // exchange that timed out) answers nothing that is still to be sent.
    port.clear(QSerialPort::Input);
    return OpenResult::Opened;
}

CommPort::OpenResult CommPort::open(const QString &device)
{
    if (m_port.isOpen())
        close();
    m_device = device;
    m_errorText.clear();
    const OpenResult result = configure(m_port, device);
    if (result != OpenResult::Opened) {
        m_errorText = m_port.errorString();
        m_port.clearError();
        return result;
    }
    emit openChanged(true);
    return result;
}

void CommPort::close()
{
    if (!m_port.isOpen())
        return;
    m_port.close();
    m_port.clearError();
    emit openChanged(false);
}

bool CommPort::isOpen() const
{
    return m_port.isOpen();
}

bool CommPort::write(const QByteArray &bytes)
{
    if (!m_port.isOpen())
        return false;
    const qint64 written = m_port.write(bytes);
    if (written != bytes.size()) {
        if (m_port.isOpen()) {
            m_errorText = m_port.errorString();
            close();
            emit deviceLost(m_device, m_errorText);
        }
        return false;
    }
    emit bytesSent(bytes);
    return true;
}

qint64 CommPort::readBuffered()
{
    if (!m_port.isOpen() || m_port.bytesAvailable() <= 0)
        return 0;
    const QByteArray bytes = m_port.readAll();
    if (!bytes.isEmpty())
        emit bytesReceived(bytes);
    return bytes.size();
}

void CommPort::onReadyRead()
{
    if (m_readOnArrival)
        readBuffered();
}

void CommPort::onError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        break;
    default:
        return;
    }
    // The device is gone or broken: a pulled USB adapter, a closed
    // pseudo-terminal. Reading on would only repeat the error.
    if (!m_port.isOpen())
        return;
    m_errorText = m_port.errorString();
    close();
    emit deviceLost(m_device, m_errorText);
}

CommPort::OpenResult CommPort::probe(const QString &device)
{
    QSerialPort port;
    const OpenResult result = configure(port, device);
    port.close();
    return result;
}
