#include "frm_new.h"

#include "rtf_reader.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// Release notes are a few pages; anything far larger is not ours and would
// only stall the window.
constexpr qint64 kMaxNotesSize = 16 * 1024 * 1024;

bool readNotes(const QString &path, QTextDocument &document, QString *reason)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = file.errorString();
        return false;
    }
    if (file.size() > kMaxNotesSize) {
        *reason = QStringLiteral("the file is larger than 16 MB");
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = file.errorString();
        return false;
    }
    return readRtf(data, document, reason);
}

} // namespace

frmNew::frmNew(const QString &notesFolder, QWidget *parent)
    : QDialog(parent), notesFolder_(notesFolder)
{
    setObjectName(QStringLiteral("frmNew"));
    setWindowTitle(QStringLiteral("What's New..."));
    setAccessibleName(windowTitle());
    resize(600, 440);

    RichTextBox1 = new QTextEdit(this);
    RichTextBox1->setObjectName(QStringLiteral("RichTextBox1"));
    RichTextBox1->setReadOnly(true);
    RichTextBox1->setAccessibleName(QStringLiteral("Release notes"));
    RichTextBox1->setAccessibleDescription(RichTextBox1->toolTip());

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setAccessibleName(QStringLiteral("OK"));
    OKButton->setAccessibleDescription(OKButton->toolTip());
    connect(OKButton, &QPushButton::clicked, this, &frmNew::OKButton_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(RichTextBox1);
    layout->addLayout(buttons);

    Form_Load();
}

void frmNew::Form_Load()
{
    const QString path = QDir(notesFolder_).filePath(QStringLiteral("new.rtf"));
    QString reason;
    if (!readNotes(path, *RichTextBox1->document(), &reason)) {
        // Without its notes the window still opens and says why, rather than
        // showing an empty box.
        RichTextBox1->setPlainText(QStringLiteral("The release notes could not be read from %1: %2.")
                                       .arg(QDir::toNativeSeparators(path), reason));
    }
    // Reading leaves the cursor at the end; the notes open at their heading.
    RichTextBox1->moveCursor(QTextCursor::Start);
}

void frmNew::OKButton_Click()
{
    close();
}
