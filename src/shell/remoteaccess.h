#pragma once

// Remote access in the main window: connection menus, settings, dialling and hanging up, the call log.

#include "formmonitor.h"
#include "platform/portnames.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

namespace gx {

class CallAnswerer;
class CallLogScreen;
class Dialer;
class FormAddressBook;
class FormDialup;
class FormMonitor;
class FormSettings;

// Remote access in the main window: the communication settings and the
// connection menus, dialling out to a remote controller and hanging up, the
// address book, and answering fault calls into the call log.
class RemoteAccess : public QObject {
    Q_OBJECT
public:
    explicit RemoteAccess(FormMonitor& window);
    ~RemoteAccess() override;

    void comPortMenu_Click();
    void menuLocCon_Click();
    void menuRemCon_Click();
    void menuConnect_Click();
    void menuDisconnect_Click();
    void menuLog_Click();
    void CommandLogCalls_Click();
    void CommandDial_Click();
    void CommandAddressBook_Click();

    FormSettings* settingsDialog() const;
    FormDialup* dialupDialog() const;
    FormAddressBook* addressBook() const;
    Dialer& dialer() { return *m_dialer; }
    CallAnswerer& answerer() { return *m_answerer; }
    CallLogScreen& logScreen() { return *m_logScreen; }

    // The serial devices the settings dialog offers (tests give their own).
    std::function<QList<SerialDeviceInfo>()> serialDevices = availableSerialDevices;

private:
    void fenceDialogs(Operation op);
    // "Local Connection" or "Remote connection": the check marks, "use", the menus, the port.
    void useConnection(bool remote);

    FormMonitor& m_window;
    std::unique_ptr<Dialer> m_dialer;
    CallLogScreen* m_logScreen;
    std::unique_ptr<CallAnswerer> m_answerer;
    QPointer<FormSettings> m_settings;
    QPointer<FormDialup> m_dialup;
    QPointer<FormAddressBook> m_book;
};

} // namespace gx
