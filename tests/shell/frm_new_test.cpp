#include "shell/frm_new.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTest>
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

QString notesPath(const QTemporaryDir &dir)
{
    return dir.filePath(QStringLiteral("new.rtf"));
}

} // namespace

TEST(FrmNew, ShowsTheNotesAndClosesOnOk)
{
    QTemporaryDir dir;
    writeFile(notesPath(dir), "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\b Isostep\\b0\\par caf\\'e9\\par}");
    frmNew form(dir.path());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("What's New..."));
    EXPECT_TRUE(form.RichTextBox1->isReadOnly());
    EXPECT_EQ(form.RichTextBox1->toPlainText(), QStringLiteral("Isostep\ncaf\u00e9"));
    EXPECT_EQ(form.RichTextBox1->textCursor().position(), 0);
    EXPECT_EQ(form.OKButton->text(), QStringLiteral("OK"));
    EXPECT_EQ(form.OKButton->accessibleName(), QStringLiteral("OK"));
    EXPECT_FALSE(form.RichTextBox1->accessibleName().isEmpty());

    form.show();
    QTest::mouseClick(form.OKButton, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST(FrmNew, ExplainsNotesThatCannotBeRead)
{
    QTemporaryDir dir;
    const QString path = notesPath(dir);
    {
        frmNew form(dir.path());
        EXPECT_EQ(form.RichTextBox1->toPlainText(),
                  QStringLiteral("The release notes could not be read from %1: No such file or directory.").arg(path));
    }
    writeFile(path, "Release notes as plain text");
    {
        frmNew form(dir.path());
        EXPECT_EQ(form.RichTextBox1->toPlainText(),
                  QStringLiteral("The release notes could not be read from %1: the text is not in Rich Text Format.")
                      .arg(path));
    }
    QFile::remove(path);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("new.rtf")));
    {
        frmNew form(dir.path());
        EXPECT_TRUE(form.RichTextBox1->toPlainText().startsWith(
            QStringLiteral("The release notes could not be read from %1: ").arg(path)))
            << form.RichTextBox1->toPlainText().toStdString();
    }
}

// The build puts the shipped notes beside every program, the tests included.
TEST(FrmNew, ShippedNotesRead)
{
    frmNew form(QCoreApplication::applicationDirPath());
    const QString text = form.RichTextBox1->toPlainText();
    EXPECT_FALSE(text.startsWith(QStringLiteral("The release notes could not be read"))) << text.toStdString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("What's New in Isostep 1.0.0"))) << text.toStdString();
    for (const char *phrase : {".six", "AutoRead", "Butterworth", "isostepbmp compose", "split", "mask"})
        EXPECT_TRUE(text.contains(QLatin1String(phrase))) << phrase;
}
