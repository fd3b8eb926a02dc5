#include "profile/fieldreader.h"

#include <gtest/gtest.h>

using gx::FieldReader;

TEST(FieldReader, SplitsFieldsAtCommasAndLineEndsAndKnowsTheLineOfEach)
{
    // Each field as "line:text".
    const std::pair<QByteArray, QStringList> rows[] = {
        {"\"ab\"xy,c", {"1:ab", "1:c"}},                             // text after the closing quote dropped
        {"  \"  padded  \"  \r\nnext", {"1:  padded  ", "2:next"}},
        {"\"\",x", {"1:", "1:x"}},
        {"\"open, still\r\nnext", {"1:open, still", "2:next"}},      // unclosed quote ends at the line end
        {"a\r\n\r\n   \r\nb\r\n", {"1:a", "2:", "3:", "4:b"}},        // blank line, line of spaces
        {"a\n\n   \nb\n", {"1:a", "2:", "3:", "4:b"}},
        {"caf\xe9,\xb0" "C", {QString::fromUtf8("1:caf\xc3\xa9"), QString::fromUtf8("1:\xc2\xb0" "C")}},
    };
    // (A comma at the line end, a quoted comma and leading blanks: the limits
    // and profile file tests.)
    for (const auto& [data, fields] : rows) {
        FieldReader r(data);
        QStringList got;
        while (!r.atEnd()) {
            const QString f = r.readText().value_or("<none>");
            got << QString::number(r.line()) + ':' + f;
        }
        EXPECT_EQ(got, fields) << data.toStdString();
    }
}

TEST(FieldReader, NumbersAreDecimalAnEmptyFieldIsZeroAndTextOrTheEndIsAnError)
{
    FieldReader r(" 120 ,-1,,+7,\"42\"\r\n\r\n0017\r\n");
    for (int n : {120, -1, 0, 7, 42, 0 /* the blank line */, 17})
        EXPECT_EQ(r.readNumber(), n);
    EXPECT_TRUE(r.atEnd());  // (reading on: the limits and profile file tests of files that end early)

    // Text where a number belongs: an error that shows the text, and the reader carries on.
    for (const char* bad : {"abc", "12abc", "1.5", "0x10", "-", "1 2"}) {
        SCOPED_TRACE(bad);
        FieldReader t(QByteArray("\r\n") + bad + ",9");
        EXPECT_EQ(t.readNumber(), 0);
        EXPECT_FALSE(t.readNumber().has_value());
        EXPECT_EQ(t.line(), 2);
        EXPECT_TRUE(t.error().contains(QString::fromLatin1(bad))) << qPrintable(t.error());
        EXPECT_EQ(t.readNumber(), 9);
    }
}

TEST(FieldReader, TheRestOfTheFileIsReadLineByLineWhole)
{
    const std::pair<QByteArray, QStringList> rows[] = {
        {"x,y\r\n  first, \"line\"\r\n\r\nlast", {"  first, \"line\"", "", "last"}}, {"x,y\nA\n", {"A"}}, {"x,y\r\n", {}}};
    for (const auto& [data, rest] : rows) {
        FieldReader r(data);
        ASSERT_EQ(r.readText(), QString("x"));
        ASSERT_EQ(r.readText(), QString("y"));
        EXPECT_EQ(r.readRemainingLines(), rest) << data.toStdString();
        EXPECT_TRUE(r.atEnd());
    }
}
