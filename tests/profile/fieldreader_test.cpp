#include "profile/fieldreader.h"

#include <gtest/gtest.h>

using gx::FieldReader;

namespace {

// All fields of `data` with their line numbers.
std::vector<std::pair<QString, int>> fieldsOf(const QByteArray& data)
{
    FieldReader r(data);
    std::vector<std::pair<QString, int>> fields;
    while (!r.atEnd()) {
        const QString f = r.readText().value_or("<none>");
        fields.emplace_back(f, r.line());
    }
    return fields;
}

} // namespace

TEST(FieldReader, SplitsFieldsAtCommasAndLineEnds)
{
    const std::pair<QByteArray, QStringList> rows[] = {
        {"a,b\r\nc\r\n", {"a", "b", "c"}},
        {"a,b\nc", {"a", "b", "c"}},
        {"a,\r\nb", {"a", "", "b"}},                              // comma before the line end
        {"\"a, b\",c", {"a, b", "c"}},                           // quoted comma
        {"\"ab\"xy,c", {"ab", "c"}},                             // text after the closing quote dropped
        {"  \"  padded  \"  \r\nnext", {"  padded  ", "next"}},
        {"\"\",x", {"", "x"}},
        {"\"open, still\r\nnext", {"open, still", "next"}},      // unclosed quote ends at the line end
        {"a\r\n\r\n   \r\nb\r\n", {"a", "", "", "b"}},           // blank line, line of spaces
        {"a\n\n   \nb\n", {"a", "", "", "b"}},
        {"   x ,  y\r\n", {"x ", "y"}},                          // leading spaces skipped, trailing kept
        {"caf\xe9,\xb0" "C", {QString::fromUtf8("caf\xc3\xa9"), QString::fromUtf8("\xc2\xb0" "C")}},
    };
    for (const auto& [data, fields] : rows) {
        QStringList got;
        for (const auto& f : fieldsOf(data))
            got << f.first;
        EXPECT_EQ(got, fields) << data.toStdString();
    }
}

TEST(FieldReader, TracksTheLineOfEveryFieldWithEitherLineEnd)
{
    for (const char* data : {"a,b\r\n\r\nc\r\nd", "a,b\n\nc\nd"})
        EXPECT_EQ(fieldsOf(data), (std::vector<std::pair<QString, int>>{{"a", 1}, {"b", 1}, {"", 2}, {"c", 3}, {"d", 4}}));
}

TEST(FieldReader, NumbersAreDecimalAnEmptyFieldIsZeroAndReadingPastTheEndIsAnError)
{
    FieldReader r(" 120 ,-1,,+7,\"42\"\r\n\r\n0017\r\n");
    for (int n : {120, -1, 0, 7, 42, 0 /* the blank line */, 17})
        EXPECT_EQ(r.readNumber(), n);
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.readNumber().has_value());
    EXPECT_TRUE(r.pastEnd() && !r.error().isEmpty());
    EXPECT_EQ(r.line(), 4);
    EXPECT_FALSE(r.readText().has_value());

    FieldReader empty("");
    EXPECT_TRUE(empty.atEnd() && !empty.readText() && empty.pastEnd());
}

TEST(FieldReader, TextWhereANumberBelongsIsAnErrorThatShowsTheText)
{
    for (const char* bad : {"abc", "12abc", "1.5", "0x10", "-", "1 2"}) {
        FieldReader r(QByteArray("\r\n") + bad + ",9");
        EXPECT_EQ(r.readNumber(), 0);
        EXPECT_FALSE(r.readNumber().has_value()) << bad;
        EXPECT_FALSE(r.pastEnd()) << bad;
        EXPECT_EQ(r.line(), 2) << bad;
        EXPECT_EQ(r.lastField(), QString::fromLatin1(bad));
        EXPECT_TRUE(r.error().contains(QString::fromLatin1(bad))) << qPrintable(r.error());
        EXPECT_EQ(r.readNumber(), 9) << bad;  // the reader carries on
    }
}

TEST(FieldReader, TheRestOfTheFileIsReadLineByLineWhole)
{
    FieldReader r("x,y\r\n  first, \"line\"\r\n\r\nlast");
    ASSERT_EQ(r.readText(), QString("x"));
    ASSERT_EQ(r.readText(), QString("y"));
    EXPECT_EQ(r.readRemainingLines(), (QStringList{"  first, \"line\"", "", "last"}));
    EXPECT_TRUE(r.atEnd());

    for (const auto& [data, rest] : {std::pair<QByteArray, QStringList>{"x\nA\n", {"A"}}, {"x\r\n", {}}}) {
        FieldReader other(data);
        ASSERT_EQ(other.readText(), QString("x"));
        EXPECT_EQ(other.readRemainingLines(), rest) << data.toStdString();
    }
}
