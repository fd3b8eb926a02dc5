#pragma once

#include <QString>
#include <QUrl>

namespace gx {

// The rest of the desktop: the system beep, the web browser and the
// system-information tool.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual void beep() = 0;
    virtual bool openUrl(const QUrl& url) = 0;
    // The platform's system-information program, or "" where there is none.
    virtual QString systemInfoTool() const = 0;
    virtual bool startSystemInfo() = 0;
};

class QtDesktop final : public Desktop {
public:
    void beep() override;
    bool openUrl(const QUrl& url) override;
    QString systemInfoTool() const override;
    bool startSystemInfo() override;
};

} // namespace gx
