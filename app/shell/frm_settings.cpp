#include "frm_settings.h"

#include "area_selection.h"
#include "mdi_form1.h"
#include "platform/controls.h"
#include "platform/folder_list.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/settings_store.h"
#include "platform/text_check.h"
#include "platform/twips.h"
#include "platform/up_down.h"
#include "platform/vb_conversions.h"
#include "workbench/app_state.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <cmath>

namespace {
const QString kOptions = QStringLiteral("options");
const QString kView = QStringLiteral("view");
const QString kSoftware = QStringLiteral("software");

constexpr const char *kViewKeys[3] = {"top", "left", "labels"};
constexpr MDIForm1::ViewItem kViewItems[3] = {MDIForm1::ViewItem::TopToolbar, MDIForm1::ViewItem::LeftToolbar,
                                              MDIForm1::ViewItem::ButtonLabels};

// Check1 to Check3 of this window stand for the main window's boxes of the
// same numbers.
OptionBox optionOf(int box)
{
    return static_cast<OptionBox>(box);
}

template <typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QLabel *label(const char *name, const QString &text, QWidget *parent)
{
    auto *l = named(new QLabel(text, parent), name);
    describe(l, text);
    return l;
}

QPushButton *button(const char *name, const QString &caption, QWidget *parent)
{
    return makeButton(QLatin1String(name), caption, QString(), parent);
}

QCheckBox *check(int box, const QString &caption, const QString &tooltip, QWidget *parent)
{
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(QStringLiteral("Check%1").arg(box));
    describe(c, caption, tooltip);
    return c;
}

// The paths are long and the labels narrow: the whole path is also the
// tooltip, and screen readers hear it after the label's name.
void showPath(QLabel *label, const QString &path)
{
    label->setText(path);
    label->setToolTip(path);
    label->setAccessibleDescription(path);
}

QString averageRefusal(const QString &text)
{
    return vb::toInt16(text) ? QString() : QStringLiteral("You must enter a valid number");
}

QString cutOffRefusal(const QString &text)
{
    const auto ratio = vb::toDouble(text);
    if (!ratio)
        return QStringLiteral("You must enter a valid number");
    // Outside 0..1 the recursion is no low-pass filter and would spoil every
    // filtered image without a word.
    if (!(*ratio > 0.0 && *ratio < 1.0))
        return QStringLiteral("The cut-off ratio must lie between 0 and 1, for example 0.25.");
    return QString();
}

int value(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}

// A path with blanks is quoted, because the run commands split their
// command line at blanks.
QString commandLineFor(const QString &program)
{
    if (program.contains(QLatin1Char(' ')) || program.contains(QLatin1Char('\t')))
        return QLatin1Char('"') + program + QLatin1Char('"');
    return program;
}
} // namespace

frmSettings::frmSettings(MDIForm1 &main, SettingsStore &settings, QWidget *parent)
    : QWidget(parent, Qt::Window), main_(main), settings_(settings)
{
    setObjectName(QStringLiteral("frmSettings"));
    setWindowTitle(QStringLiteral("Settings"));
    setAccessibleName(QStringLiteral("Settings"));
    resize(pixelsFromTwips(6000, 6000));

    auto *layout = new QVBoxLayout(this);
    buildTabs();
    layout->addWidget(TabStrip1);
    layout->addWidget(frames_, 1);
    buildOtherControls();

    Form_Load();
}

void frmSettings::buildTabs()
{
    TabStrip1 = named(new QTabBar(this), "TabStrip1");
    TabStrip1->setAccessibleName(QStringLiteral("settings tabs"));
    for (const char *caption : {"Ondara/Sabeln", "View", "Directory", "Other"})
        TabStrip1->addTab(QLatin1String(caption));
    frames_ = new QStackedWidget(this);
    const char *captions[4] = {"Versions and Locations", "View", "Default Directory", ""};
    const char *names[4] = {"Ondara/Sabeln", "View", "Directory", "Other"};
    for (int index = 0; index < 4; ++index) {
        Frame[index] = new QGroupBox(QLatin1String(captions[index]), frames_);
        Frame[index]->setObjectName(QStringLiteral("Frame%1").arg(index));
        describe(Frame[index], QLatin1String(*captions[index] ? captions[index] : names[index]));
        frames_->addWidget(Frame[index]);
    }
    connect(TabStrip1, &QTabBar::currentChanged, frames_, &QStackedWidget::setCurrentIndex);

    // Versions and locations: each program's command line and its chooser.
    auto *paths = new QGridLayout(Frame[0]);
    QLabel **pathLabels[3] = {&Label4, &Label5, &Label10};
    QPushButton **changers[3] = {&cmdChangeOnd, &cmdChangeSab, &cmdChangeMoire};
    const char *headings[3][2] = {{"Label12", "Ondara:"}, {"Label11", "Sabeln:"}, {"Label13", "Moire:"}};
    const char *pathNames[3] = {"Label4", "Label5", "Label10"};
    const char *changeNames[3] = {"cmdChangeOnd", "cmdChangeSab", "cmdChangeMoire"};
    for (int which = 0; which < 3; ++which) {
        const QString heading = QLatin1String(headings[which][1]);
        paths->addWidget(label(headings[which][0], heading, Frame[0]), which * 2, 0);
        *pathLabels[which] = named(new QLabel(Frame[0]), pathNames[which]);
        (*pathLabels[which])->setFrameShape(QFrame::Panel);
        (*pathLabels[which])->setFrameShadow(QFrame::Sunken);
        (*pathLabels[which])->setWordWrap(true);
        describe(*pathLabels[which], heading.chopped(1) + QStringLiteral(" command line"));
        paths->addWidget(*pathLabels[which], which * 2 + 1, 0);
        *changers[which] = button(changeNames[which], QStringLiteral("Change"), Frame[0]);
        describe(*changers[which], QStringLiteral("Change ") + heading.chopped(1));
        paths->addWidget(*changers[which], which * 2 + 1, 1);
        connect(*changers[which], &QPushButton::clicked, this, [this, which] { cmdChange_Click(which); });
    }
    paths->setRowStretch(6, 1);

    auto *view = new QVBoxLayout(Frame[1]);
    Check[4] = check(4, QStringLiteral("Top Toolbar"), QString(), Frame[1]);
    Check[5] = check(5, QStringLiteral("Left Toolbar"), QString(), Frame[1]);
    Check[6] = check(6, QStringLiteral("Button Labels"), QString(), Frame[1]);
    for (int box = 4; box <= 6; ++box)
        view->addWidget(Check[box]);
    view->addStretch();

    auto *directory = new QVBoxLayout(Frame[2]);
    Drive1 = named(new DriveList(Frame[2]), "Drive1");
    describe(Drive1, QStringLiteral("drive"));
    Dir1 = named(new FolderList(Frame[2]), "Dir1");
    describe(Dir1, QStringLiteral("folder"));
    Label8 = named(new QLabel(Frame[2]), "Label8");
    describe(Label8, QStringLiteral("default directory"));
    directory->addWidget(Drive1);
    directory->addWidget(Dir1, 1);
    directory->addWidget(Label8);
    connect(Dir1, &FolderList::pathChanged, this, [this] {
        showPath(Label8, Dir1->path());
        Drive1->showVolumeOf(Dir1->path());
        enableBoth();
    });
    // A volume that cannot be opened leaves the folder list where it was.
    connect(Drive1, &DriveList::rootChosen, Dir1, &FolderList::setPath);

    auto *other = new QGridLayout(Frame[3]);
    Check[1] = check(1, QStringLiteral("Filt&er"), QStringLiteral("Apply Butterworth filter"), Frame[3]);
    auto *label9 = label("Label9", QStringLiteral("Cut Off Ratio"), Frame[3]);
    Text2 = named(new QLineEdit(QStringLiteral("0.25"), Frame[3]), "Text2");
    describe(Text2, QStringLiteral("Cut Off Ratio"));
    Text2->setEnabled(false);
    label9->setBuddy(Text2);
    auto *label7 = label("Label7", QStringLiteral("Average:"), Frame[3]);
    Text1 = named(new QLineEdit(QStringLiteral("1"), Frame[3]), "Text1");
    describe(Text1, QStringLiteral("Average:"), QStringLiteral("Number of images to average over"));
    label7->setBuddy(Text1);
    UpDown1 = named(new UpDown(Text1, 1, 99, Frame[3]), "UpDown1");
    describe(UpDown1, QStringLiteral("average up-down"), QStringLiteral("Change number of images to average over"));
    Check[3] = check(3, QStringLiteral("A&utoInc."), QStringLiteral("Automatically increment the file name"), Frame[3]);
    Check[2] = check(2, QStringLiteral("Sa&ve i4,i6"), QStringLiteral("Save the dark and light-field images as bitmap"),
                     Frame[3]);
    other->addWidget(Check[1], 0, 0, 1, 3);
    other->addWidget(label9, 1, 0);
    other->addWidget(Text2, 1, 1, 1, 2);
    other->addWidget(label7, 2, 0);
    other->addWidget(Text1, 2, 1);
    other->addWidget(UpDown1, 2, 2);
    other->addWidget(Check[3], 3, 0, 1, 3);
    other->addWidget(Check[2], 4, 0, 1, 3);

    // The area choice sits on this tab so the operator can reach it; it
    // takes effect with "Set as Current" like every other option here.
    SelectArea = named(new QGroupBox(QStringLiteral("Select Area"), Frame[3]), "Frame10");
    describe(SelectArea, QStringLiteral("Select Area"));
    auto *areaLayout = new QVBoxLayout(SelectArea);
    Picture1 = named(new PictureBox(SelectArea), "Picture1");
    describe(Picture1, QStringLiteral("area legend"));
    const QSize legend(static_cast<int>(std::lround(area::kUnitsAcross * kLegendScale)),
                       static_cast<int>(std::lround(area::kUnitsDown * kLegendScale)));
    Picture1->setFixedSize(legend);
    QImage blank(legend, QImage::Format_RGB32);
    blank.fill(Qt::white);
    Picture1->setImage(blank);
    Picture1->setFocusPolicy(Qt::NoFocus);
    areaLayout->addWidget(Picture1);
    auto *options = new QHBoxLayout;
    auto *group = new QButtonGroup(this);
    for (int index = 1; index <= 2; ++index) {
        Option1[index] = new QRadioButton(index == 1 ? QStringLiteral("256") : QStringLiteral("512"), SelectArea);
        Option1[index]->setObjectName(QStringLiteral("Option1_%1").arg(index));
        describe(Option1[index], Option1[index]->text());
        group->addButton(Option1[index], index);
        options->addWidget(Option1[index]);
        connect(Option1[index], &QRadioButton::toggled, this, [this, index](bool on) {
            if (on)
                Option1_Click(index);
        });
    }
    areaLayout->addLayout(options);
    areaLayout->addStretch();
    other->addWidget(SelectArea, 0, 3, 5, 1);
    other->setRowStretch(5, 1);

    for (int box = 1; box <= 6; ++box)
        connect(Check[box], &QCheckBox::toggled, this, [this, box] {
            enableBoth();
            if (box == 1)
                Text2->setEnabled(Check[1]->isChecked());
        });
    connect(Text1, &QLineEdit::textChanged, this, &frmSettings::text1Changed);
    connect(Text2, &QLineEdit::textChanged, this, &frmSettings::text2Changed);
    averageCheck_ = new TextCheck(Text1, averageRefusal);
    cutOffCheck_ = new TextCheck(Text2, cutOffRefusal);
}

void frmSettings::buildOtherControls()
{
    auto *bottom = new QHBoxLayout;
    auto *frame5 = named(new QGroupBox(QStringLiteral("Display"), this), "Frame5");
    describe(frame5, QStringLiteral("Display"));
    auto *display = new QVBoxLayout(frame5);
    Option2 = named(new QRadioButton(QStringLiteral("Current Settings"), frame5), "Option2");
    describe(Option2, Option2->text());
    Option3 = named(new QRadioButton(QStringLiteral("Default Settings"), frame5), "Option3");
    describe(Option3, Option3->text());
    Option2->setChecked(true);
    display->addWidget(Option2);
    display->addWidget(Option3);
    connect(Option2, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option2_Click();
    });
    connect(Option3, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Option3_Click();
    });
    bottom->addWidget(frame5);

    auto *right = new QVBoxLayout;
    Label6 = label("Label6", QStringLiteral("Current Settings"), this);
    right->addWidget(Label6);
    Command4 = button("Command4", QStringLiteral("Set as Current"), this);
    Command4->setEnabled(false);
    Command3 = button("Command3", QStringLiteral("Save as Default"), this);
    Command5 = button("Command5", QStringLiteral("Close"), this);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(Command4);
    buttons->addWidget(Command3);
    buttons->addWidget(Command5);
    right->addLayout(buttons);
    bottom->addLayout(right, 1);
    static_cast<QVBoxLayout *>(layout())->addLayout(bottom);

    // Both buttons use the average box's text, only "Set as Current" the
    // cut-off box's; each says itself what it refuses.
    averageCheck_->usedBy(Command4);
    averageCheck_->usedBy(Command3);
    cutOffCheck_->usedBy(Command4);
    for (TextCheck *check : {averageCheck_, cutOffCheck_})
        connect(check, &TextCheck::leftRefused, this, &frmSettings::refuseNumber);
    connect(Command4, &QPushButton::clicked, this, &frmSettings::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &frmSettings::Command3_Click);
    connect(Command5, &QPushButton::clicked, this, &QWidget::close);
}

void frmSettings::Form_Load()
{
    loadFromApplication(true);
    // The frames share one place below the tab strip; the first is in front.
    TabStrip1->setCurrentIndex(0);
    frames_->setCurrentIndex(0);
    drawLegend();
}

void frmSettings::loadFromApplication(bool moveFolderAndCutOff)
{
    AppState &state = main_.state();
    showPath(Label4, state.ondaraPath);
    showPath(Label5, state.sabelnPath);
    showPath(Label10, state.moireProgPath);
    showPath(Label8, QDir::currentPath());
    if (moveFolderAndCutOff)
        Dir1->setPath(QDir::currentPath());
    Text1->setText(QString::number(state.averageCount));
    for (int box = 1; box <= 3; ++box)
        Check[box]->setChecked(main_.checkValue(optionOf(box)) == 1);
    selectSizeOption(state.imageSizeOption);
    pendingSizeOption_ = state.imageSizeOption;
    for (int item = 0; item < 3; ++item)
        Check[4 + item]->setChecked(main_.viewItemChecked(kViewItems[item]));
    if (moveFolderAndCutOff) {
        Text2->setText(vb::fromDouble(state.cutOffRatio));
        pendingCutOff_ = state.cutOffRatio;
    }
}

void frmSettings::selectSizeOption(int16_t option)
{
    // A size option with no area (a hand-edited store) selects nothing.
    if (option == 0 || option == 1)
        Option1[option + 1]->setChecked(true);
}

void frmSettings::drawLegend()
{
    QImage &image = Picture1->imageForDrawing();
    area::drawOutline(image, area::Outline::Area256, area::kLegend256, kLegendScale);
    area::drawOutline(image, area::Outline::Area512, area::kLegend512, kLegendScale);
    Picture1->update();
}

void frmSettings::Option1_Click(int index)
{
    enableBoth();
    // Choosing an area is what the dialog will apply or save.
    pendingSizeOption_ = static_cast<int16_t>(index - 1);
    Picture1->imageForDrawing().fill(Qt::white);
    area::drawOutline(Picture1->imageForDrawing(), index == 1 ? area::Outline::Area256 : area::Outline::Area512Full,
                      area::kSelected, kLegendScale);
    Picture1->update();
}

void frmSettings::enableBoth()
{
    Command3->setEnabled(true);
    Command4->setEnabled(true);
}

void frmSettings::refuseNumber(const QString &reason)
{
    main_.op().beep();
    main_.op().tell(reason, QStringLiteral("Isostep"), Operator::Icon::None);
}

bool frmSettings::accepted(const TextCheck *check)
{
    if (const QString reason = check->refusal(); !reason.isEmpty()) {
        refuseNumber(reason);
        return false;
    }
    return true;
}

// Both boxes take a new value as soon as it is a good one; a text on its way
// to one is only marked (see TextCheck), and judged when it is used.
void frmSettings::text1Changed()
{
    if (const auto count = vb::toInt16(Text1->text()))
        main_.state().averageCount = *count;
    enableBoth();
}

void frmSettings::text2Changed()
{
    if (cutOffCheck_ && !cutOffCheck_->refused())
        pendingCutOff_ = *vb::toDouble(Text2->text());
}

void frmSettings::cmdChange_Click(int which)
{
    AppState &state = main_.state();
    QString *paths[3] = {&state.ondaraPath, &state.sabelnPath, &state.moireProgPath};
    QLabel *labels[3] = {Label4, Label5, Label10};

    FileDialogRecord record;
    // Programs here carry no extension: the first filter offers the files
    // that can be run, the second every file (a script started by its
    // interpreter, say).
    record.filters = {{QStringLiteral("Program files"), QString()}, {QStringLiteral("All files"), QStringLiteral("*")}};
    record.title = QStringLiteral("Choose file name");
    if (const auto chosen = main_.op().chooseOpenFile(record); chosen && !chosen->isEmpty())
        *paths[which] = commandLineFor(*chosen);
    showPath(labels[which], *paths[which]);
}

void frmSettings::Option2_Click()
{
    loadFromApplication(false);
    Command3->setEnabled(true);
    Command4->setEnabled(false);
}

void frmSettings::Option3_Click()
{
    for (int item = 0; item < 3; ++item)
        Check[4 + item]->setChecked(settings_.boolean(kView, QLatin1String(kViewKeys[item]), true));
    showPath(Label4, settings_.text(kSoftware, QStringLiteral("ondara")));
    showPath(Label5, settings_.text(kSoftware, QStringLiteral("sabeln")));
    showPath(Label10, settings_.text(kSoftware, QStringLiteral("moireprog")));
    const QString directory = settings_.text(kOptions, QStringLiteral("directory"), QDir::homePath());
    showPath(Label8, directory);
    Dir1->setPath(directory);
    Text1->setText(settings_.text(kOptions, QStringLiteral("average"), QStringLiteral("1")));
    Check[1]->setChecked(settings_.integer(kOptions, QStringLiteral("filter"), 0) != 0);
    Check[2]->setChecked(settings_.integer(kOptions, QStringLiteral("i4i6"), 0) != 0);
    Check[3]->setChecked(settings_.integer(kOptions, QStringLiteral("autoinc"), 0) != 0);
    const int16_t option = settings_.integer(kOptions, QStringLiteral("areaind"), 0);
    selectSizeOption(option);
    pendingSizeOption_ = option;
    Command3->setEnabled(false);
    Command4->setEnabled(true);
}

void frmSettings::Command4_Click()
{
    AppState &state = main_.state();
    state.ondaraPath = Label4->text();
    state.sabelnPath = Label5->text();
    state.moireProgPath = Label10->text();
    if (!QDir::setCurrent(Dir1->path()))
        main_.op().tell(QStringLiteral("The folder \"%1\" cannot be used as the working folder.")
                            .arg(QDir::toNativeSeparators(Dir1->path())),
                        QStringLiteral("Settings"), Operator::Icon::Exclamation);
    if (accepted(averageCheck_))
        state.averageCount = *vb::toInt16(Text1->text());
    // The main window's boxes show the count in use, so that "Save Settings
    // on Exit" keeps it too.
    main_.showAverageCount();
    for (int box = 1; box <= 3; ++box)
        main_.setCheckValue(optionOf(box), value(Check[box]));
    if (pendingSizeOption_ != state.imageSizeOption) {
        // A new size is only half applied without the capture window and
        // the working geometry that belong to it.
        if (const FileResult changed = area::applySizeOption(main_, pendingSizeOption_); !changed.ok())
            main_.op().tell(QStringLiteral("The capture area could not be changed.  %1").arg(changed.error),
                            QStringLiteral("Settings"), Operator::Icon::Exclamation);
    }
    if (accepted(cutOffCheck_))
        state.cutOffRatio = pendingCutOff_;
    if (main_.viewItemChecked(MDIForm1::ViewItem::TopToolbar) != (value(Check[4]) > 0))
        main_.mnuTop_Click();
    if (main_.viewItemChecked(MDIForm1::ViewItem::LeftToolbar) != (value(Check[5]) > 0))
        main_.mnuShowLeft_Click();
    if (main_.viewItemChecked(MDIForm1::ViewItem::ButtonLabels) != (value(Check[6]) > 0))
        main_.mnuLabels_Click();
}

void frmSettings::Command3_Click()
{
    AppState &state = main_.state();
    settings_.setText(kSoftware, QStringLiteral("ondara"), state.ondaraPath);
    settings_.setText(kSoftware, QStringLiteral("sabeln"), state.sabelnPath);
    settings_.setText(kSoftware, QStringLiteral("moireprog"), state.moireProgPath);
    settings_.setText(kOptions, QStringLiteral("autoinc"), QString::number(value(Check[3])));
    settings_.setText(kOptions, QStringLiteral("i4i6"), QString::number(value(Check[2])));
    settings_.setText(kOptions, QStringLiteral("filter"), QString::number(value(Check[1])));
    // A refused count is not stored, or the next start would begin with it.
    if (accepted(averageCheck_))
        settings_.setText(kOptions, QStringLiteral("average"), Text1->text());
    settings_.setText(kOptions, QStringLiteral("directory"), Dir1->path());
    settings_.setText(kOptions, QStringLiteral("areaind"), QString::number(pendingSizeOption_));
    settings_.setText(kOptions, QStringLiteral("cor"), vb::fromDouble(state.cutOffRatio));
    for (int item = 0; item < 3; ++item)
        settings_.setText(kView, QLatin1String(kViewKeys[item]), vb::fromBool(value(Check[4 + item]) > 0));
    settings_.sync();
}
