#include "remote/callanswer.h"

#include "link/link.h"
#include "link/protocol.h"
#include "link/statussink.h"
#include "monitor/faultcodes.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/filestore.h"
#include "platform/serialport.h"
#include "platform/settingsstore.h"
#include "platform/waiter.h"

#include <QDir>

#include <cmath>

namespace gx {

namespace {
const QString LogName = QStringLiteral("faultlog.txt");
const QString Title = QStringLiteral("GX510-520");
constexpr double StayConnectedSeconds = 10.0;
// States 0 and 2 wait for the modem; each wait is this long at most, then the
// loop looks at its flags again.
constexpr double ModemWait = 60.0;

QString hex2(const QByteArray& bytes, int i)
{
    const int v = i < bytes.size() ? quint8(bytes[i]) : 0;
    return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
}
} // namespace

CallAnswerer::CallAnswerer(Link& link, const Clock& clock, FileStore& files, CallLogView& view, QObject* parent)
    : QObject(parent), m_link(link), m_clock(clock), m_files(files), m_view(view)
{
}

void CallAnswerer::setLogFolders(const QString& startFolder, const QString& fallbackFolder)
{
    m_startFolder = startFolder;
    m_fallbackFolder = fallbackFolder;
}

QString CallAnswerer::logPath() const
{
    return QDir(m_useFallback ? m_fallbackFolder : m_startFolder).filePath(LogName);
}

bool CallAnswerer::pause(double seconds)
{
    m_link.waiter.pause(seconds);
    return !m_link.waiter.closing();
}

void CallAnswerer::update_fault_list()
{
    const QString path = logPath();
    QString why;
    const std::optional<QByteArray> file = m_files.read(path, &why);
    if (!file && !m_files.exists(path))
        m_files.write(path, calllog::EndLine.toLatin1() + "\r\n", &why);  // a new log holds only "EOF"
    m_view.showRecords(calllog::recordLines(file.value_or(QByteArray())));
}

bool CallAnswerer::Add_to_fault_log(const QString& site, const QString& hoursRun, int faultReg)
{
    const QString fault = faultcode_to_string(faultReg, m_link.uploadedProfile);
    const QDateTime when = now();
    auto tryWrite = [&](QString* why) {
        const QString path = logPath();
        std::optional<QByteArray> file = m_files.read(path, why);
        if (!file && m_files.exists(path))
            return false;  // there but unreadable: never written over
        return m_files.write(path, calllog::withNewRecord(file.value_or(QByteArray()), site, when, hoursRun, fault), why);
    };
    QString why;
    if (tryWrite(&why))
        return true;
    if (!m_useFallback && !m_fallbackFolder.isEmpty()) {
        const QString failed = logPath();
        m_useFallback = true;
        QDir().mkpath(m_fallbackFolder);
        QString second;
        if (tryWrite(&second)) {
            m_link.dialogs.inform(QStringLiteral("The call log %1 cannot be written (%2). This call and the next "
                                                 "are kept in %3 instead.")
                                      .arg(QDir::toNativeSeparators(failed), why, QDir::toNativeSeparators(logPath())),
                                  Title);
            return true;
        }
        why = second;
    }
    m_link.dialogs.inform(QStringLiteral("This call could not be written to the call log %1 (%2):\n\n%3")
                              .arg(QDir::toNativeSeparators(logPath()), why,
                                   calllog::recordLine(0, site, when, hoursRun, fault).mid(7)),
                          Title);
    return false;
}

bool CallAnswerer::initialiseModem()
{
    Link& l = m_link;
    SerialPort& port = l.MSComm1;
    if (port.portOpen())
        port.setPortOpen(false);
    port.setInputMode(SerialPort::TextMode);
    port.setCommPort(numericValue(l.MODEMport));
    port.setPortOpen(true);
    port.setRThreshold(replylen::ModemText);
    if (!pause(2.0))
        return false;
    l.gotMODEMrx = false;
    const QString init = l.settings.setting(QStringLiteral("ModemInComming"), QStringLiteral("ATE0V0X0S0=0"));
    port.output(init.toLatin1() + "\r\n");
    l.waiter.waitUntil(
        [&] {
            if (!l.gotMODEMrx)
                return false;
            l.gotMODEMrx = false;
            return l.MODEMresponse.contains(QLatin1Char('0'));
        },
        2.0);
    if (!l.MODEMresponse.contains(QLatin1Char('0'))) {
        l.dialogs.inform(QStringLiteral("No response from MODEM"), Title);
        return false;
    }
    MODEMstate = 0;
    m_view.setStatus(QStringLiteral("Awaiting incoming calls..."));
    update_fault_list();
    l.MODEMresponse.clear();
    l.gotMODEMrx = false;
    return true;
}

void CallAnswerer::stayConnectedQuestion()
{
    GoMonitor = false;
    NoGoMonitor = false;
    m_view.showStayConnected(true);
    const double start = m_clock.now();
    for (;;) {
        const double left = start + StayConnectedSeconds - m_clock.now();
        if (left <= 0 || GoMonitor || NoGoMonitor || m_link.waiter.closing())
            break;
        const int whole = int(left);
        m_view.setCountdown(QStringLiteral("Hanging up in ") + QLatin1Char(' ') + QString::number(whole)
                            + QStringLiteral(" Sec"));
        // Until the shown number changes, or a button is pressed.
        m_link.waiter.waitUntil([&] { return GoMonitor || NoGoMonitor; }, std::max(0.01, left - whole));
    }
    m_view.showStayConnected(false);
    MODEMstate = GoMonitor ? 6 : 4;
}

void CallAnswerer::handleCall()
{
    Link& l = m_link;
    m_view.setStatus(QStringLiteral("Connected: uploading ID..."));
    if (!pause(2.0))
        return;
    l.ProgStatus.clear();
    l.uploadID();

    m_view.setStatus(QStringLiteral("Connected: uploading profile..."));
    if (!pause(2.0))
        return;
    QString site(16, QLatin1Char('-'));
    l.SiteName = site;
    l.uploadProfile();
    if (!l.GotProfile) {
        m_view.setStatus(QStringLiteral("Profile upload error!"));
        return stayConnectedQuestion();
    }
    site = l.SiteName;

    m_view.setStatus(QStringLiteral("Connected: uploading status..."));
    if (!pause(1.0))
        return;
    l.updateStatus();
    if (!l.StatusValid) {
        m_view.setStatus(QStringLiteral("Status upload error!"));
        return stayConnectedQuestion();
    }
    int faultReg = quint8(l.StatusReply[0]);
    const QString hours = hex2(l.StatusReply, 41) + hex2(l.StatusReply, 40) + hex2(l.StatusReply, 39)
                        + QLatin1Char('.') + hex2(l.StatusReply, 38);
    l.upload_fault_status(faultReg);
    if (faultReg == 0x30) {
        // A fault of another RS485 node: which node, and its own code. A node
        // that does not say within 2 s is logged as "RS485 Node: ?" with the
        // network-fault code.
        if (l.exchange(SerialPort::BinaryMode, replylen::NodeQuery, l.GotLatestFault, QByteArray(1, cmd::NodeQuery),
                       NodeReplyTimeout, Link::Discard::No)
            && l.FaultReply.size() >= 2) {
            site = calllog::nodeSite(quint8(l.FaultReply[0]));
            faultReg = quint8(l.FaultReply[1]);
        } else {
            site = QStringLiteral("RS485 Node: ?").leftJustified(16, QLatin1Char(' '));
        }
    }
    Add_to_fault_log(site, hours, faultReg);
    update_fault_list();
    stayConnectedQuestion();
}

void CallAnswerer::hangUp()
{
    SerialPort& port = m_link.MSComm1;
    m_view.setStatus(QStringLiteral("Hanging up..."));
    pause(1.0);
    for (int i = 0; i < 3; ++i)
        port.output(QByteArrayLiteral("+"));
    pause(2.0);
    port.output(QByteArrayLiteral("ATH0\r\n"));
    pause(1.0);
    port.setPortOpen(false);
    pause(2.0);
    MODEMstate = 5;
}

CallAnswerer::End CallAnswerer::logIncomingCalls()
{
    Link& l = m_link;
    Waiter& waiter = l.waiter;
    l.NetworkMode = false;
    QuitLog = false;
    GoMonitor = false;
    m_view.setStatus(QStringLiteral("Initialising MODEM..."));
    End end = End::Quit;
    if (!initialiseModem()) {
        end = waiter.closing() ? End::Closing : End::NoModem;
    } else {
        while (!QuitLog && !waiter.closing() && end == End::Quit) {
            switch (MODEMstate) {
            case 0:
                waiter.waitUntil([&] { return l.gotMODEMrx || QuitLog; }, ModemWait);
                if (l.gotMODEMrx) {
                    l.gotMODEMrx = false;
                    if (l.MODEMresponse.contains(QLatin1Char('2'))) {
                        m_view.setStatus(QStringLiteral("Ringing!..."));
                        MODEMstate = 1;
                    }
                }
                break;
            case 1:
                l.MSComm1.output(QByteArrayLiteral("ATA\r"));
                MODEMstate = 2;
                m_view.setStatus(QStringLiteral("Answering..."));
                l.gotMODEMrx = false;
                break;
            case 2:
                waiter.waitUntil([&] { return l.gotMODEMrx || QuitLog; }, ModemWait);
                if (l.gotMODEMrx) {
                    l.gotMODEMrx = false;
                    if (l.MODEMresponse.contains(QLatin1Char('1'))) {
                        m_view.setStatus(QStringLiteral("Connected:"));
                        MODEMstate = 3;
                    } else {
                        m_view.setStatus(QStringLiteral("No connection"));
                        MODEMstate = 4;
                    }
                }
                break;
            case 3:
                handleCall();
                break;
            case 4:
                hangUp();
                break;
            case 5:
                if (!initialiseModem())
                    end = End::NoModem;
                break;
            case 6:
                l.status.displayStatus(QStringLiteral("Connected    "), 1, 0);
                end = End::StayConnected;
                break;
            default:
                break;
            }
        }
        if (waiter.closing())
            end = End::Closing;
    }
    if (l.MSComm1.portOpen() && !GoMonitor)
        l.MSComm1.setPortOpen(false);
    return end;
}

} // namespace gx
