#include "rtf_reader.h"

#include "rtf_charsets.h"
#include "platform/twips.h"

#include <QColor>
#include <QFont>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr int kDefaultHalfPoints = 24; // 12 pt, the RTF default
constexpr int kMaxHalfPoints = 3276;
// Margins stay fractional: a text block takes them in pixels as real numbers.
constexpr double kTwipsPerPixel = twipsPerPixel;
// 22 inches: wider than any page WordPad lays out; larger values are damage.
constexpr int kMaxTwips = 31680;
// RichEdit writes 1; double-byte code pages use 2. Anything large would
// swallow the text that follows.
constexpr int kMaxFallbackSkip = 16;
// A file nested deeper than this is damaged or hostile; its inner groups are
// read past without keeping their text.
constexpr std::size_t kMaxDepth = 256;
constexpr int kParameterLimit = 1000000000;

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five holes map
// to the C1 controls of the same value, as Windows itself decodes them.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

class CodePage {
public:
    void select(int number)
    {
        if (number == number_)
            return;
        number_ = number;
        decoder_ = QStringDecoder();
        if (number == kSymbolCodePage)
            return;
        if (number == 65001)
            decoder_ = QStringDecoder(QStringDecoder::Utf8);
        else if (number != 1252)
            decoder_ = QStringDecoder(QByteArray("windows-" + QByteArray::number(number)).constData());
        // A code page this Qt cannot decode is read as 1252, which keeps
        // every ASCII character right.
    }

    QString decode(const QByteArray &bytes)
    {
        if (number_ == kSymbolCodePage)
            return decodeSymbol(bytes);
        if (decoder_.isValid())
            return decoder_.decode(bytes);
        QString text;
        text.reserve(bytes.size());
        for (char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            text += (byte >= 0x80 && byte <= 0x9F) ? QChar(kCp1252High[byte - 0x80]) : QChar(byte);
        }
        return text;
    }

private:
    int number_ = 1252;
    QStringDecoder decoder_;
};

enum class Destination { Text, FontTable, ColorTable, Skip };

// RTF scopes character and paragraph properties to groups; each '{' saves
// them and each '}' brings them back.
struct GroupState {
    Destination destination = Destination::Text;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    QTextCharFormat::VerticalAlignment vertical = QTextCharFormat::AlignNormal;
    int halfPoints = kDefaultHalfPoints;
    int font = -1; // -1: the document's default font
    int colour = -1; // -1: the text colour of the view
    int fallbackSkip = 1;

    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;

    void resetCharacter()
    {
        bold = italic = underline = strike = hidden = false;
        vertical = QTextCharFormat::AlignNormal;
        halfPoints = kDefaultHalfPoints;
        font = -1;
        colour = -1;
    }
    void resetParagraph()
    {
        alignment = Qt::AlignLeft;
        leftIndent = rightIndent = firstIndent = spaceBefore = spaceAfter = 0;
    }
};

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isUnderlineWord(const QByteArray &word)
{
    static const std::array<const char *, 9> words = {
        "ul", "uld", "uldb", "uldash", "uldashd", "uldashdd", "ulth", "ulw", "ulwave",
    };
    return std::any_of(words.begin(), words.end(), [&](const char *w) { return word == w; });
}

bool isSkippedDestination(const QByteArray &word)
{
    // Destinations whose content is not text of the body. The \*-marked ones
    // never get here.
    static const std::array<const char *, 22> words = {
        "info", "stylesheet", "pict", "object", "header", "headerl", "headerr", "headerf",
        "footer", "footerl", "footerr", "footerf", "footnote", "listtable",
        "listoverridetable", "revtbl", "rsidtbl", "filetbl", "fldinst", "nonshppict",
        "themedata", "latentstyles",
    };
    return std::any_of(words.begin(), words.end(), [&](const char *w) { return word == w; });
}

std::optional<char16_t> specialCharacter(const QByteArray &word)
{
    static const std::map<QByteArray, char16_t> table = {
        {"line", 0x2028}, {"tab", u'\t'}, {"cell", u'\t'},
        {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022},
        {"lquote", 0x2018}, {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
        {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
    };
    const auto found = table.find(word);
    if (found == table.end())
        return std::nullopt;
    return found->second;
}

class Reader {
public:
    Reader(const QByteArray &data, QTextDocument &document) : data_(data), cursor_(&document) {}

    bool run(QString *error)
    {
        qsizetype start = 0;
        while (start < data_.size() && QChar::isSpace(static_cast<unsigned char>(data_[start])))
            ++start;
        if (!data_.mid(start, 5).startsWith("{\\rtf")) {
            setError(error, QStringLiteral("the text is not in Rich Text Format"));
            return false;
        }
        pos_ = start;
        while (pos_ < data_.size() && !finished_) {
            const char c = data_[pos_++];
            switch (c) {
            case '{':
                beginGroup();
                break;
            case '}':
                endGroup();
                break;
            case '\\':
                control();
                break;
            case '\r':
            case '\n':
            case '\0':
                break;
            default:
                literal(c);
                break;
            }
        }
        flush();
        finishDocument();
        if (!finished_) {
            setError(error, QStringLiteral("the text ends inside an unclosed group"));
            return false;
        }
        return true;
    }

private:
    static void setError(QString *error, const QString &text)
    {
        if (error)
            *error = text;
    }

    GroupState &state() { return stack_.back(); }

    Destination destination() const
    {
        if (stack_.empty() || overflow_ > 0)
            return Destination::Skip;
        return stack_.back().destination;
    }

    void beginGroup()
    {
        flush();
        fallbackLeft_ = 0; // a fallback never reaches into another group
        if (stack_.size() >= kMaxDepth) {
            ++overflow_;
            return;
        }
        stack_.push_back(stack_.empty() ? GroupState() : stack_.back());
    }

    void endGroup()
    {
        flush();
        fallbackLeft_ = 0;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (destination() == Destination::FontTable)
            commitFont();
        stack_.pop_back();
        // Whatever follows the document's own group is not part of it;
        // WordPad leaves a NUL or a line end there.
        if (stack_.empty())
            finished_ = true;
    }

    void control()
    {
        if (pos_ >= data_.size())
            return;
        const char c = data_[pos_];
        if (isLetter(c)) {
            controlWord();
            return;
        }
        ++pos_;
        switch (c) {
        case '\'':
            hexByte();
            return;
        case '\\':
        case '{':
        case '}':
            literal(c);
            return;
        default:
            break;
        }
        flush();
        if (consumeFallback())
            return;
        switch (c) {
        case '*':
            if (!stack_.empty())
                state().destination = Destination::Skip;
            break;
        case '~':
            appendText(QChar(0x00A0));
            break;
        case '_':
            appendText(QChar(0x2011));
            break;
        case '\r':
        case '\n':
            paragraph();
            break;
        default:
            // "\-" (optional hyphen), "\|", "\:" and unknown symbols show nothing.
            break;
        }
    }

    void hexByte()
    {
        const int high = pos_ < data_.size() ? hexValue(data_[pos_]) : -1;
        const int low = pos_ + 1 < data_.size() ? hexValue(data_[pos_ + 1]) : -1;
        if (high < 0 || low < 0)
            return; // a damaged escape shows nothing; the bytes after it read as text
        pos_ += 2;
        if (consumeFallback())
            return;
        pendingBytes_.append(static_cast<char>(high * 16 + low));
    }

    void controlWord()
    {
        const qsizetype wordStart = pos_;
        while (pos_ < data_.size() && isLetter(data_[pos_]))
            ++pos_;
        const QByteArray word = data_.mid(wordStart, pos_ - wordStart);

        bool hasParameter = false;
        bool negative = false;
        long long value = 0;
        if (pos_ + 1 < data_.size() && data_[pos_] == '-' && isDigit(data_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        while (pos_ < data_.size() && isDigit(data_[pos_])) {
            hasParameter = true;
            value = std::min<long long>(value * 10 + (data_[pos_] - '0'), kParameterLimit);
            ++pos_;
        }
        if (pos_ < data_.size() && data_[pos_] == ' ')
            ++pos_;
        const int parameter = static_cast<int>(negative ? -value : value);

        if (word == "bin") {
            // Raw bytes follow; they must not be read as RTF.
            const qsizetype length = hasParameter && parameter > 0 ? parameter : 0;
            flush();
            pos_ += std::min(length, data_.size() - pos_);
            return;
        }
        if (word == "u") {
            unicode(hasParameter, parameter);
            return;
        }
        flush();
        if (consumeFallback() || overflow_ > 0 || stack_.empty())
            return;
        applyWord(word, hasParameter, parameter);
    }

    void unicode(bool hasParameter, int parameter)
    {
        if (consumeFallback() || !hasParameter)
            return;
        // RTF writes characters above 32767 as negative 16-bit numbers.
        const int code = parameter < 0 ? parameter + 65536 : parameter;
        decodeBytes();
        if (code > 0 && code <= 0xFFFF)
            pendingText_ += QChar(static_cast<char16_t>(code));
        fallbackLeft_ = stack_.empty() ? 1 : state().fallbackSkip;
    }

    void applyWord(const QByteArray &word, bool hasParameter, int parameter)
    {
        GroupState &s = state();
        const bool on = !hasParameter || parameter != 0;
        const int twips = std::clamp(parameter, -kMaxTwips, kMaxTwips);

        if (const auto special = specialCharacter(word)) {
            appendText(QChar(*special));
        } else if (word == "par" || word == "sect" || word == "page" || word == "row") {
            paragraph();
        } else if (word == "fonttbl") {
            s.destination = Destination::FontTable;
        } else if (word == "colortbl") {
            s.destination = Destination::ColorTable;
            resetColourEntry();
        } else if (isSkippedDestination(word)) {
            s.destination = Destination::Skip;
        } else if (word == "ansicpg") {
            if (hasParameter && parameter > 0)
                ansiCodePage_ = parameter;
        } else if (word == "fcharset") {
            if (s.destination == Destination::FontTable && fontEntry_ >= 0 && codePageOfCharset(parameter) != 0)
                fontCharsetPages_[fontEntry_] = codePageOfCharset(parameter);
        } else if (word == "cpg") {
            if (s.destination == Destination::FontTable && fontEntry_ >= 0 && hasParameter && parameter > 0)
                fontCodePages_[fontEntry_] = parameter;
        } else if (word == "deff") {
            defaultFont_ = parameter;
        } else if (word == "f") {
            if (s.destination == Destination::FontTable) {
                commitFont();
                fontEntry_ = parameter;
            } else {
                s.font = parameter;
            }
        } else if (word == "fs") {
            if (hasParameter && parameter > 0)
                s.halfPoints = std::min(parameter, kMaxHalfPoints);
        } else if (word == "cf") {
            s.colour = parameter;
        } else if (word == "red" || word == "green" || word == "blue") {
            const int component = std::clamp(parameter, 0, 255);
            (word == "red" ? red_ : word == "green" ? green_ : blue_) = component;
            colourGiven_ = true;
        } else if (word == "b") {
            s.bold = on;
        } else if (word == "i") {
            s.italic = on;
        } else if (isUnderlineWord(word)) {
            s.underline = on;
        } else if (word == "ulnone") {
            s.underline = false;
        } else if (word == "strike") {
            s.strike = on;
        } else if (word == "v") {
            s.hidden = on;
        } else if (word == "super") {
            s.vertical = QTextCharFormat::AlignSuperScript;
        } else if (word == "sub") {
            s.vertical = QTextCharFormat::AlignSubScript;
        } else if (word == "nosupersub") {
            s.vertical = QTextCharFormat::AlignNormal;
        } else if (word == "plain") {
            s.resetCharacter();
        } else if (word == "pard") {
            s.resetParagraph();
        } else if (word == "ql") {
            s.alignment = Qt::AlignLeft;
        } else if (word == "qc") {
            s.alignment = Qt::AlignHCenter;
        } else if (word == "qr") {
            s.alignment = Qt::AlignRight;
        } else if (word == "qj") {
            s.alignment = Qt::AlignJustify;
        } else if (word == "li") {
            s.leftIndent = twips;
        } else if (word == "ri") {
            s.rightIndent = twips;
        } else if (word == "fi") {
            s.firstIndent = twips;
        } else if (word == "sb") {
            s.spaceBefore = twips;
        } else if (word == "sa") {
            s.spaceAfter = twips;
        } else if (word == "uc") {
            s.fallbackSkip = std::clamp(parameter, 0, kMaxFallbackSkip);
        }
        // Every other word changes nothing this view shows.
    }

    // Inside the fallback of a \u character every byte, escape and control
    // word stands for one replacement character and is dropped.
    bool consumeFallback()
    {
        if (fallbackLeft_ <= 0)
            return false;
        --fallbackLeft_;
        return true;
    }

    void literal(char c)
    {
        if (consumeFallback())
            return;
        pendingBytes_.append(c);
    }

    void appendText(QChar c)
    {
        decodeBytes();
        pendingText_ += c;
    }

    // Consecutive 8-bit bytes are decoded together so that the two bytes of
    // a double-byte code page character stay one character.
    void decodeBytes()
    {
        if (!pendingBytes_.isEmpty()) {
            codePage_.select(currentCodePage());
            pendingText_ += codePage_.decode(pendingBytes_);
            pendingBytes_.clear();
        }
    }

    void flush()
    {
        decodeBytes();
        if (pendingText_.isEmpty())
            return;
        const QString text = std::exchange(pendingText_, QString());
        switch (destination()) {
        case Destination::Text:
            if (state().hidden)
                break;
            cursor_.setBlockFormat(blockFormat());
            cursor_.insertText(text, charFormat());
            break;
        case Destination::FontTable:
            for (QChar c : text) {
                if (c == u';')
                    commitFont();
                else
                    fontName_ += c;
            }
            break;
        case Destination::ColorTable:
            for (QChar c : text) {
                if (c == u';') {
                    colours_.push_back(colourGiven_ ? std::optional<QColor>(QColor(red_, green_, blue_))
                                                    : std::nullopt);
                    resetColourEntry();
                }
            }
            break;
        case Destination::Skip:
            break;
        }
    }

    void paragraph()
    {
        if (destination() != Destination::Text)
            return;
        cursor_.setBlockFormat(blockFormat());
        cursor_.insertBlock(blockFormat(), charFormat());
    }

    // 8-bit text is in the code page of its font: the one the font names
    // with \cpg, else that of its character set, else the document's. A
    // font's own name in the font table is written in its code page too.
    int currentCodePage() const
    {
        int font = -1;
        if (!stack_.empty())
            font = destination() == Destination::FontTable ? fontEntry_
                   : stack_.back().font >= 0                ? stack_.back().font
                                                            : defaultFont_;
        for (const auto *pages : {&fontCodePages_, &fontCharsetPages_}) {
            const auto found = pages->find(font);
            if (found != pages->end())
                return found->second;
        }
        return ansiCodePage_;
    }

    void commitFont()
    {
        const QString name = fontName_.trimmed();
        if (fontEntry_ >= 0 && !name.isEmpty())
            fonts_[fontEntry_] = name;
        fontName_.clear();
        fontEntry_ = -1;
    }

    void resetColourEntry()
    {
        red_ = green_ = blue_ = 0;
        colourGiven_ = false;
    }

    QTextCharFormat charFormat() const
    {
        const GroupState &s = stack_.back();
        QTextCharFormat format;
        format.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(s.italic);
        format.setFontUnderline(s.underline);
        format.setFontStrikeOut(s.strike);
        format.setVerticalAlignment(s.vertical);
        format.setFontPointSize(s.halfPoints / 2.0);
        const auto font = fonts_.find(s.font >= 0 ? s.font : defaultFont_);
        if (font != fonts_.end())
            format.setFontFamilies({font->second});
        if (s.colour >= 0 && static_cast<std::size_t>(s.colour) < colours_.size() && colours_[s.colour])
            format.setForeground(*colours_[s.colour]);
        return format;
    }

    QTextBlockFormat blockFormat() const
    {
        const GroupState &s = stack_.back();
        QTextBlockFormat format;
        format.setAlignment(s.alignment);
        format.setLeftMargin(s.leftIndent / kTwipsPerPixel);
        format.setRightMargin(s.rightIndent / kTwipsPerPixel);
        format.setTextIndent(s.firstIndent / kTwipsPerPixel);
        format.setTopMargin(s.spaceBefore / kTwipsPerPixel);
        format.setBottomMargin(s.spaceAfter / kTwipsPerPixel);
        return format;
    }

    // WordPad ends the last paragraph with \par as well; without this the view
    // would show an empty line after the text.
    void finishDocument()
    {
        QTextDocument *document = cursor_.document();
        if (document->blockCount() > 1 && document->lastBlock().length() <= 1) {
            cursor_.movePosition(QTextCursor::End);
            cursor_.deletePreviousChar();
        }
    }

    const QByteArray &data_;
    qsizetype pos_ = 0;
    bool finished_ = false;
    QTextCursor cursor_;
    std::vector<GroupState> stack_;
    std::size_t overflow_ = 0;
    int fallbackLeft_ = 0;

    QByteArray pendingBytes_;
    QString pendingText_;
    CodePage codePage_;
    int ansiCodePage_ = 1252;

    std::map<int, QString> fonts_;
    std::map<int, int> fontCodePages_;    // from \cpg
    std::map<int, int> fontCharsetPages_; // from \fcharset
    int defaultFont_ = -1;
    int fontEntry_ = -1;
    QString fontName_;

    std::vector<std::optional<QColor>> colours_;
    int red_ = 0;
    int green_ = 0;
    int blue_ = 0;
    bool colourGiven_ = false;
};

} // namespace

bool readRtf(const QByteArray &rtf, QTextDocument &document, QString *error)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    const bool ok = Reader(rtf, document).run(error);
    document.setUndoRedoEnabled(undo);
    return ok;
}
