#include "app/rtf_reader.h"

#include <QColor>
#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

namespace pulmora {
namespace {

constexpr char16_t Replacement = 0xFFFD;

// Windows-1252 differs from Latin-1 only in 0x80 … 0x9F.
constexpr std::array<char16_t, 32> Cp1252C1 = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, // 88
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178, // 98
};

// Windows-1250, the Central European page of Polish texts, 0x80 … 0xFF.
constexpr std::array<char16_t, 128> Cp1250High = {
    0x20AC, 0xFFFD, 0x201A, 0xFFFD, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0xFFFD, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 88
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0xFFFD, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

enum class CodePage { Windows1252, Windows1250 };

char16_t decodeByte(unsigned char byte, CodePage page) {
    if (byte < 0x80) return byte;
    if (page == CodePage::Windows1250) return Cp1250High[byte - 0x80];
    return byte < 0xA0 ? Cp1252C1[byte - 0x80] : char16_t(byte);
}

// Groups whose content is not text of the page: tables, metadata, pictures, fields' codes.
constexpr auto SkippedDestinations = std::to_array<std::string_view>({
    "fonttbl",
    "stylesheet",
    "info",
    "pict",
    "object",
    "header",
    "headerl",
    "headerr",
    "headerf",
    "footer",
    "footerl",
    "footerr",
    "footerf",
    "footnote",
    "fldinst",
    "listtable",
    "listoverridetable",
    "revtbl",
    "rsidtbl",
    "filetbl",
    "themedata",
    "latentstyles",
    "datastore",
    "xmlnstbl",
    "generator",
    "colorschememapping",
    "nonshppict",
});

enum class Keyword {
    Unknown,
    Par,
    Pard,
    Line,
    Tab,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    FontSize,
    ColourIndex,
    ColourTable,
    Red,
    Green,
    Blue,
    AnsiCodePage,
    Unicode,
    UnicodeSkip,
    Binary,
    AlignLeft,
    AlignCentre,
    AlignRight,
    AlignJustify,
    EmDash,
    EnDash,
    Bullet,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
};

struct KeywordEntry {
    std::string_view name;
    Keyword keyword;
};

constexpr auto Keywords = std::to_array<KeywordEntry>({
    {"par", Keyword::Par},
    {"pard", Keyword::Pard},
    {"line", Keyword::Line},
    {"tab", Keyword::Tab},
    {"plain", Keyword::Plain},
    {"b", Keyword::Bold},
    {"i", Keyword::Italic},
    {"ul", Keyword::Underline},
    {"uld", Keyword::Underline},
    {"uldb", Keyword::Underline},
    {"ulw", Keyword::Underline},
    {"ulth", Keyword::Underline},
    {"ulnone", Keyword::UnderlineNone},
    {"fs", Keyword::FontSize},
    {"cf", Keyword::ColourIndex},
    {"colortbl", Keyword::ColourTable},
    {"red", Keyword::Red},
    {"green", Keyword::Green},
    {"blue", Keyword::Blue},
    {"ansicpg", Keyword::AnsiCodePage},
    {"u", Keyword::Unicode},
    {"uc", Keyword::UnicodeSkip},
    {"bin", Keyword::Binary},
    {"ql", Keyword::AlignLeft},
    {"qc", Keyword::AlignCentre},
    {"qr", Keyword::AlignRight},
    {"qj", Keyword::AlignJustify},
    {"emdash", Keyword::EmDash},
    {"endash", Keyword::EnDash},
    {"bullet", Keyword::Bullet},
    {"lquote", Keyword::LeftQuote},
    {"rquote", Keyword::RightQuote},
    {"ldblquote", Keyword::LeftDoubleQuote},
    {"rdblquote", Keyword::RightDoubleQuote},
    {"sect", Keyword::Par},
    {"row", Keyword::Par},
});

// Font sizes are half-points; beyond 200 pt a page is unreadable and layout gets slow.
constexpr int MaxFontSizeHalfPoints = 400;
// More colours than any page needs; indices beyond are shown in the default colour.
constexpr std::size_t MaxColours = 256;
// A \uc larger than this would swallow whole paragraphs of a page.
constexpr int MaxUnicodeSkip = 16;

enum class Destination {
    Text,        // characters go into the document
    Skip,        // characters are dropped
    ColourTable, // characters are the separators of the colour table
};

struct CharState {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int fontSize = 0; // half-points; 0 keeps the viewer's font size
    int colour = 0;   // index into the colour table; 0 is the default colour

    bool operator==(const CharState&) const = default;
};

struct GroupState {
    CharState chars;
    Qt::Alignment alignment = Qt::AlignLeft;
    int unicodeSkip = 1; // characters that stand in for each \u for older readers
    Destination destination = Destination::Text;
};

struct ControlWord {
    std::string_view name;
    bool hasParameter = false;
    int parameter = 0;
};

class Reader {
  public:
    Reader(const QByteArray& rtf, QTextDocument& document)
        : data_(rtf.constData()), size_(rtf.size()), cursor_(&document) {}

    RtfResult run() {
        states_.push_back(GroupState{}); // the state outside every group
        hasHeader_ = startsWithHeader();
        if (!hasHeader_) problem("missing \\rtf header");

        cursor_.beginEditBlock();
        while (pos_ < size_ && !finished_)
            step();
        flush();
        cursor_.endEditBlock();

        if (!finished_ && (states_.size() > 1 || overflowDepth_ > 0))
            problem("the file ends inside a group");
        if (finished_ && hasTextAfterEnd()) problem("text after the end of the document");
        return result_;
    }

  private:
    // One token; every branch advances pos_, so the loop ends on any input.
    void step() {
        const char c = data_[pos_];
        switch (c) {
        case '{':
            ++pos_;
            openGroup();
            break;
        case '}':
            ++pos_;
            closeGroup();
            break;
        case '\\':
            readControl();
            break;
        case '\r':
        case '\n':
            ++pos_;
            break;
        default:
            ++pos_;
            atGroupStart_ = false;
            textByte(static_cast<unsigned char>(c));
            break;
        }
    }

    void openGroup() {
        unicodeSkipLeft_ = 0;
        atGroupStart_ = true;
        if (overflowDepth_ > 0 || static_cast<int>(states_.size()) > MaxRtfGroupDepth) {
            problem("groups nested too deeply");
            ++overflowDepth_;
            return;
        }
        states_.push_back(states_.back());
    }

    void closeGroup() {
        unicodeSkipLeft_ = 0;
        atGroupStart_ = false;
        if (overflowDepth_ > 0) {
            --overflowDepth_;
            return;
        }
        if (states_.size() <= 1) {
            problem("unbalanced closing brace");
            return;
        }
        states_.pop_back();
        if (states_.size() == 1 && hasHeader_) finished_ = true;
    }

    void readControl() {
        ++pos_; // the backslash
        if (pos_ >= size_) {
            problem("truncated control word");
            return;
        }
        const char c = data_[pos_];
        if (isLetter(c)) {
            const ControlWord word = readWord();
            atGroupStart_ = false;
            if (word.name == "bin") {
                skipBinary(word);
                return;
            }
            if (takeUnicodeSkip()) return;
            controlWord(word);
            return;
        }
        ++pos_;
        if (c == '*') {
            // An ignorable destination: none of those carries text we show.
            if (atGroupStart_) current().destination = Destination::Skip;
            return;
        }
        atGroupStart_ = false;
        if (c == '\'') {
            hexCharacter();
            return;
        }
        if (takeUnicodeSkip()) return;
        switch (c) {
        case '\\':
        case '{':
        case '}':
            put(char16_t(c));
            break;
        case '~':
            put(0x00A0); // non-breaking space
            break;
        case '-':
            put(0x00AD); // optional hyphen: shown only where the line breaks
            break;
        case '_':
            put(0x2011); // non-breaking hyphen
            break;
        case '\r':
        case '\n':
            paragraph();
            break;
        default:
            break; // control symbols we do not use
        }
    }

    ControlWord readWord() {
        const qsizetype start = pos_;
        while (pos_ < size_ && isLetter(data_[pos_]))
            ++pos_;
        ControlWord word;
        word.name = std::string_view(data_ + start, static_cast<std::size_t>(pos_ - start));

        bool negative = false;
        if (pos_ + 1 < size_ && data_[pos_] == '-' && isDigit(data_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        if (pos_ < size_ && isDigit(data_[pos_])) {
            // Saturate: the value only needs to be recognisably out of range.
            constexpr std::int64_t limit = std::numeric_limits<int>::max();
            std::int64_t value = 0;
            while (pos_ < size_ && isDigit(data_[pos_])) {
                value = std::min(limit, value * 10 + (data_[pos_] - '0'));
                ++pos_;
            }
            word.hasParameter = true;
            word.parameter = static_cast<int>(negative ? -value : value);
        }
        if (pos_ < size_ && data_[pos_] == ' ') ++pos_; // the delimiter belongs to the word
        return word;
    }

    void hexCharacter() {
        int value = 0;
        int digits = 0;
        while (digits < 2 && pos_ < size_ && hexValue(data_[pos_]) >= 0) {
            value = value * 16 + hexValue(data_[pos_]);
            ++pos_;
            ++digits;
        }
        if (digits < 2) {
            problem("truncated \\' escape");
            return;
        }
        if (takeUnicodeSkip()) return;
        if (value < 0x20) return;
        put(decodeByte(static_cast<unsigned char>(value), codePage_));
    }

    void skipBinary(const ControlWord& word) {
        const qsizetype length = word.hasParameter ? std::max(0, word.parameter) : 0;
        if (length > size_ - pos_) {
            problem("binary data runs past the end");
            pos_ = size_;
            return;
        }
        pos_ += length;
    }

    void controlWord(const ControlWord& word) {
        const Keyword keyword = lookUp(word.name);
        GroupState& state = current();
        // A keyword without a parameter switches on; with 0 it switches off (\b, \b0).
        const bool on = !word.hasParameter || word.parameter != 0;
        switch (keyword) {
        case Keyword::Unknown:
            if (isSkippedDestination(word.name)) state.destination = Destination::Skip;
            break;
        case Keyword::Par:
            paragraph();
            break;
        case Keyword::Pard:
            state.alignment = Qt::AlignLeft;
            applyAlignment();
            break;
        case Keyword::Line:
            put(QChar::LineSeparator);
            break;
        case Keyword::Tab:
            put(u'\t');
            break;
        case Keyword::Plain:
            state.chars = CharState{};
            break;
        case Keyword::Bold:
            state.chars.bold = on;
            break;
        case Keyword::Italic:
            state.chars.italic = on;
            break;
        case Keyword::Underline:
            state.chars.underline = on;
            break;
        case Keyword::UnderlineNone:
            state.chars.underline = false;
            break;
        case Keyword::FontSize:
            state.chars.fontSize =
                word.parameter <= 0 ? 0 : std::clamp(word.parameter, 2, MaxFontSizeHalfPoints);
            break;
        case Keyword::ColourIndex:
            state.chars.colour = std::max(0, word.parameter);
            break;
        case Keyword::ColourTable:
            state.destination = Destination::ColourTable;
            colours_.clear();
            entry_ = ColourEntry{};
            break;
        case Keyword::Red:
        case Keyword::Green:
        case Keyword::Blue:
            if (state.destination == Destination::ColourTable)
                colourComponent(keyword, word.parameter);
            break;
        case Keyword::AnsiCodePage:
            codePage_ = word.parameter == 1250 ? CodePage::Windows1250 : CodePage::Windows1252;
            break;
        case Keyword::Unicode:
            unicodeCharacter(word.parameter);
            unicodeSkipLeft_ = state.unicodeSkip;
            break;
        case Keyword::UnicodeSkip:
            state.unicodeSkip = std::clamp(word.parameter, 0, MaxUnicodeSkip);
            break;
        case Keyword::Binary:
            break; // handled before the skip count, see readControl
        case Keyword::AlignLeft:
        case Keyword::AlignCentre:
        case Keyword::AlignRight:
        case Keyword::AlignJustify:
            state.alignment = alignmentOf(keyword);
            applyAlignment();
            break;
        case Keyword::EmDash:
            put(0x2014);
            break;
        case Keyword::EnDash:
            put(0x2013);
            break;
        case Keyword::Bullet:
            put(0x2022);
            break;
        case Keyword::LeftQuote:
            put(0x2018);
            break;
        case Keyword::RightQuote:
            put(0x2019);
            break;
        case Keyword::LeftDoubleQuote:
            put(0x201C);
            break;
        case Keyword::RightDoubleQuote:
            put(0x201D);
            break;
        }
    }

    void unicodeCharacter(int parameter) {
        // RTF writes code units above 32767 as negative numbers.
        const int value = parameter < 0 ? parameter + 65536 : parameter;
        if (value < 0 || value > 0xFFFF) {
            put(Replacement);
            return;
        }
        const auto unit = static_cast<char16_t>(value);
        if (QChar::isHighSurrogate(unit)) {
            if (highSurrogate_ != 0) put(Replacement);
            highSurrogate_ = unit;
            return;
        }
        if (QChar::isLowSurrogate(unit)) {
            if (highSurrogate_ == 0) {
                put(Replacement);
                return;
            }
            append(highSurrogate_);
            append(unit);
            highSurrogate_ = 0;
            return;
        }
        if (value < 0x20 && value != '\t') return;
        put(unit);
    }

    void textByte(unsigned char byte) {
        if (current().destination == Destination::ColourTable) {
            if (byte == ';') endColourEntry();
            return;
        }
        if (takeUnicodeSkip()) return;
        if (byte == '\t') {
            put(u'\t');
            return;
        }
        if (byte < 0x20) return;
        put(decodeByte(byte, codePage_));
    }

    struct ColourEntry {
        int red = 0;
        int green = 0;
        int blue = 0;
        bool given = false; // an entry without components is the "auto" colour
    };

    void colourComponent(Keyword keyword, int value) {
        const int component = std::clamp(value, 0, 255);
        if (keyword == Keyword::Red) entry_.red = component;
        if (keyword == Keyword::Green) entry_.green = component;
        if (keyword == Keyword::Blue) entry_.blue = component;
        entry_.given = true;
    }

    void endColourEntry() {
        if (colours_.size() < MaxColours)
            colours_.push_back(entry_.given ? QColor(entry_.red, entry_.green, entry_.blue)
                                            : QColor());
        entry_ = ColourEntry{};
    }

    // Drops one character that stands in for the preceding \u.
    bool takeUnicodeSkip() {
        if (unicodeSkipLeft_ <= 0) return false;
        --unicodeSkipLeft_;
        return true;
    }

    bool visible() const {
        return overflowDepth_ == 0 && states_.back().destination == Destination::Text;
    }

    void put(char16_t unit) {
        if (highSurrogate_ != 0) {
            highSurrogate_ = 0;
            append(Replacement);
        }
        append(unit);
    }

    void append(char16_t unit) {
        if (!visible()) return;
        const CharState& chars = states_.back().chars;
        if (!pending_.isEmpty() && !(chars == pendingChars_)) flush();
        pendingChars_ = chars;
        pending_.append(QChar(unit));
    }

    void paragraph() {
        if (!visible()) return;
        flush();
        QTextBlockFormat block;
        block.setAlignment(states_.back().alignment);
        cursor_.insertBlock(block, charFormat(states_.back().chars));
    }

    void applyAlignment() {
        if (!visible()) return;
        flush();
        QTextBlockFormat block = cursor_.blockFormat();
        block.setAlignment(states_.back().alignment);
        cursor_.setBlockFormat(block);
    }

    void flush() {
        if (pending_.isEmpty()) return;
        cursor_.insertText(pending_, charFormat(pendingChars_));
        pending_.clear();
    }

    QTextCharFormat charFormat(const CharState& chars) const {
        QTextCharFormat format;
        if (chars.bold) format.setFontWeight(QFont::Bold);
        if (chars.italic) format.setFontItalic(true);
        if (chars.underline) format.setFontUnderline(true);
        if (chars.fontSize > 0) format.setFontPointSize(chars.fontSize / 2.0);
        if (chars.colour > 0 && static_cast<std::size_t>(chars.colour) < colours_.size() &&
            colours_[static_cast<std::size_t>(chars.colour)].isValid())
            format.setForeground(colours_[static_cast<std::size_t>(chars.colour)]);
        return format;
    }

    GroupState& current() { return states_.back(); }

    void problem(const char* reason) {
        if (result_.status == RtfStatus::Partial) return; // the first problem explains best
        result_.status = RtfStatus::Partial;
        result_.reason = QString::fromLatin1(reason);
    }

    bool startsWithHeader() const {
        qsizetype i = 0;
        while (i < size_ && isSpace(data_[i]))
            ++i;
        return std::string_view(data_ + i, static_cast<std::size_t>(size_ - i))
            .starts_with("{\\rtf");
    }

    bool hasTextAfterEnd() const {
        for (qsizetype i = pos_; i < size_; ++i)
            if (!isSpace(data_[i]) && data_[i] != '\0') return true;
        return false;
    }

    static Keyword lookUp(std::string_view name) {
        for (const KeywordEntry& entry : Keywords)
            if (entry.name == name) return entry.keyword;
        return Keyword::Unknown;
    }

    static bool isSkippedDestination(std::string_view name) {
        return std::find(SkippedDestinations.begin(), SkippedDestinations.end(), name) !=
               SkippedDestinations.end();
    }

    static Qt::Alignment alignmentOf(Keyword keyword) {
        switch (keyword) {
        case Keyword::AlignCentre:
            return Qt::AlignHCenter;
        case Keyword::AlignRight:
            return Qt::AlignRight;
        case Keyword::AlignJustify:
            return Qt::AlignJustify;
        default:
            return Qt::AlignLeft;
        }
    }

    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
    static bool isDigit(char c) { return c >= '0' && c <= '9'; }
    static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static int hexValue(char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
    QTextCursor cursor_;
    RtfResult result_;

    std::vector<GroupState> states_; // states_[0] is outside every group
    int overflowDepth_ = 0;          // groups opened beyond the depth cap, skipped whole
    bool hasHeader_ = false;
    bool finished_ = false;      // the outermost group of a proper file has closed
    bool atGroupStart_ = false;  // nothing but '{' read since the last token, for \*
    int unicodeSkipLeft_ = 0;    // stand-in characters still to drop after a \u
    char16_t highSurrogate_ = 0; // first half of a \u pair awaiting its second half
    CodePage codePage_ = CodePage::Windows1252;

    std::vector<QColor> colours_; // index 0 is normally the "auto" entry
    ColourEntry entry_;

    QString pending_; // text read but not yet inserted, all in pendingChars_
    CharState pendingChars_;
};

} // namespace

RtfResult readRtf(const QByteArray& rtf, QTextDocument& document) {
    document.clear();
    Reader reader(rtf, document);
    return reader.run();
}

} // namespace pulmora
