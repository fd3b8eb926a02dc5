#pragma once

#include "fakes.h"

#include "link/link.h"
#include "link/protocol.h"
#include "link/statussink.h"

#include <QStringList>

namespace gx::test {

// A reply with its two checksum bytes after it.
inline QByteArray withChecksum(const QByteArray& data)
{
    return data + checksumBytes(byteSum(data, 0, int(data.size())));
}

class RecordingStatus final : public StatusSink {
public:
    void displayStatus(const QString& m, int duration, int icon) override
    {
        shown << QStringLiteral("%1|%2|%3").arg(m).arg(duration).arg(icon);
    }
    QStringList shown;
};

// A link on a fake port, fake clock and fake dialogs.
struct LinkFixture {
    FakeClock clock;
    FakeWaiter waiter{clock};
    FakeSerialPort port{&clock};
    FakeSettingsStore settings;
    FakeDialogs dialogs;
    RecordingStatus status;
    Link link{Link::Platform{port, waiter, settings, dialogs, status}};

    LinkFixture() { port.setPortOpen(true); }
};

} // namespace gx::test
