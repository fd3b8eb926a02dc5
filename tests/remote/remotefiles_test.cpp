// The call log and address book files: their columns, their order, their
// "EOF" line and the commas they keep as "!".

#include "remote/addressbook.h"
#include "remote/calllog.h"

#include <gtest/gtest.h>

using namespace gx;

namespace {

QByteArray logOf(int records)
{
    QByteArray file;
    for (int n = records; n >= 1; --n)
        file += calllog::recordLine(n, "Site", QDateTime({2026, 1, 2}, {3, 4, 5}), "000012.50", "Fault").toLatin1() + "\r\n";
    return file + "EOF\r\n";
}

} // namespace

TEST(CallLog, RecordsGoOnTopNumberedAfterThoseBelowWithNoCeiling)
{
    const QDateTime when({2026, 12, 6}, {14, 5, 9});
    const struct {
        QByteArray before;
        const char* number;  // columns 1-6 of the new record
        int records;         // records after the call
    } rows[] = {
        {"junk without an end\r\n", "     2", 2},  // no "EOF": the line counts, "EOF" is added
        {logOf(1024), "  1025", 1025},
    };
    for (const auto& r : rows) {
        const QByteArray after = calllog::withNewRecord(r.before, "Pump house      ", when, "001234.56", "Low oil pressure");
        const QStringList lines = calllog::recordLines(after);
        ASSERT_EQ(lines.size(), r.records);
        EXPECT_TRUE(after.endsWith("\r\nEOF\r\n"));
        EXPECT_EQ(lines[0], QString(r.number) + " Pump house       12-06-2026 14:05:09 001234.56 Low oil pressure");
        if (r.records > 1) {
            EXPECT_EQ(calllog::recordLines(r.before), lines.mid(1)) << "older records follow unchanged";
        }
    }
    const calllog::Columns c = calllog::columns(calllog::recordLines(logOf(3))[0]);
    EXPECT_EQ((QStringList{c.number, c.site, c.date, c.time, c.hours, c.fault}),
              (QStringList{"     3", "Site            ", "01-02-2026", "03:04:05", "000012.50", "Fault"}));
}

TEST(AddressBook, CommasAreKeptAsExclamationMarksAndOnlyTheFirstComesBack)
{
    // One comma in a name, an empty entry and the missing book are the
    // address book dialog's test; here the commas after the first.
    const QByteArray file = addressbook::write({{addressbook::stored("A, B, C"), addressbook::stored("1,2")}});
    EXPECT_EQ(file, "A! B! C,1!2\r\nEOF\r\n");
    const QList<addressbook::Entry> back = addressbook::read(file);
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back[0].name, "A, B! C") << "the second comma reads back as !";
    EXPECT_EQ(back[0].number, "1,2");
    EXPECT_EQ(addressbook::read("Real!Bang,1\r\nEOF\r\n")[0].name, "Real,Bang");
}
