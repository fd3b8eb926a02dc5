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
        const auto f = r.readText();
        EXPECT_TRUE(f.has_value());
        if (!f)
            break;
        fields.emplace_back(*f, r.line());
    }
    return fields;
}

std::vector<QString> textsOf(const QByteArray& data)
{
    std::vector<QString> texts;
    for (const auto& f : fieldsOf(data))
        texts.push_back(f.first);
    return texts;
}

} // namespace

TEST(FieldReader, CommasAndLineEndsSeparateFields)
{
    EXPECT_EQ(textsOf("a,b\r\nc\r\n"), (std::vector<QString>{"a", "b", "c"}));
    EXPECT_EQ(textsOf("a,b\nc"), (std::vector<QString>{"a", "b", "c"}));
    // A comma at the end of a line leaves an empty field before the line end.
    EXPECT_EQ(textsOf("a,\r\nb"), (std::vector<QString>{"a", "", "b"}));
}

TEST(FieldReader, QuotedFieldsHoldCommasAndDropWhatFollowsTheClosingQuote)
{
    EXPECT_EQ(textsOf("\"a, b\",c"), (std::vector<QString>{"a, b", "c"}));
    EXPECT_EQ(textsOf("\"ab\"xy,c"), (std::vector<QString>{"ab", "c"}));
    EXPECT_EQ(textsOf("  \"  padded  \"  \r\nnext"), (std::vector<QString>{"  padded  ", "next"}));
    EXPECT_EQ(textsOf("\"\",x"), (std::vector<QString>{"", "x"}));
    // A quote that is never closed ends at the line end.
    EXPECT_EQ(textsOf("\"open, still\r\nnext"), (std::vector<QString>{"open, still", "next"}));
}

TEST(FieldReader, BlankLinesAndLinesOfSpacesAreOneEmptyFieldEach)
{
    EXPECT_EQ(textsOf("a\r\n\r\n   \r\nb\r\n"), (std::vector<QString>{"a", "", "", "b"}));
    EXPECT_EQ(textsOf("a\n\n   \nb\n"), (std::vector<QString>{"a", "", "", "b"}));
}

TEST(FieldReader, SpacesBeforeAFieldAreSkippedSpacesAfterItAreKept)
{
    EXPECT_EQ(textsOf("   x ,  y\r\n"), (std::vector<QString>{"x ", "y"}));
}

TEST(FieldReader, TracksTheLineOfEveryFieldWithEitherLineEnd)
{
    const std::vector<std::pair<QString, int>> expected{{"a", 1}, {"b", 1}, {"", 2}, {"c", 3}, {"d", 4}};
    EXPECT_EQ(fieldsOf("a,b\r\n\r\nc\r\nd"), expected);
    EXPECT_EQ(fieldsOf("a,b\n\nc\nd"), expected);
}

TEST(FieldReader, ReadingPastTheEndIsAnErrorWithItsLine)
{
    FieldReader r("1,2\r\n3\r\n");
    ASSERT_EQ(r.readNumber(), 1);
    ASSERT_EQ(r.readNumber(), 2);
    ASSERT_EQ(r.readNumber(), 3);
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.readText().has_value());
    EXPECT_TRUE(r.pastEnd());
    EXPECT_FALSE(r.error().isEmpty());
    EXPECT_EQ(r.line(), 3);
    EXPECT_FALSE(r.readNumber().has_value());
    EXPECT_TRUE(r.pastEnd());
}

TEST(FieldReader, EmptyDataHasNoField)
{
    FieldReader r("");
    EXPECT_TRUE(r.atEnd());
    EXPECT_FALSE(r.readText().has_value());
    EXPECT_TRUE(r.pastEnd());
}

TEST(FieldReader, NumbersAreDecimalAndAnEmptyFieldIsZero)
{
    FieldReader r(" 120 ,-1,,+7,\"42\"\r\n\r\n0017");
    EXPECT_EQ(r.readNumber(), 120);
    EXPECT_EQ(r.readNumber(), -1);
    EXPECT_EQ(r.readNumber(), 0);
    EXPECT_EQ(r.readNumber(), 7);
    EXPECT_EQ(r.readNumber(), 42);
    EXPECT_EQ(r.readNumber(), 0);  // the blank line
    EXPECT_EQ(r.readNumber(), 17);
    EXPECT_TRUE(r.atEnd());
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
        // The reader carries on after the bad field.
        EXPECT_EQ(r.readNumber(), 9);
    }
}

TEST(FieldReader, BytesAreLatin1)
{
    FieldReader r("caf\xe9,\xb0" "C");
    EXPECT_EQ(r.readText(), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_EQ(r.readText(), QString::fromUtf8("\xc2\xb0" "C"));
}

TEST(FieldReader, TheRestOfTheFileIsReadLineByLineWhole)
{
    FieldReader r("x,y\r\n  first, \"line\"\r\n\r\nlast");
    ASSERT_EQ(r.readText(), QString("x"));
    ASSERT_EQ(r.readText(), QString("y"));
    EXPECT_EQ(r.readRemainingLines(), (QStringList{"  first, \"line\"", "", "last"}));
    EXPECT_TRUE(r.atEnd());

    FieldReader lf("x\nA\n");
    ASSERT_EQ(lf.readText(), QString("x"));
    EXPECT_EQ(lf.readRemainingLines(), QStringList{"A"});

    FieldReader none("x\r\n");
    ASSERT_EQ(none.readText(), QString("x"));
    EXPECT_TRUE(none.readRemainingLines().isEmpty());
}
