#pragma once

#include "app_state.h"
#include "file_naming.h"

#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <array>
#include <functional>

class CardLibrary;
class FrmImg;
class frmAlign;
class Operator;
class PictureBox;
class ProgramLauncher;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QPushButton;
class QTimer;
class QToolBar;
class SettingsStore;
class UpDown;

// The main window, titled "Isostep": every command is offered by the top
// toolbar, the left panel and the menus, and each runs one handler.
class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    MDIForm1(AppState &state, Operator &op, SettingsStore &settings, CardLibrary &card,
             ProgramLauncher &launcher, QWidget *parent = nullptr);
    ~MDIForm1() override;

    // Start-up: options, geometry and (only with a card) the card bring-up.
    // startWithCard clears the card switch before the bring-up step.
    void Form_Load(bool startWithCard = false);
    void Form_Unload();
    void InitZUL();

    // Commands
    void cmdFile_Click();
    void cmdArea_Click();
    void cmdPrev_Click();
    void cmdRef_Click();
    void cmdTrans_Click();
    void cmdMoire_Click();
    void cmdAlign_Click();
    void cmdBack_Click();
    void cmdClear_Click();
    void cmdOndara_Click();
    void cmdSabeln_Click();
    void cmdMoireProg_Click();
    void Toolbar3_ButtonClick(const QString &key);
    void mnuExit_Click();
    void mnuTop_Click();
    void mnuShowLeft_Click();
    void mnuLabels_Click();
    void mnuDefault_Click();
    void mnuSaveExit_Click();
    void mnuSettings_Click();
    void mnuWhatsNew_Click();
    void mnuAbout_Click();

    // Option boxes: 0 or 1, and setting one runs its click behaviour.
    int checkValue(int box) const;
    void setCheckValue(int box, int value);

    QString statusPanel(int panel) const;
    void setStatusPanel(int panel, const QString &text);

    QAction *toolbarButton(const QString &key) const;
    QAction *toolbarButton(int index) const;
    QLineEdit *averageText1() const { return text1_; }
    QLineEdit *averageText3() const { return text3_; }
    QLineEdit *averageText4() const { return text4_; }
    // Where the top toolbar's average controls stand, in twips.
    struct AveragePlacement {
        QPoint text3, text4, upDown2;
    };
    AveragePlacement averagePlacement() const { return averagePlacement_; }

    FrmImg *imageForm(int index);
    bool imageFormExists(int index) const { return imageForms_[index] != nullptr; }
    FileNaming &naming() { return naming_; }
    AppState &state() { return state_; }
    QMdiArea *mdiArea() const { return mdiArea_; }
    PictureBox *picture(int index) const;
    Operator &op() { return op_; }
    // The alignment window while it is open, else null.
    frmAlign *alignWindow() const;
    CardLibrary &card() { return card_; }
    // Sizes the work pictures to the current crop.
    void sizeWorkPictures();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildTopToolbar();
    void buildLeftToolbar();
    void buildStatusBar();
    void buildWorkPictures();
    void connectMenuItem(QAction *action, std::function<void()> handler);
    void checkClick(int box);
    void averageTextChanged(QLineEdit *source, QLineEdit *mirror);
    void placeAverageControls(QPoint text3, QPoint text4, QPoint upDown2);
    void setButtonCaptions(bool labelled);
    void restoreOptions();
    void startProgram(const QString &commandLine, const QString &programName);
    QString currentDirectoryOption() const;

    AppState &state_;
    Operator &op_;
    SettingsStore &settings_;
    CardLibrary &card_;
    ProgramLauncher &launcher_;
    FileNaming naming_;

    QMdiArea *mdiArea_ = nullptr;
    QToolBar *toolbar1_ = nullptr;
    QToolBar *toolbar3_ = nullptr;
    std::array<QAction *, 22> toolbarButtons_{};
    std::array<QCheckBox *, 6> checks_{};
    QLineEdit *text1_ = nullptr;
    QLineEdit *text3_ = nullptr;
    QLineEdit *text4_ = nullptr;
    UpDown *upDown1_ = nullptr;
    UpDown *upDown2_ = nullptr;
    std::array<QLabel *, 10> panels_{};
    std::array<PictureBox *, 4> pictures_{};
    std::array<FrmImg *, 7> imageForms_{};
    QTimer *timer1_ = nullptr;
    QPointer<frmAlign> alignWindow_;
    AveragePlacement averagePlacement_;
    bool mirroringAverage_ = false;
    bool unloaded_ = false;
};
