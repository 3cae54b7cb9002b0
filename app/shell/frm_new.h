#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTextEdit;

// "What's New...": the release notes "new.rtf" from the application folder.
class frmNew : public QDialog {
    Q_OBJECT
public:
    // applicationFolder is QCoreApplication::applicationDirPath() in the
    // program; tests hand in a folder of their own.
    explicit frmNew(const QString &applicationFolder, QWidget *parent = nullptr);

    QTextEdit *RichTextBox1 = nullptr;
    QPushButton *OKButton = nullptr;

public slots:
    void OKButton_Click();

private:
    void Form_Load();

    QString applicationFolder_;
};
