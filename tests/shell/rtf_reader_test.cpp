#include "shell/rtf_reader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

// What WordPad writes for a short note: font and colour tables, a generator
// destination, paragraph spacing words the view ignores, and a final \par.
const char kWordPadFile[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033"
    "{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}{\\f1\\fswiss\\fprq2\\fcharset0 Arial;}}\r\n"
    "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
    "\\pard\\sa200\\sl276\\slmult1\\qc\\b\\f1\\fs32 Heading\\par\r\n"
    "\\pard\\sa200\\sl276\\slmult1\\b0\\f0\\fs22 Plain \\b bold\\b0  and \\i italic\\i0  or \\ul under\\ulnone  "
    "so \\cf1 red\\cf0  caf\\'e9 \\u8364?5\\tab x\\line y\\par\r\n"
    "{\\f1\\cf2 group} after\\par\r\n"
    "}\r\n";

QStringList blocks(const QTextDocument &document)
{
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        texts << block.text();
    return texts;
}

// The format of a fragment, which must be the same over all its characters.
QTextCharFormat formatOf(const QTextDocument &document, const QString &fragment)
{
    const QTextCursor found = document.find(fragment, 0, QTextDocument::FindCaseSensitively);
    EXPECT_FALSE(found.isNull()) << fragment.toStdString();
    if (found.isNull())
        return {};
    QTextCursor at(const_cast<QTextDocument *>(&document));
    at.setPosition(found.selectionStart() + 1);
    const QTextCharFormat first = at.charFormat();
    for (int position = found.selectionStart() + 2; position <= found.selectionEnd(); ++position) {
        at.setPosition(position);
        EXPECT_EQ(at.charFormat(), first) << "format changes inside \"" << fragment.toStdString() << "\"";
    }
    return first;
}

QString family(const QTextCharFormat &format)
{
    return format.fontFamilies().toStringList().join(QLatin1Char(','));
}

QString plainText(const QByteArray &rtf, bool *ok = nullptr, QString *error = nullptr)
{
    QTextDocument document;
    const bool result = readRtf(rtf, document, error);
    if (ok)
        *ok = result;
    return blocks(document).join(QLatin1Char('\n'));
}

} // namespace

TEST(RtfReader, WordPadFileText)
{
    QTextDocument document;
    QString error;
    ASSERT_TRUE(readRtf(kWordPadFile, document, &error)) << error.toStdString();
    EXPECT_EQ(blocks(document), (QStringList{
                                    QStringLiteral("Heading"),
                                    QStringLiteral("Plain bold and italic or under so red caf\u00e9 \u20ac5\tx\u2028y"),
                                    QStringLiteral("group after"),
                                }));
}

TEST(RtfReader, WordPadFileFormats)
{
    QTextDocument document;
    ASSERT_TRUE(readRtf(kWordPadFile, document));

    const QTextCharFormat heading = formatOf(document, QStringLiteral("Heading"));
    EXPECT_EQ(heading.fontWeight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(heading.fontPointSize(), 16.0);
    EXPECT_EQ(family(heading), QStringLiteral("Arial"));
    EXPECT_EQ(document.firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(document.firstBlock().next().blockFormat().alignment(), Qt::AlignLeft);

    const QTextCharFormat plain = formatOf(document, QStringLiteral("Plain "));
    EXPECT_EQ(plain.fontWeight(), QFont::Normal);
    EXPECT_FALSE(plain.fontItalic());
    EXPECT_FALSE(plain.fontUnderline());
    EXPECT_DOUBLE_EQ(plain.fontPointSize(), 11.0);
    EXPECT_EQ(family(plain), QStringLiteral("Calibri"));
    EXPECT_FALSE(plain.hasProperty(QTextFormat::ForegroundBrush));

    EXPECT_EQ(formatOf(document, QStringLiteral("bold")).fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(document, QStringLiteral("italic")).fontItalic());
    EXPECT_TRUE(formatOf(document, QStringLiteral("under")).fontUnderline());
    // Each switch-off word ends its property exactly where it stands.
    for (const char *between : {" and ", " or ", " so "})
        EXPECT_EQ(formatOf(document, QString::fromLatin1(between)), plain) << between;

    EXPECT_EQ(formatOf(document, QStringLiteral("red")).foreground().color(), QColor(255, 0, 0));
    // After \cf0 and after a group the text is back to plain Calibri.
    EXPECT_EQ(formatOf(document, QStringLiteral(" caf\u00e9 \u20ac5")), plain);
    EXPECT_EQ(formatOf(document, QStringLiteral("group")).foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(family(formatOf(document, QStringLiteral("group"))), QStringLiteral("Arial"));
    EXPECT_EQ(formatOf(document, QStringLiteral(" after")), plain);
}

TEST(RtfReader, CharacterResetsAndOlderFontTable)
{
    QTextDocument document;
    ASSERT_TRUE(readRtf("{\\rtf1\\ansi\\deff1{\\fonttbl\\f0\\froman Times New Roman;\\f1\\fswiss Arial;}"
                        "\\f0\\fs40\\b\\i\\ul\\strike\\super a\\plain b\\ul0 c\\ul d\\ul0\\sub e\\nosupersub f}",
                        document));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("abcdef"));
    const QTextCharFormat a = formatOf(document, QStringLiteral("a"));
    EXPECT_EQ(family(a), QStringLiteral("Times New Roman"));
    EXPECT_DOUBLE_EQ(a.fontPointSize(), 20.0);
    EXPECT_TRUE(a.fontWeight() == QFont::Bold && a.fontItalic() && a.fontUnderline() && a.fontStrikeOut());
    EXPECT_EQ(a.verticalAlignment(), QTextCharFormat::AlignSuperScript);

    // \plain returns to the default font and 12 points.
    QTextCharFormat plain;
    plain.setFontWeight(QFont::Normal);
    plain.setFontItalic(false);
    plain.setFontUnderline(false);
    plain.setFontStrikeOut(false);
    plain.setVerticalAlignment(QTextCharFormat::AlignNormal);
    plain.setFontPointSize(12.0);
    plain.setFontFamilies({QStringLiteral("Arial")});
    EXPECT_EQ(formatOf(document, QStringLiteral("b")), plain);

    EXPECT_FALSE(formatOf(document, QStringLiteral("c")).fontUnderline());
    EXPECT_TRUE(formatOf(document, QStringLiteral("d")).fontUnderline());
    EXPECT_EQ(formatOf(document, QStringLiteral("e")).verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(formatOf(document, QStringLiteral("f")).verticalAlignment(), QTextCharFormat::AlignNormal);
}

TEST(RtfReader, CodePagesAndUnicode)
{
    // Windows-1252 where it differs from Latin-1.
    EXPECT_EQ(plainText("{\\rtf1\\ansi \\'80\\'93x\\'94\\'e9}"), QStringLiteral("\u20ac\u201cx\u201d\u00e9"));
    EXPECT_EQ(plainText("{\\rtf1\\ansi\\ansicpg1251 \\'c0\\'e1}"), QStringLiteral("\u0410\u0431"));
    // Two bytes of a double-byte code page make one character.
    EXPECT_EQ(plainText("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0}"), QStringLiteral("\u3042"));
    // Raw 8-bit text is decoded like \'hh.
    EXPECT_EQ(plainText("{\\rtf1 caf\xe9}"), QStringLiteral("caf\u00e9"));

    EXPECT_EQ(plainText("{\\rtf1 \\u8364?5}"), QStringLiteral("\u20ac5"));
    EXPECT_EQ(plainText("{\\rtf1 \\u8364\\'805}"), QStringLiteral("\u20ac5"));
    EXPECT_EQ(plainText("{\\rtf1 \\u-3913?x}"), QStringLiteral("\uf0b7x"));
    EXPECT_EQ(plainText("{\\rtf1\\uc2 \\u12354\\'82\\'a0!}"), QStringLiteral("\u3042!"));
    EXPECT_EQ(plainText("{\\rtf1\\uc0 \\u233 e}"), QStringLiteral("\u00e9e"));
    // A fallback ends with its group, and \uc is scoped to the group.
    EXPECT_EQ(plainText("{\\rtf1 {\\u233}x{\\uc0 \\u233}y\\u233?z}"), QStringLiteral("\u00e9x\u00e9y\u00e9z"));
    // A character outside the Basic Multilingual Plane as a surrogate pair.
    EXPECT_EQ(plainText("{\\rtf1 \\u-10179?\\u-8704?}"), QStringLiteral("\U0001F600"));
}

TEST(RtfReader, FontCharacterSetsChooseTheCodePage)
{
    // Escaped bytes in a font of each character set, in a document whose own
    // code page is 1251: the font's \cpg first, then its \fcharset, then the
    // document's.
    struct Case {
        const char *font;
        const char *bytes;
        QString text;
    };
    const Case cases[] = {
        {"\\fcharset0", "\\'c0\\'e9", QStringLiteral("\u00c0\u00e9")},
        {"\\fcharset204", "\\'c0\\'e1", QStringLiteral("\u0410\u0431")},
        {"\\fcharset238", "\\'a5\\'b9", QStringLiteral("\u0104\u0105")},
        {"\\fcharset161", "\\'c1\\'e2", QStringLiteral("\u0391\u03b2")},
        {"\\fcharset162", "\\'d0\\'fd", QStringLiteral("\u011e\u0131")},
        {"\\fcharset163", "\\'d0\\'f5", QStringLiteral("\u0110\u01a1")},
        {"\\fcharset177", "\\'e0", QStringLiteral("\u05d0")},
        {"\\fcharset178", "\\'c7", QStringLiteral("\u0627")},
        {"\\fcharset186", "\\'c0\\'fe", QStringLiteral("\u0104\u017e")},
        {"\\fcharset222", "\\'a1", QStringLiteral("\u0e01")},
        {"\\fcharset128", "\\'82\\'a0", QStringLiteral("\u3042")},
        {"\\fcharset129", "\\'b0\\'a1", QStringLiteral("\uac00")},
        {"\\fcharset134", "\\'c4\\'e3", QStringLiteral("\u4f60")},
        {"\\fcharset136", "\\'a7\\'41", QStringLiteral("\u4f60")},
        {"\\fcharset77", "\\'8e", QStringLiteral("\u00e9")},
        {"\\fcharset255", "\\'82", QStringLiteral("\u00e9")},
        {"\\fcharset2", "\\'61\\'44\\'b7\\'d6\\'f0", QStringLiteral("\u03b1\u0394\u2022\u221a\uf0f0")},
        {"\\fcharset204\\cpg1253", "\\'c1", QStringLiteral("\u0391")},
        {"\\fcharset1", "\\'c0", QStringLiteral("\u0410")},
        {"", "\\'c0", QStringLiteral("\u0410")},
    };
    for (const Case &c : cases) {
        const QByteArray rtf = QByteArray("{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0 Arial;}{\\f1") + c.font +
                               " Other;}}\\f1 " + c.bytes + "}";
        EXPECT_EQ(plainText(rtf), c.text) << rtf.toStdString();
    }

    // The default font's set holds without \f; a group's font ends with the
    // group; a font's name is written in its own code page.
    QTextDocument document;
    ASSERT_TRUE(readRtf("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0\\fcharset0 Arial;}"
                        "{\\f1\\fcharset204 \\'cc\\'ee\\'ed\\'ee;}}\\'c0{\\f0 \\'c0}\\'c0}",
                        document));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("\u0410\u00c0\u0410"));
    EXPECT_EQ(family(formatOf(document, QStringLiteral("\u00c0"))), QStringLiteral("Arial"));
    EXPECT_EQ(family(document.begin().begin().fragment().charFormat()), QStringLiteral("\u041c\u043e\u043d\u043e"));
}

TEST(RtfReader, HiddenTextIsNotShown)
{
    EXPECT_EQ(plainText("{\\rtf1 a{\\v hidden}b\\v c\\v0 d\\v e\\plain f}"), QStringLiteral("abdf"));
}

TEST(RtfReader, SymbolsAndSkippedDestinations)
{
    EXPECT_EQ(plainText("{\\rtf1 a\\\\b\\{c\\}d\\~e\\-f\\_g}"), QStringLiteral("a\\b{c}d\u00a0ef\u2011g"));
    EXPECT_EQ(plainText("{\\rtf1 \\lquote x\\rquote  \\ldblquote y\\rdblquote  \\emdash\\endash\\bullet}"),
              QStringLiteral("\u2018x\u2019 \u201cy\u201d \u2014\u2013\u2022"));
    EXPECT_EQ(plainText("{\\rtf1{\\info{\\title Notes}{\\author Someone}}"
                        "{\\stylesheet{\\s0 Normal;}}{\\*\\generator Msftedit 5.41;}"
                        "{\\*\\unknown words {\\b nested}}{\\pict\\wmetafile8 0102ff}"
                        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt shown}}kept}"),
              QStringLiteral("shownkept"));
    // Binary picture data may hold braces and backslashes; they are not RTF.
    EXPECT_EQ(plainText("{\\rtf1{\\pict\\bin5 }{\\}\\}after}"), QStringLiteral("after"));
    // A WordPad bullet: the \pn description is skipped, its plain-text form shown.
    EXPECT_EQ(plainText("{\\rtf1{\\pntext\\f0\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}item}"),
              QStringLiteral("\u00b7\titem"));
}

TEST(RtfReader, ParagraphsAndFinalPar)
{
    // The \par of the last paragraph adds no empty line; a blank line stays.
    EXPECT_EQ(plainText("{\\rtf1 one\\par\r\n\\par two\\par}"), QStringLiteral("one\n\ntwo"));
    EXPECT_EQ(plainText("{\\rtf1 a\\\r\nb\\page c\\sect d}"), QStringLiteral("a\nb\nc\nd"));

    QTextDocument document;
    ASSERT_TRUE(readRtf("{\\rtf1\\pard\\qr\\li300\\ri150\\fi-150\\sb60\\sa120 right\\par\\pard plain\\par}", document));
    const QTextBlockFormat right = document.firstBlock().blockFormat();
    EXPECT_EQ(right.alignment(), Qt::AlignRight);
    EXPECT_DOUBLE_EQ(right.leftMargin(), 20.0);
    EXPECT_DOUBLE_EQ(right.rightMargin(), 10.0);
    EXPECT_DOUBLE_EQ(right.textIndent(), -10.0);
    EXPECT_DOUBLE_EQ(right.topMargin(), 4.0);
    EXPECT_DOUBLE_EQ(right.bottomMargin(), 8.0);
    const QTextBlockFormat plain = document.lastBlock().blockFormat();
    EXPECT_EQ(plain.alignment(), Qt::AlignLeft);
    EXPECT_DOUBLE_EQ(plain.leftMargin(), 0.0);
}

TEST(RtfReader, ColourTableEdges)
{
    QTextDocument document;
    // An entry without components is the automatic colour; an index past the
    // table shows the automatic colour too.
    ASSERT_TRUE(readRtf("{\\rtf1{\\colortbl\\red0\\green128\\blue0;;\\red300\\green-5\\blue7;}"
                        "\\cf0 a\\cf1 b\\cf2 c\\cf9 d}",
                        document));
    EXPECT_EQ(formatOf(document, QStringLiteral("a")).foreground().color(), QColor(0, 128, 0));
    EXPECT_FALSE(formatOf(document, QStringLiteral("b")).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(formatOf(document, QStringLiteral("c")).foreground().color(), QColor(255, 0, 7));
    EXPECT_FALSE(formatOf(document, QStringLiteral("d")).hasProperty(QTextFormat::ForegroundBrush));
}

TEST(RtfReader, RejectsWhatIsNotRtf)
{
    for (const QByteArray &data : {QByteArray(), QByteArray("plain text"), QByteArray("{\\rt"),
                                   QByteArray("<html>{\\rtf1 x}</html>")}) {
        bool ok = true;
        QString error;
        EXPECT_EQ(plainText(data, &ok, &error), QString());
        EXPECT_FALSE(ok);
        EXPECT_EQ(error, QStringLiteral("the text is not in Rich Text Format"));
    }
    // Leading white space before the header is accepted.
    EXPECT_EQ(plainText("\r\n  {\\rtf1 x}"), QStringLiteral("x"));
}

TEST(RtfReader, DamagedInputNeverHangsOrCrashes)
{
    bool ok = true;
    QString error;
    EXPECT_EQ(plainText("{\\rtf1 abc {\\b def", &ok, &error), QStringLiteral("abc def"));
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, QStringLiteral("the text ends inside an unclosed group"));

    // Text after the document's own group is not part of it.
    EXPECT_EQ(plainText("{\\rtf1 a}}}b{c}", &ok), QStringLiteral("a"));
    EXPECT_TRUE(ok);

    // Truncated and broken escapes.
    EXPECT_EQ(plainText("{\\rtf1 a\\'4", &ok), QStringLiteral("a4"));
    EXPECT_FALSE(ok);
    EXPECT_EQ(plainText("{\\rtf1 a\\", &ok), QStringLiteral("a"));
    EXPECT_EQ(plainText("{\\rtf1 a\\'zz}"), QStringLiteral("azz"));
    EXPECT_EQ(plainText("{\\rtf1 a\\u"), QStringLiteral("a"));
    EXPECT_EQ(plainText("{\\rtf1 a\\bin99999999999 bc}", &ok), QStringLiteral("a"));
    EXPECT_FALSE(ok);

    // Numbers far beyond any real value.
    QTextDocument document;
    ASSERT_TRUE(readRtf("{\\rtf1\\fs99999999999999999999 \\li-99999999999999 \\cf2147483648 "
                        "\\u99999999999?\\f-99999999999 \\uc999999999 x\\u233 abc}",
                        document));
    EXPECT_EQ(document.toPlainText(), QStringLiteral("x\u00e9"));
    EXPECT_DOUBLE_EQ(formatOf(document, QStringLiteral("x")).fontPointSize(), 1638.0);
    EXPECT_DOUBLE_EQ(document.firstBlock().blockFormat().leftMargin(), -31680 / 15.0);

    // Deep nesting, closed and unclosed.
    const QByteArray open(100000, '{');
    const QByteArray close(100000, '}');
    EXPECT_EQ(plainText("{\\rtf1 a" + open + "deep" + close + "b}", &ok), QStringLiteral("ab"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(plainText("{\\rtf1 a" + open + "b", &ok), QStringLiteral("a"));
    EXPECT_FALSE(ok);
    EXPECT_EQ(plainText("{\\rtf1 a" + QByteArray(100, '{') + "b" + QByteArray(100, '}') + "}"),
              QStringLiteral("ab"));
}
