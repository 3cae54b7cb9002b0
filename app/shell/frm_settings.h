#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class DriveList;
class FolderList;
class MDIForm1;
class PictureBox;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;
class SettingsStore;
class TextCheck;
class UpDown;

// The "Settings" window: shows the running options on four tabs and applies
// them ("Set as Current") or keeps them for the next start ("Save as
// Default"). Not modal; the main window stays usable beside it.
class frmSettings : public QWidget {
    Q_OBJECT
public:
    frmSettings(MDIForm1 &main, SettingsStore &settings, QWidget *parent = nullptr);

    void Form_Load();
    void Option2_Click();
    void Option3_Click();
    void Command4_Click();
    void Command3_Click();
    void Option1_Click(int index);
    void cmdChange_Click(int which); // 0 Ondara, 1 Sabeln, 2 Moire

    int16_t pendingSizeOption() const { return pendingSizeOption_; }
    double pendingCutOff() const { return pendingCutOff_; }

    QTabBar *TabStrip1 = nullptr;
    std::array<QGroupBox *, 4> Frame{};
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label10 = nullptr;
    QPushButton *cmdChangeOnd = nullptr;
    QPushButton *cmdChangeSab = nullptr;
    QPushButton *cmdChangeMoire = nullptr;
    std::array<QCheckBox *, 7> Check{}; // 1..6
    DriveList *Drive1 = nullptr;
    FolderList *Dir1 = nullptr;
    QLabel *Label8 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    UpDown *UpDown1 = nullptr;
    QGroupBox *SelectArea = nullptr;
    PictureBox *Picture1 = nullptr; // the area legend
    std::array<QRadioButton *, 3> Option1{}; // 1 "256", 2 "512"
    QRadioButton *Option2 = nullptr;
    QRadioButton *Option3 = nullptr;
    QLabel *Label6 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command5 = nullptr;

    // The legend shows the whole frame at this many pixels per picture unit.
    static constexpr double kLegendScale = 0.15;

private:
    void buildTabs();
    void buildOtherControls();
    void enableBoth();
    void loadFromApplication(bool moveFolderAndCutOff);
    void selectSizeOption(int16_t option);
    void drawLegend();
    void text1Changed();
    void text2Changed();
    void refuseNumber(const QString &reason);
    // Says why, when the box's text is refused.
    bool accepted(const TextCheck *check);

    MDIForm1 &main_;
    SettingsStore &settings_;
    QStackedWidget *frames_ = nullptr;
    TextCheck *averageCheck_ = nullptr;
    TextCheck *cutOffCheck_ = nullptr;
    int16_t pendingSizeOption_ = 0;
    double pendingCutOff_ = 0.25;
};
