// The receive side of every serial port: opening and closing, the input buffer, threshold events, loss.

#include "serialport.h"

#include <algorithm>

namespace gx {

bool SerialPort::setPortOpen(bool open)
{
    if (open == m_open)
        return true;
    if (!open) {
        closeDevice();
        m_open = false;
        return true;
    }
    m_error.clear();
    m_failure = {};
    if (!openDevice(&m_error)) {
        if (m_failure.cause == PortTrouble::None)
            m_failure = {PortTrouble::Other, QString(), m_error, QString(), {}};
        return false;
    }
    m_open = true;
    m_in.clear(); // nothing from before the open belongs to this conversation
    return true;
}

void SerialPort::setRThreshold(int n)
{
    // Only arriving bytes raise the receive event, as on the serial control.
    m_threshold = n;
    awaitBytes(std::max(0, n - int(m_in.size())));
}

void SerialPort::output(const QByteArray& bytes)
{
    if (m_open && !m_sealed && !bytes.isEmpty())
        writeDevice(bytes);
}

QByteArray SerialPort::input()
{
    QByteArray all;
    all.swap(m_in);
    awaitBytes(m_threshold);
    return all;
}

void SerialPort::deliver(const QByteArray& bytes)
{
    m_in.append(bytes);
    if (m_in.size() > receiveBufferSize)
        m_in.remove(0, m_in.size() - receiveBufferSize);
    awaitBytes(std::max(0, m_threshold - int(m_in.size())));
    raiseIfDue();
}

void SerialPort::raiseIfDue()
{
    // The receive event fires once the waiting count reaches the threshold;
    // a threshold of 0 raises no receive events.
    if (m_threshold > 0 && m_in.size() >= m_threshold) {
        m_event = comEvReceive;
        emit onComm();
    }
}

void SerialPort::lost(const QString& reason)
{
    if (!m_open)
        return;
    closeDevice();
    m_open = false;
    m_error = reason;
    m_event = comEvLost;
    emit onComm();
    emit portLost(reason);
}

} // namespace gx
