// Reading and writing the address book's lines, with commas inside a field stored as "!".

#include "remote/addressbook.h"

#include "profile/fieldreader.h"

namespace gx::addressbook {

namespace {

QString firstReplaced(QString text, QChar from, QChar to)
{
    const qsizetype at = text.indexOf(from);
    if (at >= 0)
        text[at] = to;
    return text;
}

} // namespace

QList<Entry> read(const QByteArray& file)
{
    QList<Entry> out;
    FieldReader in(file);
    while (!in.atEnd()) {
        const std::optional<QString> name = in.readText();
        if (!name || *name == QLatin1String("EOF"))
            break;
        const QString number = in.readText().value_or(QString());
        out.append({firstReplaced(*name, QLatin1Char('!'), QLatin1Char(',')),
                    firstReplaced(number, QLatin1Char('!'), QLatin1Char(','))});
    }
    return out;
}

QByteArray write(const QList<Entry>& entries)
{
    QByteArray out;
    for (const Entry& e : entries)
        out += (firstReplaced(e.name, QLatin1Char(','), QLatin1Char('!')) + QLatin1Char(',')
                + firstReplaced(e.number, QLatin1Char(','), QLatin1Char('!')))
                   .toLatin1()
             + "\r\n";
    return out + "EOF\r\n";
}

QString stored(const QString& typed)
{
    QString s = typed;
    s.replace(QLatin1Char(','), QLatin1Char('!'));
    return s;
}

} // namespace gx::addressbook
