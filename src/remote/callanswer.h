#pragma once

// Answering remote controllers' fault calls on the modem and logging them, and the view the loop reports to.

#include "remote/calllog.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

namespace gx {

class Clock;
class FileStore;
class Link;

// What the answer loop shows: the call log screen implements it.
class CallLogView {
public:
    virtual ~CallLogView() = default;
    virtual void setStatus(const QString& text) = 0;                  // TextLogStatus
    virtual void showRecords(const QStringList& recordLines) = 0;      // the six lists
    virtual void showStayConnected(bool shown) = 0;                    // FrameGoMonitor
    virtual void setCountdown(const QString& text) = 0;                // LabelHangUpDelay
    // A trouble with the call log itself that stays in view ("" clears it).
    virtual void setNotice(const QString& text) = 0;
};

// Answering the fault calls of remote controllers on the modem port: the
// modem is set to numeric results, each RING is answered, the caller's
// identity, profile, status and latest fault are uploaded, one record goes to
// the call log, and the user may stay connected to the caller or let the line
// hang up. Buttons only set the flags below; the loop reads them.
class CallAnswerer : public QObject {
    Q_OBJECT
public:
    enum class End { Quit, NoModem, StayConnected, Closing };

    CallAnswerer(Link& link, const Clock& clock, FileStore& files, CallLogView& view, QObject* parent = nullptr);

    // Where the log lives: "faultlog.txt" in the start folder. When it cannot
    // be written there, the user is told once and the records go to
    // `fallbackFolder` instead.
    void setLogFolders(const QString& startFolder, const QString& fallbackFolder);
    QString logPath() const;
    // Wall-clock time of a call (tests set their own).
    std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

    // The answer loop, states 0 to 6. Returns when "Quit Log" is pressed, the
    // modem does not answer its initialisation, or the user stays connected
    // (the line is then left open).
    End logIncomingCalls();

    bool QuitLog = false;
    bool GoMonitor = false;
    bool NoGoMonitor = false;
    int MODEMstate = 0;

    // Reads the log file into the view's lists, with the records not yet
    // written on top.
    void update_fault_list();
    // Adds the record of the call just handled, newest first. False when it
    // could be written nowhere: it is then kept, shown in the lists and
    // written when the log can be written again. What went wrong goes to the
    // status line; nothing waits on a person while a call is up.
    bool Add_to_fault_log(const QString& site, const QString& hoursRun, int faultReg);
    // Records of calls that could not be written yet, oldest first.
    int unwrittenRecords() const { return int(m_unwritten.size()); }

    // How long the node of a network fault (code 48) may take to answer 0x1F.
    static constexpr double NodeReplyTimeout = 2.0;

private:
    struct Pending {
        QString site;
        QDateTime when;
        QString hoursRun;
        QString fault;
    };
    bool addRecord(const QString& site, const QString& hoursRun, const QString& fault);
    bool writeRecord(const Pending& record, QString* notice);
    bool writePending();
    bool initialiseModem();
    void handleCall();
    void hangUp();
    bool pause(double seconds);
    void stayConnectedQuestion();

    Link& m_link;
    const Clock& m_clock;
    FileStore& m_files;
    CallLogView& m_view;
    QString m_startFolder;
    QString m_fallbackFolder;
    bool m_useFallback = false;
    QList<Pending> m_unwritten;
    double m_answerStarted = 0.0;
};

} // namespace gx
