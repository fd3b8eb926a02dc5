// Opening the day's CSV file of the data log, appending one row a poll and flushing it.

#include "monitor/datalogger.h"

#include <QDir>
#include <QStandardPaths>

namespace gx {

QString DataLogger::defaultFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("GX520 logs"));
}

QString DataLogger::fileName(const QDate& day, int node)
{
    const QString date = day.toString(Qt::ISODate);
    return node > 0 ? QStringLiteral("GX520 node %1 %2.csv").arg(node).arg(date) : QStringLiteral("GX520 %1.csv").arg(date);
}

void DataLogger::setFolder(const QString& folder)
{
    if (folder == m_folder)
        return;
    m_file.close();
    m_folder = folder;
}

bool DataLogger::append(const QDateTime& when, const StatusSummary& s, int node, QString* error)
{
    if (!m_file.isOpen() || when.date() != m_day || node != m_node) {
        m_file.close();
        if (!QDir().mkpath(m_folder)) {
            if (error)
                *error = QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(m_folder));
            return false;
        }
        m_day = when.date();
        m_node = node;
        m_file.setFileName(QDir(m_folder).filePath(fileName(m_day, node)));
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
            return false;
        }
        if (m_file.size() == 0)
            m_file.write((csvHeader() + QLatin1Char('\n')).toUtf8());
    }
    const QByteArray row = (csvRow(when, s) + QLatin1Char('\n')).toUtf8();
    if (m_file.write(row) != row.size() || !m_file.flush()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
        m_file.close();
        return false;
    }
    return true;
}

} // namespace gx
