// Building the single-unit monitor panel, scaling it with the window, and showing each poll on it.

#include "monitorscreen.h"

#include "profile/profile.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOption>
#include <QVBoxLayout>

#include <algorithm>

namespace gx {

namespace {

const char* PanelStyle = R"(
QWidget#MonitorPanel { background-color: #2b3036; }
QFrame[bezel="true"] {
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3c434b, stop:1 #30363c);
    border: 1px solid #5a626c; border-radius: 6px;
}
QLabel { color: #e4e8ec; background: transparent; border: none; }
QLabel:disabled { color: #6d757e; }
QLabel[title="true"] { color: #f0c040; font-weight: bold; }
QLabel#LabelOverride { color: #ffb040; font-weight: bold; }
QPushButton {
    color: #f2f4f6; font-weight: bold;
    background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5d6670, stop:1 #3a4148);
    border: 1px solid #1d2125; border-radius: 5px; padding: 4px 6px;
}
QPushButton:hover { background-color: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6f7a86, stop:1 #48515a); }
QPushButton:pressed { background-color: #2a3036; }
QPushButton:disabled { color: #7b838c; background-color: #353b41; }
)";

// The panel draws its style sheet's solid background itself and says so
// (Qt::WA_OpaquePaintEvent): a lamp or a gauge that changes is then drawn again
// from the panel up, not from the window and the frame with its caption.
class Panel final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStyleOption option;
        option.initFrom(this);
        QPainter p(this);
        style()->drawPrimitive(QStyle::PE_Widget, &option, &p, this);
    }
};

QFrame* bezel(QWidget* parent)
{
    auto* f = new QFrame(parent);
    f->setProperty("bezel", true);
    return f;
}

QLabel* titleLabel(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setProperty("title", true);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

void applyScale(AGauge* gauge, int scale, const ScaleSetup& s)
{
    if (s.maximum)
        gauge->setMaximum(scale, *s.maximum);
    if (s.major && s.minor)
        gauge->setTicks(scale, *s.major, *s.minor);
    for (int b = 0; b < 4; ++b) {
        if (s.bands[b])
            gauge->setBand(scale, b, s.bands[b]->from, s.bands[b]->to);
        else
            gauge->clearBand(scale, b);
    }
}

void applyGauge(AGauge* gauge, const GaugeSetup& g)
{
    applyScale(gauge, 0, g.scale);
    if (!g.caption.isEmpty())
        gauge->setCaption(g.caption);
    gauge->setVisible(g.visible);
}

void applyLabel(QLabel* label, const LabelSetup& s)
{
    label->setText(s.text);
    label->setEnabled(s.enabled);
}

void keepPlaceWhenHidden(QWidget* w)
{
    QSizePolicy sp = w->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    w->setSizePolicy(sp);
}

} // namespace

MonitorScreen::MonitorScreen(QWidget* frame) : QObject(frame), m_frame(frame)
{
    beep = [] { QApplication::beep(); };
    build();
}

void MonitorScreen::build()
{
    auto* outer = m_frame->layout() ? m_frame->layout() : new QVBoxLayout(m_frame);
    outer->setContentsMargins(2, 2, 2, 2);
    m_panel = new Panel(m_frame);
    m_panel->setObjectName(QStringLiteral("MonitorPanel"));
    m_panel->setAttribute(Qt::WA_OpaquePaintEvent, true);
    m_panel->setStyleSheet(QString::fromLatin1(PanelStyle));
    outer->addWidget(m_panel);

    auto* root = new QVBoxLayout(m_panel);
    root->setContentsMargins(8, 8, 8, 8);
    root->setSpacing(8);

    // ---- Top: LCD, identity and override, mode pictures.
    auto* top = new QHBoxLayout;
    top->setSpacing(8);
    auto* lcdBox = bezel(m_panel);
    auto* lcdLayout = new QHBoxLayout(lcdBox);
    lcdLayout->setContentsMargins(8, 6, 8, 6);
    TextLCD = new QPlainTextEdit(lcdBox);
    TextLCD->setObjectName(QStringLiteral("TextLCD"));
    TextLCD->setReadOnly(true);
    TextLCD->setLineWrapMode(QPlainTextEdit::NoWrap);
    TextLCD->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TextLCD->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TextLCD->setFocusPolicy(Qt::NoFocus);
    TextLCD->setTextInteractionFlags(Qt::NoTextInteraction);
    TextLCD->setMinimumSize(150, 46);
    TextLCD->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setLcdBackground(lcdNormal());
    ShapeComStatus = new LED(lcdBox);
    ShapeComStatus->setObjectName(QStringLiteral("ShapeComStatus"));
    ShapeComStatus->setOnColour(QColor(0, 255, 0));
    ShapeComStatus->setOffColour(QColor(0, 0, 0));
    ShapeComStatus->setFixedSize(16, 16);
    ShapeComStatus->setToolTip(QStringLiteral("Communication"));
    lcdLayout->addWidget(TextLCD, 1);
    lcdLayout->addWidget(ShapeComStatus, 0, Qt::AlignTop);
    top->addWidget(lcdBox, 5);

    auto* infoBox = bezel(m_panel);
    auto* info = new QVBoxLayout(infoBox);
    info->setContentsMargins(10, 6, 10, 6);
    for (int i : {22, 23}) {
        Label1[i] = new QLabel(infoBox);
        Label1[i]->setObjectName(QStringLiteral("Label1(%1)").arg(i));
        Label1[i]->setTextFormat(Qt::PlainText);
        info->addWidget(Label1[i]);
    }
    Label1[22]->setText(QStringLiteral("Unit ID: "));
    Label1[23]->setText(QStringLiteral("Site: "));
    LabelOverride = new QLabel(infoBox);
    LabelOverride->setObjectName(QStringLiteral("LabelOverride"));
    keepPlaceWhenHidden(LabelOverride);
    LabelOverride->hide();
    info->addWidget(LabelOverride);
    info->addStretch(1);
    LabelLinkHealth = new QLabel(infoBox);
    LabelLinkHealth->setObjectName(QStringLiteral("LabelLinkHealth"));
    info->addWidget(LabelLinkHealth);
    auto* tools = new QHBoxLayout;
    tools->setSpacing(4);
    auto toolButton = [&](const char* name, const QString& caption, const QString& tip) {
        auto* b = new QPushButton(caption, infoBox);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        b->setFocusPolicy(Qt::NoFocus);
        tools->addWidget(b);
        return b;
    };
    CommandTrend = toolButton("CommandTrend", QStringLiteral("Trends..."),
                              QStringLiteral("The readings of the last minutes to hours as graphs"));
    CheckLogging = new QCheckBox(QStringLiteral("Log"), infoBox);
    CheckLogging->setObjectName(QStringLiteral("CheckLogging"));
    CheckLogging->setToolTip(QStringLiteral("Append every poll to a CSV file per day"));
    CheckLogging->setFocusPolicy(Qt::NoFocus);
    tools->addWidget(CheckLogging);
    CommandLogFolder = toolButton("CommandLogFolder", QStringLiteral("Folder..."),
                                  QStringLiteral("The folder the CSV files go to"));
    CommandLinkReset = toolButton("CommandLinkReset", QStringLiteral("Reset"),
                                  QStringLiteral("Start the link counts again from zero"));
    tools->addStretch(1);
    info->addLayout(tools);
    connect(CommandTrend, &QPushButton::clicked, this, &MonitorScreen::trendClicked);
    connect(CheckLogging, &QCheckBox::toggled, this, &MonitorScreen::loggingToggled);
    connect(CommandLogFolder, &QPushButton::clicked, this, &MonitorScreen::logFolderClicked);
    connect(CommandLinkReset, &QPushButton::clicked, this, &MonitorScreen::linkResetClicked);
    top->addWidget(infoBox, 4);

    auto* modeBox = bezel(m_panel);
    auto* modes = new QHBoxLayout(modeBox);
    modes->setContentsMargins(6, 6, 6, 6);
    const ModePicture::Kind kinds[3] = {ModePicture::Kind::Auto, ModePicture::Kind::ManStart,
                                        ModePicture::Kind::ManStop};
    const char* tips[3] = {"Click for AUTO mode", "Click for MAN mode and Manual start",
                           "Click for MAN mode and manual stop"};
    for (int i = 0; i < 3; ++i) {
        ImageButton[i] = new ModePicture(kinds[i], modeBox);
        ImageButton[i]->setObjectName(QStringLiteral("ImageButton(%1)").arg(i));
        ImageButton[i]->setToolTip(QString::fromLatin1(tips[i]));
        modes->addWidget(ImageButton[i]);
        connect(ImageButton[i], &QAbstractButton::clicked, this, [this, i] { emit imageClicked(i); });
    }
    top->addWidget(modeBox, 3);
    root->addLayout(top, 2);

    // ---- Middle: gauges, then the LED column.
    auto* middle = new QHBoxLayout;
    middle->setSpacing(8);
    auto* gauges = new QGridLayout;
    gauges->setSpacing(8);

    const auto makeGauge = [this](const char* name, double max, double major, double minor,
                                  const QString& caption, int decimals) {
        auto* g = new AGauge(m_panel);
        g->setObjectName(QString::fromLatin1(name));
        g->setDesign(max, major, minor);
        g->setCaption(caption);
        g->setReadoutDecimals(decimals);
        keepPlaceWhenHidden(g);
        return g;
    };
    AGaugeGenV = makeGauge("AGaugeGenV", 300, 50, 10, QStringLiteral("VOLTS"), 0);
    AGaugeGenV->setPointerCount(3);
    AGaugeGenI = makeGauge("AGaugeGenI", 100, 20, 5, QStringLiteral("AMPS"), 0);
    AGaugeGenI->setPointerCount(3);
    AGaugeGenHz = makeGauge("AGaugeGenHz", 75, 10, 2, QStringLiteral("Hz"), 0);
    AGaugeRPM = makeGauge("AGaugeRPM", 5, 1, 0.2, QStringLiteral("RPM x1000"), 2);
    AGaugeLOP = makeGauge("AGaugeLOP", 5, 1, 0.25, QStringLiteral("BAR"), 1);
    AGaugeHET = makeGauge("AGaugeHET", 140, 20, 5, QStringLiteral("°C"), 0);
    AGaugeBatt = makeGauge("AGaugeBatt", 40, 5, 1, QStringLiteral("VOLTS DC"), 1);

    Label1[13] = titleLabel(QStringLiteral("Gen Voltage (L-N)"), m_panel);
    Label1[13]->setObjectName(QStringLiteral("Label1(13)"));
    gauges->addWidget(gaugeCell({}, AGaugeGenV, Label1[13]), 0, 0);
    gauges->addWidget(gaugeCell(QStringLiteral("Gen Current"), AGaugeGenI), 0, 1);
    gauges->addWidget(gaugeCell(QStringLiteral("Gen Frequency"), AGaugeGenHz), 0, 2);
    gauges->addWidget(gaugeCell(QStringLiteral("Engine Speed"), AGaugeRPM), 0, 3);
    gauges->addWidget(gaugeCell(QStringLiteral("Oil Pressure"), AGaugeLOP), 1, 0);
    gauges->addWidget(gaugeCell(QStringLiteral("Engine Temperature"), AGaugeHET), 1, 1);
    gauges->addWidget(gaugeCell(QStringLiteral("Battery"), AGaugeBatt), 1, 2);

    auto* counters = bezel(m_panel);
    auto* cl = new QVBoxLayout(counters);
    cl->setContentsMargins(8, 6, 8, 8);
    cl->addWidget(titleLabel(QStringLiteral("Hours Run"), counters));
    OdometerHours = new Odometer(counters);
    OdometerHours->setObjectName(QStringLiteral("OdometerHours"));
    cl->addWidget(OdometerHours, 3);
    cl->addSpacing(4);
    cl->addWidget(titleLabel(QStringLiteral("Over-current (IDMT)"), counters));
    LGaugeIDMT = new LGauge(counters);
    LGaugeIDMT->setObjectName(QStringLiteral("LGaugeIDMT"));
    cl->addWidget(LGaugeIDMT, 2);
    gauges->addWidget(counters, 1, 3);
    for (int c = 0; c < 4; ++c)
        gauges->setColumnStretch(c, 1);
    gauges->setRowStretch(0, 1);
    gauges->setRowStretch(1, 1);
    middle->addLayout(gauges, 5);

    auto* side = new QVBoxLayout;
    side->setSpacing(8);
    auto* outBox = bezel(m_panel);
    auto* ol = new QVBoxLayout(outBox);
    ol->setContentsMargins(8, 6, 8, 6);
    ol->addWidget(titleLabel(QStringLiteral("Outputs"), outBox));
    LEDoutputs = new LEDRow(4, Qt::Vertical, true, outBox);
    LEDoutputs->setObjectName(QStringLiteral("LEDoutputs"));
    LEDoutputs->setOnColour(QColor(255, 176, 0));
    LEDoutputs->setOffColour(QColor(90, 60, 0));
    for (int i = 0; i < 4; ++i) {
        Label1[2 + i] = LEDoutputs->label(i);
        Label1[2 + i]->setObjectName(QStringLiteral("Label1(%1)").arg(2 + i));
        Label1[2 + i]->setText(QStringLiteral("Output %1").arg(i + 1));
    }
    ol->addWidget(LEDoutputs);
    ol->addStretch(1);
    side->addWidget(outBox, 4);

    auto* inBox = bezel(m_panel);
    auto* il = new QVBoxLayout(inBox);
    il->setContentsMargins(8, 6, 8, 6);
    il->addWidget(titleLabel(QStringLiteral("Inputs"), inBox));
    LEDinputs = new LEDRow(5, Qt::Vertical, true, inBox);
    LEDinputs->setObjectName(QStringLiteral("LEDinputs"));
    LEDinputs->setOnColour(QColor(0, 235, 0));
    LEDinputs->setOffColour(QColor(0, 70, 0));
    const int inputLabels[5] = {6, -1, 10, 11, 12};
    for (int i = 0; i < 5; ++i) {
        QLabel* l = LEDinputs->label(i);
        if (inputLabels[i] < 0) {
            l->setObjectName(QStringLiteral("LabelChargeFail"));
            l->setText(QStringLiteral("Charge fail"));
            continue;
        }
        Label1[inputLabels[i]] = l;
        l->setObjectName(QStringLiteral("Label1(%1)").arg(inputLabels[i]));
        l->setText(i == 0 ? QStringLiteral("Remote start") : QStringLiteral("Input %1").arg(i + 1));
    }
    il->addWidget(LEDinputs);
    il->addStretch(1);
    side->addWidget(inBox, 5);
    middle->addLayout(side, 1);
    root->addLayout(middle, 9);

    // ---- Bottom: command buttons.
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(6);
    const char* captions[9] = {"Gen Start",   "Gen Stop", "Re-load",  "Remote test", "Alarm Mute",
                               "Fault Reset", "Output A", "Output B", "Quit"};
    for (int i = 0; i < 9; ++i) {
        CommandControl[i] = new QPushButton(QString::fromLatin1(captions[i]), m_panel);
        CommandControl[i]->setObjectName(QStringLiteral("CommandControl(%1)").arg(i));
        CommandControl[i]->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        CommandControl[i]->setFocusPolicy(Qt::NoFocus);
        if (i == 8)
            buttons->addSpacing(12);
        buttons->addWidget(CommandControl[i], 1);
        connect(CommandControl[i], &QPushButton::clicked, this, [this, i] { emit commandClicked(i); });
    }
    root->addLayout(buttons, 0);

    m_panel->installEventFilter(this);
    TextLCD->installEventFilter(this);
    LabelLinkHealth->installEventFilter(this);
}

QWidget* MonitorScreen::gaugeCell(const QString& title, AGauge* gauge, QLabel* titleLbl)
{
    auto* cell = bezel(m_panel);
    auto* l = new QVBoxLayout(cell);
    l->setContentsMargins(4, 4, 4, 4);
    l->setSpacing(2);
    if (!titleLbl)
        titleLbl = titleLabel(title, cell);
    titleLbl->setParent(cell);
    l->addWidget(titleLbl);
    gauge->setParent(cell);
    l->addWidget(gauge, 1);
    return cell;
}

bool MonitorScreen::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && (watched == m_panel || watched == TextLCD))
        rescale();
    if (event->type() == QEvent::ToolTip && watched == LabelLinkHealth)
        LabelLinkHealth->setToolTip(m_linkCounts.summary());
    return QObject::eventFilter(watched, event);
}

void MonitorScreen::rescale()
{
    // Texts follow the panel's size; the LCD fills its glass with 18 columns.
    const double s = std::clamp(std::min(m_panel->width() / 1000.0, m_panel->height() / 700.0), 0.6, 2.0);
    QFont f = m_panel->font();
    f.setPixelSize(int(12 * s + 0.5));
    m_panel->setFont(f);

    QFont lcd = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lcd.setStyleHint(QFont::Monospace);
    lcd.setBold(true);
    const int byHeight = int(TextLCD->height() / 2.9);
    const int byWidth = int(TextLCD->width() / (18 * 0.62));
    lcd.setPixelSize(std::max(8, std::min(byHeight, byWidth)));
    TextLCD->setFont(lcd);
}

void MonitorScreen::setLcdBackground(const QColor& colour)
{
    // A new style sheet re-polishes the box: only when the colour changes.
    if (colour == m_lcdBackground && !TextLCD->styleSheet().isEmpty())
        return;
    m_lcdBackground = colour;
    TextLCD->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: %1; color: #1c2200;"
                                          " border: 3px solid #15181b; border-radius: 4px; padding: 2px 6px; }")
                               .arg(colour.name()));
}

void MonitorScreen::setUp(const ScreenSetup& s, const QColor& standBack)
{
    for (AGauge* g : {AGaugeGenV, AGaugeGenI}) {
        for (int p = 0; p < 3; ++p) {
            if (s.pointerShown[p])
                g->resetPointerColour(p);
            else
                g->setPointerColour(p, standBack);
        }
    }
    Label1[13]->setText(s.voltageTitle);
    for (int sc = 0; sc < 3; ++sc) {
        applyScale(AGaugeGenV, sc, s.voltage);
        applyScale(AGaugeGenI, sc, s.current);
    }
    applyScale(AGaugeGenHz, 0, s.frequency);
    applyGauge(AGaugeLOP, s.oil);
    applyGauge(AGaugeHET, s.temperature);
    applyScale(AGaugeBatt, 0, s.battery);
    applyGauge(AGaugeRPM, s.rpm);
    for (AGauge* g : {AGaugeLOP, AGaugeHET, AGaugeRPM}) {
        // The cell's title dims with a gauge that is not fitted.
        if (auto* cell = g->parentWidget())
            if (auto* title = cell->findChild<QLabel*>())
                title->setEnabled(!g->isHidden());
    }
    for (int k = 0; k < 3; ++k)
        applyLabel(Label1[10 + k], s.inputs[k]);
    for (int k = 0; k < 4; ++k)
        applyLabel(Label1[2 + k], s.outputs[k]);
    Label1[23]->setText(s.site);
    Label1[6]->setText(s.input1);
}

ScreenSetup MonitorScreen::setUp(const Profile& uploaded, const std::array<QString, 16>& inputFunctionText,
                                 const std::array<QString, 53>& outputFunctionText, const QColor& standBack)
{
    ScreenSetup s = UpdateScreenVariables(uploaded, inputFunctionText, outputFunctionText);
    setUp(s, standBack);
    return s;
}

void MonitorScreen::setUnitId(const QString& id)
{
    Label1[22]->setText(QStringLiteral("Unit ID: ") + id);
}

void MonitorScreen::beat()
{
    ShapeComStatus->setOn(!ShapeComStatus->isOn());
}

bool MonitorScreen::heartbeatGreen() const
{
    return ShapeComStatus->isOn();
}

void MonitorScreen::show(const PollView& v)
{
    setLcdBackground(v.blink.dark ? lcdBlink() : lcdNormal());
    if (v.blink.beep && beep)
        beep();
    if (v.blink.enableMute)
        setMuteEnabled(true);
    const QString lcd = v.top + QLatin1Char('\n') + v.bottom;
    if (TextLCD->toPlainText() != lcd)
        TextLCD->setPlainText(lcd);

    for (int p = 0; p < 3; ++p) {
        AGaugeGenV->setValue(p, v.gauges.volts[p]);
        AGaugeGenI->setValue(p, v.gauges.amps[p]);
    }
    AGaugeGenHz->setValue(v.gauges.hertz);
    AGaugeBatt->setValue(v.gauges.battery);
    AGaugeRPM->setValue(v.gauges.rpm);
    AGaugeLOP->setValue(v.gauges.oil);
    AGaugeHET->setValue(v.gauges.temperature);

    LGaugeIDMT->setValue(v.idmtPercent);
    OdometerHours->setValue(v.hours);
    OdometerHours->setActive(true);
    LEDoutputs->setValue(v.outputs);
    LEDinputs->setValue(v.inputs);

    LabelOverride->setText(v.override_.text);
    LabelOverride->setVisible(v.override_.visible);
}

void MonitorScreen::showLinkHealth(const LinkCounts& c)
{
    // The text changes only with a failure (a new text lays the panel out
    // again); the tooltip has the whole count, written when asked for.
    m_linkCounts = c;
    const QString text = QStringLiteral("Link: %1 time-outs, %2 bad replies")
                             .arg(c.timeouts).arg(c.checksumFailures + c.longReplies);
    if (LabelLinkHealth->text() != text)
        LabelLinkHealth->setText(text);
}

bool MonitorScreen::muteEnabled() const
{
    return CommandControl[4]->isEnabled();
}

void MonitorScreen::setMuteEnabled(bool enabled)
{
    CommandControl[4]->setEnabled(enabled);
}

void MonitorScreen::setHoursActive(bool active)
{
    OdometerHours->setActive(active);
}

} // namespace gx
