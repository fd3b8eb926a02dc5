// Turning a node's fault code and state into its row's text, lamp colour and Reset button.

#include "monitor/quickstatus.h"

#include "monitor/faultcodes.h"

namespace gx {

namespace {
QString shortText(int code)
{
    return code >= 0 && code < 256 ? FaultCodeText()[code] : QString();
}
} // namespace

QuickStatusView quickStatus(int f, int s)
{
    QuickStatusView v;
    if (f == 0) {
        v.lamp = QuickStatusView::Lamp::Green;
        static const char* texts[6] = {"Standby", "Preheat", "Cranking", "Engine running Off-load",
                                       "Engine running On-load", "Engine Shutdown"};
        if (s >= 0 && s <= 5)
            v.text = QString::fromLatin1(texts[s]);
        if (s == 0)
            v.resetEnabled = false;
        else if (s == 5)
            v.resetEnabled = true;
    } else if (s == 5) {
        v.text = QStringLiteral("Shutdown: ") + shortText(f);
        v.lamp = QuickStatusView::Lamp::Red;
        v.resetEnabled = true;
    } else {
        v.text = QStringLiteral("Warning: ") + shortText(f);
        v.lamp = QuickStatusView::Lamp::Orange;
    }
    return v;
}

} // namespace gx
