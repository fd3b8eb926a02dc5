// The answer loop of the call log: the modem on numeric results, each RING
// answered, the caller's identity, profile, status and latest fault read into
// one record of "faultlog.txt", then the stay-connected question and the hang-up.

#include "remote/callanswer.h"

#include "link/link.h"
#include "link/protocol.h"
#include "link/statussink.h"
#include "monitor/faultcodes.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/filestore.h"
#include "platform/portfailure.h"
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
// Waiting for a call has no end; it is done in slices so the loop looks at
// its flags now and then.
constexpr double RingWait = 60.0;
// A modem given ATA reports CONNECT or NO CARRIER within S7 (50 s by
// default); a modem that says nothing by then is taken to have failed.
constexpr double AnswerTimeout = 60.0;
constexpr double InitAnswer = 2.0;

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
    // Records that could not be written yet stand on top, numbered as they will be.
    QByteArray shown = file.value_or(QByteArray());
    for (const Pending& p : m_unwritten)
        shown = calllog::withNewRecord(shown, p.site, p.when, p.hoursRun, p.fault);
    m_view.showRecords(calllog::recordLines(shown));
}

bool CallAnswerer::writeRecord(const Pending& record, QString* notice)
{
    auto tryWrite = [&](QString* why) {
        const QString path = logPath();
        std::optional<QByteArray> file = m_files.read(path, why);
        if (!file && m_files.exists(path))
            return false;  // there but unreadable: never written over
        return m_files.write(
            path, calllog::withNewRecord(file.value_or(QByteArray()), record.site, record.when, record.hoursRun, record.fault),
            why);
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
            *notice = QStringLiteral("The call log %1 cannot be written (%2): calls are kept in %3 instead.")
                          .arg(QDir::toNativeSeparators(failed), why, QDir::toNativeSeparators(logPath()));
            return true;
        }
        why = second;
    }
    *notice = QStringLiteral("The call log %1 cannot be written (%2): the call is kept in the list and written "
                             "when the log can be written.")
                  .arg(QDir::toNativeSeparators(logPath()), why);
    return false;
}

bool CallAnswerer::Add_to_fault_log(const QString& site, const QString& hoursRun, int faultReg)
{
    return addRecord(site, hoursRun, faultcode_to_string(faultReg, m_link.uploadedProfile));
}

bool CallAnswerer::addRecord(const QString& site, const QString& hoursRun, const QString& fault)
{
    const Pending record{site, now(), hoursRun, fault};
    // Records waiting from earlier calls go first, so the numbers stay in call order.
    writePending();
    QString notice;
    if (m_unwritten.isEmpty() && writeRecord(record, &notice)) {
        if (!notice.isEmpty()) {
            m_view.setStatus(notice);
            m_view.setNotice(notice);
        }
        return true;
    }
    if (notice.isEmpty())
        notice = QStringLiteral("The call log %1 cannot be written: the call is kept in the list and written when "
                                "the log can be written.")
                     .arg(QDir::toNativeSeparators(logPath()));
    m_unwritten << record;
    m_view.setStatus(notice);
    m_view.setNotice(notice);
    return false;
}

bool CallAnswerer::writePending()
{
    const bool waiting = !m_unwritten.isEmpty();
    while (!m_unwritten.isEmpty()) {
        QString notice;
        if (!writeRecord(m_unwritten.first(), &notice))
            return false;
        m_unwritten.removeFirst();
    }
    if (waiting)
        m_view.setNotice(QString());
    return true;
}

bool CallAnswerer::initialiseModem()
{
    Link& l = m_link;
    SerialPort& port = l.MSComm1;
    if (port.portOpen())
        port.setPortOpen(false);
    port.setInputMode(SerialPort::TextMode);
    port.setCommPort(numericValue(l.MODEMport));
    if (!port.setPortOpen(true)) {
        l.dialogs.inform(cantOpenMessage(port.commPort(), port.openFailure()), Title);
        return false;
    }
    port.setRThreshold(replylen::ModemText);
    if (!pause(2.0))
        return false;
    // Only what answers the initialisation counts: nothing from before it,
    // nor the echo of the command itself.
    port.discardInput();
    l.modemLines.clear();
    l.gotMODEMrx = false;
    l.MODEMresponse.clear();
    const QString init = l.settings.setting(QStringLiteral("ModemInComming"), QStringLiteral("ATE0V0X0S0=0"));
    port.output(init.toLatin1() + "\r\n");
    bool answered = false;
    l.waiter.waitUntil(
        [&] {
            while (!answered && l.takeModemResponse())
                answered = !ModemLines::isEcho(l.MODEMresponse) && l.MODEMresponse.contains(QLatin1Char('0'));
            return answered;
        },
        InitAnswer);
    if (!answered) {
        if (!l.waiter.closing())
            l.dialogs.inform(QStringLiteral("No response from MODEM"), Title);
        return false;
    }
    MODEMstate = 0;
    m_view.setStatus(QStringLiteral("Awaiting incoming calls..."));
    update_fault_list();
    l.MODEMresponse.clear();
    l.modemLines.clear();
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
    MODEMstate = GoMonitor && !m_link.waiter.closing() ? 6 : 4;
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
    l.GotProfile = false;
    l.uploadProfile();
    if (l.waiter.closing())
        return;
    if (!l.GotProfile) {
        m_view.setStatus(QStringLiteral("Profile upload error!"));
        return stayConnectedQuestion();
    }
    // A reply that came but failed its checksum gives neither the site nor the
    // messages of the fault texts: the record says so rather than borrow them
    // from the previous caller's profile.
    const bool profileRead = l.ProgStatus.isEmpty();
    if (profileRead)
        site = l.SiteName;

    m_view.setStatus(QStringLiteral("Connected: uploading status..."));
    if (!pause(1.0))
        return;
    l.updateStatus();
    if (l.waiter.closing())
        return;
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
    if (profileRead)
        Add_to_fault_log(site, hours, faultReg);
    else
        addRecord(site, hours, faultcode_to_string(faultReg, Profile{}) + QStringLiteral(" (profile unreadable)"));
    update_fault_list();
    stayConnectedQuestion();
}

void CallAnswerer::hangUp()
{
    SerialPort& port = m_link.MSComm1;
    Waiter& w = m_link.waiter;
    m_view.setStatus(QStringLiteral("Hanging up..."));
    // The escape needs its guard times whole; a stop asked for meanwhile ends
    // the loop once the modem is on-hook again.
    w.pauseWhole(1.0);
    for (int i = 0; i < 3; ++i)
        port.output(QByteArrayLiteral("+"));
    w.pauseWhole(2.0);
    port.output(QByteArrayLiteral("ATH0\r\n"));
    w.pauseWhole(1.0);
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
                waiter.waitUntil([&] { return l.gotMODEMrx || QuitLog; }, RingWait);
                while (MODEMstate == 0 && l.takeModemResponse()) {
                    if (l.MODEMresponse.contains(QLatin1Char('2'))) {
                        m_view.setStatus(QStringLiteral("Ringing!..."));
                        MODEMstate = 1;
                    }
                }
                break;
            case 1:
                // Whatever came before the answer is not its result.
                l.modemLines.clear();
                l.gotMODEMrx = false;
                l.MSComm1.output(QByteArrayLiteral("ATA\r"));
                MODEMstate = 2;
                m_view.setStatus(QStringLiteral("Answering..."));
                m_answerStarted = m_clock.now();
                break;
            case 2: {
                const double left = m_answerStarted + AnswerTimeout - m_clock.now();
                waiter.waitUntil([&] { return l.gotMODEMrx || QuitLog; }, std::max(0.0, left));
                bool result = false;
                while (!result && l.takeModemResponse())
                    result = !ModemLines::isEcho(l.MODEMresponse);
                if (result && l.MODEMresponse.contains(QLatin1Char('1'))) {
                    m_view.setStatus(QStringLiteral("Connected:"));
                    MODEMstate = 3;
                } else if (result || m_clock.now() >= m_answerStarted + AnswerTimeout) {
                    m_view.setStatus(QStringLiteral("No connection"));
                    MODEMstate = 4;
                }
                break;
            }
            case 3:
                handleCall();
                break;
            case 4:
                hangUp();
                break;
            case 5:
                writePending();
                if (!initialiseModem())
                    end = waiter.closing() ? End::Closing : End::NoModem;
                break;
            case 6:
                l.status.displayStatus(QStringLiteral("Connected    "), 1, 0);
                end = End::StayConnected;
                break;
            default:
                break;
            }
        }
        if (waiter.closing() && end != End::StayConnected)
            end = End::Closing;
    }
    if (l.MSComm1.portOpen() && end != End::StayConnected)
        l.MSComm1.setPortOpen(false);
    writePending();
    return end;
}

} // namespace gx
