// Renders the monitor screen (running and faulted) and the network screen at
// two window sizes into PNG files, for looking at the panel's drawing.

#include "link/timerreadout.h"
#include "monitor/monitorscreen.h"
#include "monitor/networkscreen.h"
#include "profile/profile.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QPixmap>
#include <QPushButton>

using namespace gx;

namespace {

struct Image {
    StatusImage b{};
    Image& set(int at, int v) { b[at] = uint8_t(v); return *this; }
    Image& word(int at, int v) { b[at] = uint8_t(v >> 8); b[at + 1] = uint8_t(v); return *this; }
    Image& bit(int at, int n) { b[at] |= uint8_t(1 << n); return *this; }
};

Profile siteProfile()
{
    Profile p;
    p.SysValue[1] = 600, p.SysValue[2] = 1800, p.SysValue[3] = 1300;
    p.SysValue[5] = 55, p.SysValue[6] = 45, p.SysValue[7] = 30, p.SysValue[8] = 10, p.SysValue[9] = 3;
    p.SysValue[10] = 200, p.SysValue[24] = 260, p.SysValue[13] = 40, p.SysValue[17] = 15;
    p.SysValue[16] = 10, p.SysValue[18] = 29, p.SysValue[19] = 15, p.SysValue[20] = 95, p.SysValue[21] = 105;
    p.SysValue[26] = 3;
    p.AlogSensor[0] = 2, p.AlogSensor[1] = 2;
    p.SwSwitch[16] = 2, p.SwSwitch[17] = 0, p.SwSwitch[18] = 9;
    p.SwSwitch[24] = 5, p.SwSwitch[25] = 20, p.SwSwitch[26] = 0, p.SwSwitch[27] = 15;
    p.MessageText[0] = QStringLiteral("FUEL LOW        ");
    p.MessageText[3] = QStringLiteral("North Pumphouse ");
    return p;
}

void save(QWidget& w, const QSize& size, const QString& file)
{
    w.resize(size);
    w.show();
    QApplication::processEvents();
    w.grab().save(file);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
    QDir().mkpath(dir);

    std::array<QString, 16> inputs;
    inputs[9] = QStringLiteral("Manual restore         ");
    std::array<QString, 53> outputs;
    outputs[5] = QStringLiteral("Engine active");
    outputs[15] = QStringLiteral("Gen contactor");
    outputs[20] = QStringLiteral("Common alarm");

    const Profile p = siteProfile();
    TimerReadout timers;

    for (int faulted = 0; faulted < 2; ++faulted) {
        QGroupBox frame(QStringLiteral("GX510: Local mode"));
        MonitorScreen screen(&frame);
        screen.beep = {};
        const ScreenSetup s = screen.setUp(p, inputs, outputs, QColor(160, 160, 160));
        screen.setUnitId(QStringLiteral("GX520 V2.01 0042"));
        Image im;
        im.set(41, 0x00).set(40, 0x12).set(39, 0x34).set(38, 0x56);
        if (!faulted) {
            im.set(1, 4).bit(6, 6).bit(7, 5).set(15, 50).word(16, 1502).word(45, 231).word(47, 229).word(49, 233);
            im.word(51, 28).word(53, 31).word(55, 26).set(42, 52).set(43, 82).word(61, 138).word(59, 120);
            im.set(3, 0x0B).bit(4, 4);
        } else {
            im.set(0, 17).set(1, 5).bit(6, 6).bit(7, 7).word(61, 125).set(3, 0x02).bit(14, 4).word(59, 430);
            im.set(43, 61).word(27, 0);
        }
        StatusRecord r;
        r.decode(im.b, false);
        const PollView v = buildPollView(r, im.b, PollContext{false, 2.01, s.ATSsupport}, p, 1, true, timers);
        screen.beat();
        screen.show(v);
        const QString name = faulted ? QStringLiteral("monitor_fault") : QStringLiteral("monitor_run");
        save(frame, {1000, 700}, dir + QLatin1Char('/') + name + QStringLiteral("_1000.png"));
        save(frame, {700, 500}, dir + QLatin1Char('/') + name + QStringLiteral("_700.png"));
    }

    QGroupBox net(QStringLiteral("GX520 network"));
    NetworkScreen ns(&net);
    ns.setNodeCount(6);
    const int states[][2] = {{0, 4}, {17, 5}, {184, 3}, {0, 0}, {0, 2}};
    for (int n = 1; n <= 5; ++n) {
        ns.LEDavailable[n]->setOn(true);
        ns.setStatusBackground(n, Qt::white);
        for (auto* b : {ns.CommandTestStart[n], ns.CommandTestStop[n], ns.CommandFull[n]})
            b->setEnabled(true);
        ns.UpdateQuickStatus(n, states[n - 1][0], states[n - 1][1]);
    }
    ns.LEDavailable[3]->setOnColour(QColor(255, 128, 0));
    ns.LEDavailable[6]->setOffColour(QColor(255, 0, 0));
    save(net, {1000, 700}, dir + QStringLiteral("/network_1000.png"));
    save(net, {700, 500}, dir + QStringLiteral("/network_700.png"));
    return 0;
}
