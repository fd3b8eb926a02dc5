#pragma once

// The main window, the long operations it runs one at a time, and the scope that fences each one.

#include "palette.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabBar;
class QTimer;

namespace gx {

class Clock;
class Desktop;
class Dialogs;
class FileDialogs;
class FileStore;
class Link;
class Printer;
class SerialPort;
class SettingsStore;
class StatusWindows;
class Waiter;

// The long operations of the program. While one runs, only the controls it
// allows stay live (applyFence), so that nothing a click starts can run inside
// it; the ways out it allows set a flag or ask it to stop, and act once it has
// ended.
enum class Operation {
    None,
    Stopping,        // stopMonitor's pause
    Monitor,         // identification, the single-unit monitor loop
    NetworkMonitor,  // the network monitor loop
    Upload,          // a profile and its notes from a controller
    Download,        // a profile and its notes into a controller
    Dial,            // the dial sequence and log-on
    AnswerLoop,      // the call log's answer loop
    HangUp,          // "Disconnect"
};
const char* operationName(Operation op);

class FormMonitor;

// An operation from construction to destruction. Scopes nest (the network
// monitor hands a node to the live monitor); when the outermost ends, the
// menus are those setMenus gives and whatever was asked for meanwhile runs.
class OperationScope {
public:
    OperationScope(FormMonitor& window, Operation op);
    ~OperationScope();
    OperationScope(const OperationScope&) = delete;
    OperationScope& operator=(const OperationScope&) = delete;

private:
    FormMonitor& m_window;
    Operation m_outer;
};

// Everything the main window needs from outside the program.
struct Platform {
    SerialPort& port;
    Clock& clock;
    Waiter& waiter;
    SettingsStore& settings;
    Dialogs& dialogs;
    Desktop& desktop;
    FileDialogs& fileDialogs;
    FileStore& files;
    Printer& printer;
};

// The main window. Its screens are frames shown and hidden in place: the start
// screen (Quick Launch), the single-unit monitor (Frame1(0)), the editor pages
// (Frame1(1..8) under TabStrip1), the network monitor, the call log and the
// fleet board. It owns
// the mode flags, the menus and their enabling, and the one serial link.
class FormMonitor : public QMainWindow {
    Q_OBJECT
public:
    explicit FormMonitor(const Platform& platform, QWidget* parent = nullptr);
    ~FormMonitor() override;

    // Start-up: window size, palette, tables, menus, then the serial port.
    void Form_Load();

    // Mode state.
    bool InMonitor = false;
    bool InProgram = false;
    bool StatusUpdate = false;
    bool ModemConnected = false;
    bool ProfileChanged = false;
    QString CurrentProfileName;
    // False when limits.txt could not be read: the editor cannot be used.
    bool ProgramScreensAvailable = true;
    QString ProgramDirectory;
    int Response = 0;
    bool RetVal = false;
    ColourPalette colours;

    Link& link() { return *m_link; }
    StatusWindows& statusWindows() { return *m_status; }
    Waiter& waiter() { return m_platform.waiter; }
    const Platform& platform() const { return m_platform; }

    void setMenus();
    void stopMonitor();

    // The operation running now (None when the window is idle).
    Operation operation() const { return m_operation; }
    // Disables what the running operation does not allow, and what must not
    // touch the port while a modem call is up; setMenus ends with it.
    void applyFence();
    // Parts that own dialogs fence them too: called with the running operation.
    std::vector<std::function<void(Operation)>> fenceHooks;
    // While an operation runs: keeps `action` for when it has ended and, with
    // `stopNow`, asks it to stop at its next whole message; returns true.
    // When none runs, returns false and the caller acts at once.
    bool deferWhileBusy(std::function<void()> action, bool stopNow = true);
    // The screens, exactly one of which shows at any time.
    enum class Screen { Start, Monitor, Editor, Network, CallLog, Fleet };
    void showScreen(Screen screen);
    Screen screenShown() const;

    // Click handlers.
    void CommandMonitor_Click();
    void MonitorMenu_Click();
    void CommandProgram_Click();
    void menuProgram_Click();
    void menuMain_Click();
    void ExitMenu_Click();
    void menuAbout_Click();
    void menuWebHaldenUSA_Click();
    void meunWebHaldenUK_Click();
    void menuWeb510home_Click();
    void TabStrip1_Click();

    // Shows or hides FrameQuickLaunch and Image1 together.
    void setStartScreenVisible(bool visible);
    // After a File operation exactly one screen shows: the editor (program
    // mode, with its menu checks) or the start screen.
    void showEditorScreen();
    void showStartScreen();
    bool editorShown() const;
    // The window size at which every program page shows whole.
    QSize firstStartSize() const;
    // "GX510-520 Program / Monitor  (name)".
    void showProfileCaption();

    // Screens.
    QGroupBox* FrameQuickLaunch = nullptr;
    QLabel* Image1 = nullptr;
    std::array<QGroupBox*, 9> Frame1{};
    QTabBar* TabStrip1 = nullptr;
    QGroupBox* FrameNetMonitor = nullptr;
    QGroupBox* FrameLog = nullptr;
    QGroupBox* FrameFleet = nullptr;
    QPushButton* CommandLogCalls = nullptr;
    QPushButton* CommandMonitor = nullptr;
    QPushButton* CommandProgram = nullptr;
    QPushButton* CommandFleet = nullptr;
    // In the status bar while a download waits for the controller's confirmation.
    QLabel* LabelWaiting = nullptr;
    QProgressBar* ProgressWaiting = nullptr;

    // Menus.
    QMenu *FileMenu = nullptr, *menuView = nullptr, *menuSettings = nullptr, *menuModem = nullptr,
          *menuHelp = nullptr;
    QAction *menuLoadDisk = nullptr, *menuSaveDisk = nullptr, *menuLoadGX510 = nullptr,
            *menuSaveGX510 = nullptr, *menuPrintProfile = nullptr, *menuPrinterSetup = nullptr,
            *ExitMenu = nullptr;
    QAction *menuMain = nullptr, *MonitorMenu = nullptr, *menuProgram = nullptr, *menuLog = nullptr,
            *menuFleet = nullptr;
    QAction *comPortMenu = nullptr, *menuLocCon = nullptr, *menuRemCon = nullptr;
    QAction *menuConnect = nullptr, *menuDisconnect = nullptr;
    QAction *menuWebHaldenUSA = nullptr, *meunWebHaldenUK = nullptr, *menuWeb510home = nullptr,
            *menuAbout = nullptr;

    // Steps that later parts of the program plug in: the tables read at start-up,
    // the monitor entry, and the handlers of menu items owned elsewhere.
    std::function<void()> buildTables;
    std::function<void()> onCheck510520;
    std::function<void()> leaveNetworkMonitor;
    // The settings dialog's Fleet page was applied.
    std::function<void()> fleetSettingsChanged;

    // Ends the program the way the window's close does, without the question.
    void Form_Unload();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class OperationScope;
    void operationEnded();
    // Exit or the window's close while an operation runs: asks what must be
    // asked, then stops the operation and ends the program once it has ended.
    void requestExit(bool fromMenu);
    void finishExit(bool fromMenu);
    void buildMenus();
    void buildScreens();
    // 0x12 when the port is open; as the program's last byte it seals the port.
    void sendGoodbye(bool last);
    void endProgram();
    void showConfirmationWait(const QString& what, double seconds);
    void tickConfirmationWait();

    Platform m_platform;
    std::unique_ptr<StatusWindows> m_status;
    std::unique_ptr<Link> m_link;
    QPointer<QWidget> m_about;
    bool m_ending = false;
    Operation m_operation = Operation::None;
    std::vector<std::function<void()>> m_afterOperation;
    enum class PendingExit { None, Menu, Close } m_pendingExit = PendingExit::None;
    QTimer* m_waitTicker = nullptr;
    QString m_waitingFor;
    double m_waitStarted = 0.0;
    double m_waitSeconds = 0.0;
};

} // namespace gx
