#pragma once

// The data log: every poll appended to a CSV file a day (and a node), in a folder of the user's choice.

#include "monitor/statussummary.h"

#include <QDate>
#include <QFile>
#include <QString>

namespace gx {

// Logging every poll to CSV files, one per day ("GX520 2026-12-06.csv", or
// "GX520 node 3 2026-12-06.csv" for a network node), in a folder of the user's
// choice. Files are only ever appended to, so a reconnect or a restart goes on
// where the last run ended; each row is flushed as it is written, so a crash
// loses at most that row.
class DataLogger {
public:
    // The folder the files go to by default: "GX520 logs" in the documents.
    static QString defaultFolder();

    void setFolder(const QString& folder);
    QString folder() const { return m_folder; }

    // One row; false, with the reason in *error, when it cannot be written.
    bool append(const QDateTime& when, const StatusSummary& s, int node, QString* error);
    QString currentFile() const { return m_file.fileName(); }
    void close() { m_file.close(); }

    static QString fileName(const QDate& day, int node);

private:
    QString m_folder = defaultFolder();
    QFile m_file;
    QDate m_day;
    int m_node = -1;
};

} // namespace gx
