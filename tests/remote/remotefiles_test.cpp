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
        {"EOF\r\n", "     1", 1},
        {"junk without an end\r\n", "     2", 2},  // no "EOF": the line counts, "EOF" is added
        {logOf(1023), "  1024", 1024},
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
    EXPECT_EQ(calllog::nodeSite(12) + "|" + calllog::nodeSite(3), "RS485 Node: 12  |RS485 Node: 3   ");
}

TEST(AddressBook, CommasAreKeptAsExclamationMarksAndOnlyTheFirstComesBack)
{
    const QList<addressbook::Entry> entries = {{"North pumping station", "555 0100"},
                                               {addressbook::stored("Depot, gate 2"), "555 0199"},
                                               {addressbook::stored("A, B, C"), addressbook::stored("1,2")}};
    const QByteArray file = addressbook::write(entries);
    EXPECT_EQ(file, "North pumping station,555 0100\r\nDepot! gate 2,555 0199\r\nA! B! C,1!2\r\nEOF\r\n");
    const QList<addressbook::Entry> back = addressbook::read(file);
    ASSERT_EQ(back.size(), 3);
    EXPECT_EQ(back[1].name, "Depot, gate 2");
    EXPECT_EQ(back[2].name, "A, B! C") << "the second comma reads back as !";
    EXPECT_EQ(back[2].number, "1,2");
    EXPECT_TRUE(addressbook::read("EOF\r\n").isEmpty());
    EXPECT_EQ(addressbook::read(",\r\nEOF\r\n").size(), 1) << "an empty entry is a line holding the comma";
    EXPECT_EQ(addressbook::read("Real!Bang,1\r\nEOF\r\n")[0].name, "Real,Bang");
}
