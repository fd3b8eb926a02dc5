#pragma once

// The settings of gxctl serve, from its options and its INI file, checked whole
// before the service starts.

#include <QByteArray>
#include <QCommandLineParser>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace gxctl {

struct ServeConfig {
    QString port;       // "": the port of the program's settings
    QList<int> nodes;   // RS485 nodes; empty: the direct line (node 0)
    QString brokerHost = QStringLiteral("127.0.0.1");
    int brokerPort = 1883;
    bool tls = false;
    QString site;       // "": the controller's site name, made topic-safe
    QString topicPrefix = QStringLiteral("gx520");
    QString discoveryPrefix = QStringLiteral("homeassistant");
    bool discovery = true;
    QString user, password;
    QString caFile;
    QStringList commands;  // the command names allowed on the command topic
    QStringList onFault;   // the program to run on each fault change, and its arguments
    double interval = 0.5;  // seconds between polls of the direct line
};

// The keys of the INI file: the names of the serve options and of --port,
// --node.
const QStringList& serveKeys();

// "KEY = VALUE" lines, with "#" or ";" comments and at most a [serve]
// section; nothing, with the file's line and what is wrong in *error, for
// anything else.
std::optional<QMap<QString, QString>> readServeIni(const QByteArray& text, const QString& path, QString* error);

// The settings: the file of --config first, the options over it. Nothing,
// with what is wrong in *error, when any of them is unusable.
std::optional<ServeConfig> serveConfig(const QCommandLineParser& options, QString* error);

// "1-15", "1,2,5", "1-3,7": node addresses 1..15, in order, each once.
std::optional<QList<int>> parseNodeList(const QString& text);

} // namespace gxctl
