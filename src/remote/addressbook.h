#pragma once

// The address book file "address.txt": remote sites by name and telephone number, read and written.

#include <QByteArray>
#include <QList>
#include <QString>

namespace gx {

// The address book "address.txt": one line per site, its name and telephone
// number separated by a comma (commas inside them are stored as "!"), and the
// line "EOF" last. Reading turns back only the first "!" of each field, so a
// name with two commas comes back with its second one as "!" - stored books
// rely on that, so it stays.
namespace addressbook {

struct Entry {
    QString name;
    QString number;
};

// The entries of a file, up to "EOF" (or the end). Fields are read up to the
// next comma or line end, leading blanks skipped.
QList<Entry> read(const QByteArray& file);
// The file for these entries: each field with its first comma stored as "!".
QByteArray write(const QList<Entry>& entries);
// A typed name or number as Store keeps it: every comma as "!".
QString stored(const QString& typed);

} // namespace addressbook

} // namespace gx
