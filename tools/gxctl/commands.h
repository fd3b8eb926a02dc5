#pragma once

// The one-shot commands of gxctl: identify, status, upload, download, check, diff, scan, and their exit statuses.

#include "session.h"

#include <QCommandLineParser>
#include <QStringList>

namespace gxctl {

// What a command is given: the parsed options and its own arguments.
struct Invocation {
    QCommandLineParser& options;
    QStringList arguments;
    bool json = false;
};

// Exit statuses.
constexpr int Success = 0;
constexpr int Failure = 1;  // the controller or a file failed
constexpr int Usage = 2;
constexpr int Trouble = 2;  // diff: as diff(1), 0 the same, 1 different, 2 trouble

int identify(Session& s, const Invocation& in);
int status(Session& s, const Invocation& in);
int upload(Session& s, const Invocation& in);
int download(Session& s, const Invocation& in);
int check(Session& s, const Invocation& in);
int diff(Session& s, const Invocation& in);
int scan(Session& s, const Invocation& in);

} // namespace gxctl
