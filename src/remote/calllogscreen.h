#pragma once

// The "Call log" screen: the answer loop's status, the log in six columns and the stay-connected question.

#include "remote/callanswer.h"

#include <QObject>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace gx {

// The "Call log" screen inside FrameLog: the answer loop's status, the log in
// six columns (newest call first), "Quit Log", and the stay-connected question
// with its countdown. Its buttons set the answer loop's flags.
class CallLogScreen : public QObject, public CallLogView {
    Q_OBJECT
public:
    explicit CallLogScreen(QGroupBox* frame);

    void setStatus(const QString& text) override;
    void showRecords(const QStringList& recordLines) override;
    void showStayConnected(bool shown) override;
    void setCountdown(const QString& text) override;
    void setNotice(const QString& text) override;

    QLineEdit* TextLogStatus = nullptr;
    QLabel* LabelLogNotice = nullptr;
    std::array<QListWidget*, 6> ListLog{};
    QPushButton* CommandQuitLog = nullptr;
    QGroupBox* FrameGoMonitor = nullptr;
    QLabel* LabelHangUpDelay = nullptr;
    QPushButton* CommandStayConnected = nullptr;
    QPushButton* CommandHangup = nullptr;

signals:
    void quitClicked();
    void stayConnectedClicked();
    void hangupClicked();
};

} // namespace gx
