#pragma once

#include "platform/card_image.h"
#include "platform/single_window.h"
#include "workbench/file_naming.h"
#include "workbench/workstation.h"

#include <QMainWindow>
#include <QPoint>
#include <array>
#include <functional>
#include <memory>

class FrmPrev;
class LivePreview;
class frmAbout;
class frmAlign;
class frmBack;
class frmNew;
class frmSet;
class frmSettings;
class ProgramLauncher;
class QAction;
class QCheckBox;
class QLineEdit;
class QMdiArea;
class QTimer;
class QToolBar;
class SettingsStore;
class StatusBarPanel;
class UpDown;

// The main window, titled "Isostep": every command is offered by the top
// toolbar, the left panel and the menus, and each runs one handler. It is the
// workstation the features' sequences and windows work in.
class MDIForm1 : public QMainWindow, public Workstation {
    Q_OBJECT
public:
    MDIForm1(AppState &state, Operator &op, SettingsStore &settings, CardLibrary &card, ProgramLauncher &launcher,
             QWidget *parent = nullptr);
    ~MDIForm1() override;

    // Start-up: options, geometry and (only with a card) the card bring-up.
    // startWithCard clears the card switch before the bring-up step.
    void Form_Load(bool startWithCard = false);
    void Form_Unload();
    void InitZUL();

    // Commands
    void cmdFile_Click();
    void cmdArea_Click();
    void cmdPrev_Click() override;
    void cmdRef_Click();
    void cmdTrans_Click();
    void cmdMoire_Click();
    void cmdAlign_Click() override;
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
    // One live refresh of the preview, on each tick of Timer1.
    void Timer1_Timer();

    // Workstation
    AppState &state() override { return state_; }
    FileNaming &naming() override { return naming_; }
    Operator &op() override { return op_; }
    CardLibrary &card() override { return card_; }
    ZulConfig &liveConfig() override { return liveConfig_; }
    ZulVideoWindow &currentWindow() override { return currentWindow_; }
    CardImage &liveImage() override { return liveImage_; }
    QTimer &liveTimer() override { return *timer1_; }
    bool optionSet(OptionBox box) const override { return checkValue(box) == 1; }
    void setStatusPanel(StatusPanel panel, const QString &text) override;
    FrmImg *imageForm(int index) override;
    PictureBox &workPicture(WorkPicture picture) override;
    QSize pictureAreaSize() const override;

    // Option boxes: 0 or 1, and setting one runs its click behaviour.
    int checkValue(OptionBox box) const;
    void setCheckValue(OptionBox box, int value);

    QString statusPanel(StatusPanel panel) const;

    // The View menu's marks, which the toolbars follow.
    enum class ViewItem { TopToolbar, LeftToolbar, ButtonLabels };
    bool viewItemChecked(ViewItem item) const;

    QAction *toolbarButton(const QString &key) const;
    QAction *toolbarButton(int index) const;
    QLineEdit *averageText1() const { return text1_; }
    QLineEdit *averageText3() const { return text3_; }
    QLineEdit *averageText4() const { return text4_; }
    // Puts averageCount into the average boxes, as if typed.
    void showAverageCount();
    // Where the top toolbar's average controls stand, in twips.
    struct AveragePlacement {
        QPoint text3, text4, upDown2;
    };
    AveragePlacement averagePlacement() const { return averagePlacement_; }

    bool imageFormExists(int index) const { return imageForms_[index] != nullptr; }
    // True once the moire capture's store holds a reference.
    bool haveReference() const { return haveReference_; }
    QMdiArea *mdiArea() const { return mdiArea_; }
    // The alignment window while it is open, else null.
    frmAlign *alignWindow() const;
    // The preview window, made hidden on first use; there is only ever one.
    FrmPrev &previewWindow();

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
    void showOptionMirrors();
    void showToolbarsAsMarked();
    void averageTextChanged(QLineEdit *source, QLineEdit *mirror);
    void checkAverageText(QLineEdit *box);
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
    ZulConfig liveConfig_{};
    ZulVideoWindow currentWindow_{};
    CardImage liveImage_;
    bool haveReference_ = false;

    QMdiArea *mdiArea_ = nullptr;
    QToolBar *toolbar1_ = nullptr;
    QToolBar *toolbar3_ = nullptr;
    std::array<QAction *, 22> toolbarButtons_{};
    std::array<QCheckBox *, 6> checks_{};
    QAction *mnu46_ = nullptr;
    QAction *mnuAuto_ = nullptr;
    QAction *mnuFilter_ = nullptr;
    QAction *mnuTop_ = nullptr;
    QAction *mnuShowLeft_ = nullptr;
    QAction *mnuLabels_ = nullptr;
    QAction *mnuSaveExit_ = nullptr;
    QLineEdit *text1_ = nullptr;
    QLineEdit *text3_ = nullptr;
    QLineEdit *text4_ = nullptr;
    UpDown *upDown1_ = nullptr;
    UpDown *upDown2_ = nullptr;
    std::array<StatusBarPanel *, 10> panels_{};
    std::array<PictureBox *, 4> pictures_{};
    std::array<FrmImg *, 7> imageForms_{};
    QTimer *timer1_ = nullptr;
    std::unique_ptr<LivePreview> livePreview_;
    SingleWindow<frmAlign> alignWindow_;
    SingleWindow<frmBack> maskWindow_;
    SingleWindow<frmSet> areaWindow_;
    SingleWindow<frmSettings> settingsWindow_;
    SingleWindow<frmAbout> aboutWindow_;
    SingleWindow<frmNew> whatsNewWindow_;
    AveragePlacement averagePlacement_;
    bool mirroringAverage_ = false;
    bool unloaded_ = false;
};
