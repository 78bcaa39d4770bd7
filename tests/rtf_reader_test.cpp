#include "app/help_window.h"
#include "app/rtf_reader.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QFont>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <random>
#include <string>
#include <vector>

namespace pulmora {
namespace {

// The character format expected at one position of the read text.
struct FormatAt {
    int position;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    double pointSize = 0; // 0: no size of its own, the viewer's font applies
    QColor colour = {};   // invalid: the default text colour
};

struct RtfCase {
    const char* name;
    const char* rtf;
    const char16_t* text; // the document's raw text: U+2029 between paragraphs, U+2028 for \line
    std::vector<FormatAt> formats;
};

void PrintTo(const RtfCase& c, std::ostream* os) {
    *os << c.name;
}

QTextCharFormat formatAt(QTextDocument& document, int position) {
    QTextCursor cursor(&document);
    cursor.setPosition(position + 1); // the format of the character before the cursor
    return cursor.charFormat();
}

class RtfFixture : public testing::TestWithParam<RtfCase> {};

TEST_P(RtfFixture, ReadsTextAndFormats) {
    const RtfCase& c = GetParam();
    QTextDocument document;
    const RtfResult result = readRtf(QByteArray(c.rtf), document);

    EXPECT_TRUE(result.ok()) << result.reason.toStdString();
    EXPECT_EQ(document.toRawText(), QString::fromUtf16(c.text));
    for (const FormatAt& expected : c.formats) {
        SCOPED_TRACE(testing::Message() << "position " << expected.position);
        const QTextCharFormat format = formatAt(document, expected.position);
        EXPECT_EQ(format.fontWeight() == QFont::Bold, expected.bold);
        EXPECT_EQ(format.fontItalic(), expected.italic);
        EXPECT_EQ(format.fontUnderline(), expected.underline);
        EXPECT_EQ(format.hasProperty(QTextFormat::FontPointSize), expected.pointSize > 0);
        if (expected.pointSize > 0) {
            EXPECT_DOUBLE_EQ(format.fontPointSize(), expected.pointSize);
        }
        EXPECT_EQ(format.hasProperty(QTextFormat::ForegroundBrush), expected.colour.isValid());
        if (expected.colour.isValid()) {
            EXPECT_EQ(format.foreground().color(), expected.colour);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, RtfFixture,
    testing::Values(
        RtfCase{"StyleRuns",
                R"({\rtf1\ansi a{\b b}{\i c}{\ul d}\b e\b0 f\ul g\ulnone h\b\i\ul i\plain j})",
                u"abcdefghij",
                {{0},
                 {1, true},
                 {2, false, true},
                 {3, false, false, true},
                 {4, true},
                 {5},
                 {6, false, false, true},
                 {7},
                 {8, true, true, true},
                 {9}}},
        RtfCase{"FontSizeInHalfPoints",
                R"({\rtf1 {\fs40 big}\fs17 small\fs0 plain})",
                u"bigsmallplain",
                {{0, false, false, false, 20}, {3, false, false, false, 8.5}, {8}}},
        RtfCase{"HugeFontSizeIsClamped",
                R"({\rtf1\fs99999999999 a})",
                u"a",
                {{0, false, false, false, 200}}},
        RtfCase{
            "ColourTable",
            R"({\rtf1{\colortbl;\red255\green0\blue0;\red0\green0\blue128;}\cf1 r\cf2 n\cf0 d\cf9 x})",
            u"rndx",
            {{0, false, false, false, 0, QColor(255, 0, 0)},
             {1, false, false, false, 0, QColor(0, 0, 128)},
             {2},
             {3}}},
        RtfCase{"HexCharactersWindows1252",
                R"({\rtf1\ansi\ansicpg1252 caf\'e9 \'80\'93})",
                u"caf\u00e9 \u20ac\u201c",
                {}},
        RtfCase{"HexCharactersWindows1250",
                R"({\rtf1\ansi\ansicpg1250 \'b3\'b9\'9c\'bf\'9f\'e6\'f1\'f3\'ea\'a3\'8c})",
                u"\u0142\u0105\u015b\u017c\u017a\u0107\u0144\u00f3\u0119\u0141\u015a",
                {}},
        RtfCase{"UnicodeWithStandIns",
                R"({\rtf1 \uc1\u322?a\uc2\u322xyz\uc0\u261 b\uc1\u-31?\u322\'b3c})",
                u"\u0142a\u0142z\u0105b\uffe1\u0142c",
                {}},
        RtfCase{"UnicodeOutOfRange", R"({\rtf1 a\u-65536?b\u99999?c})", u"ab\ufffdc", {}},
        RtfCase{"UnicodeSurrogatePair", R"({\rtf1 \u-10179?\u-8694?!})", u"\U0001F60A!", {}},
        RtfCase{"EscapedSymbols", R"({\rtf1 a\\b\{c\}d\~e\-f})", u"a\\b{c}d\u00a0e\u00adf", {}},
        RtfCase{
            "SkippedDestinations",
            R"({\rtf1{\fonttbl{\f0\fswiss Arial;}}{\colortbl;\red1\green2\blue3;}{\stylesheet{\s0 Normal;}})"
            R"({\info{\title Secret}}{\*\generator Hidden;}{\*\unknown zz{\b deeper}}{\pict 0123abcd}shown})",
            u"shown",
            {{0}}},
        RtfCase{"BinaryDataIsSkipped", R"({\rtf1 a\bin3 {}\b})", u"ab", {{1}}},
        RtfCase{"Paragraphs",
                "{\\rtf1 one\\par two\\line three\\tab four\\par\r\n\\pard five\\\nsix}",
                u"one\u2029two\u2028three\tfour\u2029five\u2029six",
                {}},
        RtfCase{
            "GroupRestoresFormat",
            R"({\rtf1\b a{\b0\i b{\ul c}d}e})",
            u"abcde",
            {{0, true}, {1, false, true}, {2, false, true, true}, {3, false, true}, {4, true}}}),
    [](const testing::TestParamInfo<RtfCase>& info) { return std::string(info.param.name); });

// Malformed input: what can be read is shown, and the result says what was wrong.
struct MalformedCase {
    const char* name;
    std::string rtf;
    const char16_t* text;
    const char* reason;
};

void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.name;
}

class RtfMalformed : public testing::TestWithParam<MalformedCase> {};

TEST_P(RtfMalformed, ShowsWhatCanBeRead) {
    const MalformedCase& c = GetParam();
    QTextDocument document;
    const RtfResult result = readRtf(QByteArray::fromStdString(c.rtf), document);
    EXPECT_EQ(result.status, RtfStatus::Partial);
    EXPECT_EQ(result.reason, QString::fromLatin1(c.reason));
    EXPECT_EQ(document.toRawText(), QString::fromUtf16(c.text));
}

std::string nested(int depth, const std::string& inner) {
    return std::string(static_cast<std::size_t>(depth), '{') + inner +
           std::string(static_cast<std::size_t>(depth), '}');
}

INSTANTIATE_TEST_SUITE_P(
    Rtf, RtfMalformed,
    testing::Values(
        MalformedCase{"UnclosedGroup", R"({\rtf1 abc{\b def)", u"abcdef",
                      "the file ends inside a group"},
        MalformedCase{"MissingHeader", R"(plain {\b text}})", u"plain text",
                      "missing \\rtf header"},
        MalformedCase{"Empty", "", u"", "missing \\rtf header"},
        MalformedCase{"TextAfterEnd", R"({\rtf1 a}}b)", u"a", "text after the end of the document"},
        MalformedCase{"TruncatedControlWord", "{\\rtf1 abc\\", u"abc", "truncated control word"},
        MalformedCase{"TruncatedHexEscape", R"({\rtf1 a\'4})", u"a", "truncated \\' escape"},
        MalformedCase{"BinaryPastEnd", R"({\rtf1 a\bin999 xyz})", u"a",
                      "binary data runs past the end"},
        MalformedCase{"TooDeep", "{\\rtf1 " + nested(1000, "x") + "y}", u"y",
                      "groups nested too deeply"}),
    [](const testing::TestParamInfo<MalformedCase>& info) { return std::string(info.param.name); });

TEST(RtfReader, NestingWithinTheCapIsRead) {
    QTextDocument document;
    const RtfResult result = readRtf(
        QByteArray::fromStdString("{\\rtf1 " + nested(MaxRtfGroupDepth - 1, "\\b x") + "y}"),
        document);
    EXPECT_TRUE(result.ok()) << result.reason.toStdString();
    EXPECT_EQ(document.toRawText(), QStringLiteral("xy"));
    EXPECT_EQ(formatAt(document, 0).fontWeight(), QFont::Bold);
    EXPECT_NE(formatAt(document, 1).fontWeight(), QFont::Bold);
}

TEST(RtfReader, ReplacesEarlierContent) {
    QTextDocument document;
    readRtf(QByteArray(R"({\rtf1 first\par page})"), document);
    readRtf(QByteArray(R"({\rtf1 second})"), document);
    EXPECT_EQ(document.toRawText(), QStringLiteral("second"));
}

// Any bytes at all: the reader must end, and the document must be no larger than the input.
void expectSane(const QByteArray& input) {
    QTextDocument document;
    const RtfResult result = readRtf(input, document);
    EXPECT_EQ(result.ok(), result.reason.isEmpty());
    EXPECT_GE(document.blockCount(), 1);
    EXPECT_LE(document.characterCount(), input.size() + 1);
}

std::vector<QByteArray> shippedPages() {
    std::vector<QByteArray> pages;
    for (const HelpPageEntry& entry : HelpPageTable) {
        QFile file(QStringLiteral(PULMORA_TEST_DATA "/helpfiles/") + helpPageFile(entry.page));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        pages.push_back(file.readAll());
    }
    return pages;
}

TEST(RtfFuzz, TruncatedPages) {
    for (const QByteArray& page : shippedPages()) {
        for (qsizetype length = 0; length < page.size(); ++length)
            expectSane(page.left(length));
    }
}

TEST(RtfFuzz, MutatedPages) {
    const std::vector<QByteArray> pages = shippedPages();
    const std::vector<QByteArray> insertions = {
        "{",
        "}",
        "\\",
        "\\'",
        "\\'z",
        "\\u",
        "\\u-65536",
        "\\u99999999999",
        "\\uc99999999999",
        "\\fs99999999999",
        "\\cf-5",
        "\\bin99999999999",
        "\\bin2",
        "{\\*",
        "\\par",
        "\\'b3",
        QByteArray(5000, '{'),
        QByteArray(300, '}'),
        QByteArray("\0\xff\x80", 3),
    };
    std::mt19937 random(20240617); // fixed: a failure must be reproducible
    for (int round = 0; round < 3000; ++round) {
        QByteArray input = pages[random() % pages.size()];
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !input.isEmpty(); ++e) {
            const auto at = static_cast<qsizetype>(random() % static_cast<unsigned>(input.size()));
            switch (random() % 4) {
            case 0:
                input[at] = static_cast<char>(input[at] ^ (1 << (random() % 8)));
                break;
            case 1:
                input[at] = static_cast<char>(random() % 256);
                break;
            case 2:
                input.insert(at, insertions[random() % insertions.size()]);
                break;
            default:
                input.remove(at, static_cast<qsizetype>(random() % 64));
                break;
            }
        }
        SCOPED_TRACE(testing::Message() << "round " << round);
        expectSane(input);
    }
}

TEST(RtfFuzz, RandomBytes) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray input(static_cast<qsizetype>(random() % 2048), '\0');
        for (char& byte : input)
            byte = static_cast<char>(random() % 256);
        if (round % 2 == 0) input.prepend("{\\rtf1 ");
        SCOPED_TRACE(testing::Message() << "round " << round);
        expectSane(input);
    }
}

} // namespace
} // namespace pulmora
