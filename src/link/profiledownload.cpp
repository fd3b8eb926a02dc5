// Writing a profile into a controller on the direct line: make sure it answers
// and that its engine is stopped, send the 312-byte image, wait for the
// controller to confirm by identifying itself, then send the notes as 1025
// characters and wait for the second confirmation.

#include "link.h"

#include "statussink.h"

#include "platform/serialport.h"
#include "platform/waiter.h"
#include "profile/profileimage.h"

namespace gx {

namespace {
constexpr double CommandPause = 1.0;  // after 0x03 and after 0x18
} // namespace

void Link::sendBytewise(const QByteArray& bytes)
{
    // One write per byte, as the controller takes them. A message once begun
    // is sent whole, whatever is asked meanwhile: its bytes go without a yield.
    for (char b : bytes)
        MSComm1.output(QByteArray(1, b));
}

bool Link::awaitConfirmation(const QString& what)
{
    emit confirmationWait(what, timeout::DownloadConfirm);
    const bool got = waitFor(GotID, timeout::DownloadConfirm);
    emit confirmationWaitEnded();
    return got;
}

Link::Download Link::downloadProfile(const QByteArray& image, const QByteArray& text,
                                     const std::function<void()>& onConfirmed)
{
    NetworkMode = false;
    status.displayStatus(QStringLiteral("Downloading to Genpilot..."), 0, 0);
    // An error text left by an earlier operation must not end this download unseen.
    ProgStatus.clear();
    uploadID();
    updateStatus();
    if (waiter.closing())
        return Download::Abandoned;
    if (!StatusValid) {
        status.displayStatus(QStringLiteral("Status update error: download failed"), 0, 1);
        return Download::StatusFailed;
    }
    const int state = StatusReply.size() > 1 ? quint8(StatusReply[1]) : -1;
    if (state != 0 && state != 5) {
        status.displayStatus(QStringLiteral("Engine not stopped"), 0, 1);
        return Download::EngineRunning;
    }
    DownloadImage = image + checksumBytes(byteSum(image, 0, int(image.size())));
    uploadID();
    if (waiter.closing())
        return Download::Abandoned;
    if (!ProgStatus.isEmpty())
        return Download::NoId;

    emit downloadSending(true);
    struct Sent {
        Link* link;
        ~Sent() { emit link->downloadSending(false); }
    } sent{this};
    // 0x03, the pause and the image are one message: a stop asked for in the
    // pause takes effect after the image.
    MSComm1.output(QByteArray(1, cmd::ProfileDownload));
    waiter.pauseWhole(CommandPause);
    sendBytewise(DownloadImage);
    if (waiter.closing())
        return Download::Abandoned;
    MSComm1.discardInput();
    MSComm1.setRThreshold(replylen::Identification);
    GotID = false;
    MSComm1.output(QByteArray(1, cmd::Identify));
    if (!awaitConfirmation(QStringLiteral("the profile"))) {
        if (waiter.closing())
            return Download::Abandoned;
        status.displayStatus(QStringLiteral("Download Failed"), 0, 1);
        return Download::ImageNotConfirmed;
    }

    if (waiter.closing())
        return Download::Abandoned;
    MSComm1.output(QByteArray(1, cmd::TextDownload));
    waiter.pauseWhole(CommandPause);
    // The controller confirms as soon as the last character is in: what waits
    // is thrown away before that character goes, so the confirmation cannot
    // be thrown away with it.
    sendBytewise(text.chopped(1));
    MSComm1.discardInput();
    GotID = false;
    sendBytewise(text.right(1));
    if (!awaitConfirmation(QStringLiteral("the profile notes"))) {
        if (waiter.closing())
            return Download::Abandoned;
        status.displayStatus(QStringLiteral("Profile-text download Failed"), 0, 1);
        return Download::TextNotConfirmed;
    }
    if (onConfirmed)
        onConfirmed();
    status.displayStatus(QStringLiteral("Download Successful"), 1, 0);
    return Download::Ok;
}

std::optional<Link::DownloadData> Link::prepareDownload(const Profile& working, QString* error)
{
    QString problem;
    const auto image = encodeProfileImage(working, &problem);
    if (!image) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    const auto text = encodeProfileText(working.Notes, &problem);
    if (!text) {
        if (error)
            *error = problem;
        return std::nullopt;
    }
    return DownloadData{*image, *text};
}

} // namespace gx
