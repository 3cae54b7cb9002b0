#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTextEdit;

// "What's New...": the release notes "new.rtf" from the program's data
// folder (the program's own folder in the build).
class frmNew : public QDialog {
    Q_OBJECT
public:
    // notesFolder is ProgramFiles::releaseNotesFolder() in the program;
    // tests hand in a folder of their own.
    explicit frmNew(const QString &notesFolder, QWidget *parent = nullptr);

    QTextEdit *RichTextBox1 = nullptr;
    QPushButton *OKButton = nullptr;

public slots:
    void OKButton_Click();

private:
    void Form_Load();

    QString notesFolder_;
};
