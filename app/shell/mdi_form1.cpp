#include "mdi_form1.h"

#include "acquisition/live_preview.h"
#include "alignment/frm_align.h"
#include "platform/controls.h"
#include "platform/operator.h"
#include "platform/picture_box.h"
#include "platform/resources.h"
#include "platform/status_bar_panel.h"
#include "platform/text_check.h"
#include "platform/twips.h"
#include "platform/up_down.h"
#include "platform/vb_conversions.h"
#include "toolbar_buttons.h"
#include "workbench/app_state.h"
#include "workbench/frm_img.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const char *toolbarKeyOf(OptionBox box)
{
    switch (box) {
    case OptionBox::Filter:
        return "filter";
    case OptionBox::SaveI46:
        return "x46";
    case OptionBox::AutoInc:
        return "auto";
    default:
        return nullptr;
    }
}

int slot(OptionBox box)
{
    return static_cast<int>(box);
}
} // namespace

MDIForm1::MDIForm1(AppState &state, Operator &op, SettingsStore &settings, CardLibrary &card, ProgramLauncher &launcher,
                   QWidget *parent)
    : QMainWindow(parent), state_(state), op_(op), settings_(settings), card_(card), launcher_(launcher),
      naming_(op, [this](const QString &name) { setStatusPanel(StatusPanel::FileName, name); })
{
    initIsostepResources();
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(QStringLiteral("Isostep"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/isostep.svg")));
    mdiArea_ = new QMdiArea(this);
    mdiArea_->setAccessibleName(QStringLiteral("image windows"));
    setCentralWidget(mdiArea_);
    resize(1100, 760);

    buildMenus();
    buildTopToolbar();
    buildLeftToolbar();
    buildStatusBar();
    buildWorkPictures();

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(10);
    connect(timer1_, &QTimer::timeout, this, &MDIForm1::Timer1_Timer);
    livePreview_ = std::make_unique<LivePreview>(
        *this,
        [button = findChild<QPushButton *>(QStringLiteral("cmdPrev"))](const QString &caption) {
            button->setText(caption);
            describe(button, caption, button->toolTip());
        },
        this);
}

MDIForm1::~MDIForm1() = default;

FrmPrev &MDIForm1::previewWindow()
{
    return livePreview_->window();
}

frmAlign *MDIForm1::alignWindow() const
{
    return alignWindow_.get();
}

void MDIForm1::connectMenuItem(QAction *action, std::function<void()> handler)
{
    // Check marks change only when a handler says so, never by the click
    // itself: several items mirror a box and invert their mark on its click.
    connect(action, &QAction::triggered, this, [action, handler = std::move(handler)](bool checked) {
        if (action->isCheckable()) {
            const QSignalBlocker blocker(action);
            action->setChecked(!checked);
        }
        handler();
    });
}

void MDIForm1::buildMenus()
{
    auto item = [this](QMenu *menu, const char *name, const QString &caption, std::function<void()> handler,
                       bool checkable = false, bool checked = false) {
        QAction *action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        action->setCheckable(checkable);
        action->setChecked(checked);
        connectMenuItem(action, handler ? std::move(handler) : [] {});
        return action;
    };
    auto run = [this](void (MDIForm1::*handler)()) { return [this, handler] { (this->*handler)(); }; };
    auto invert = [this](OptionBox box) { return [this, box] { setCheckValue(box, 1 - checkValue(box)); }; };
    auto separator = [](QMenu *menu, const char *name) { menu->addSeparator()->setObjectName(QLatin1String(name)); };
    auto menu = [this](const char *name, const QString &caption) {
        QMenu *m = menuBar()->addMenu(caption);
        m->setObjectName(QLatin1String(name));
        describe(m, caption.trimmed());
        return m;
    };

    QMenu *file = menu("mnuFile", QStringLiteral(" &File"));
    item(file, "mnuSetFile", QStringLiteral("&Set Filename..."), run(&MDIForm1::cmdFile_Click));
    separator(file, "mnusep");
    mnu46_ = item(file, "mnu46", QStringLiteral("Save i4 and i6"), invert(OptionBox::SaveI46), true);
    mnuAuto_ = item(file, "mnuAuto", QStringLiteral("&AutoInc"), invert(OptionBox::AutoInc), true);
    separator(file, "mnubar1");
    item(file, "mnuExit", QStringLiteral("E&xit"), run(&MDIForm1::mnuExit_Click));

    QMenu *view = menu("mnuView", QStringLiteral("&View"));
    mnuTop_ = item(view, "mnuTop", QStringLiteral("Top Toolbar"), run(&MDIForm1::mnuTop_Click), true, true);
    mnuShowLeft_ = item(view, "mnuShowLeft", QStringLiteral("Left Toolbar"), run(&MDIForm1::mnuShowLeft_Click), true,
                        true);
    mnuLabels_ = item(view, "mnuLabels", QStringLiteral("Button Labels"), run(&MDIForm1::mnuLabels_Click), true, true);

    QMenu *acquire = menu("mnuData", QStringLiteral("Aquire &Data"));
    item(acquire, "mnuRefl", QStringLiteral("Reflection"), run(&MDIForm1::cmdRef_Click));
    item(acquire, "mnuTrans", QStringLiteral("Transmission"), run(&MDIForm1::cmdTrans_Click));
    item(acquire, "mnuMoire", QStringLiteral("Moire"), nullptr);

    QMenu *alignment = menu("mnuAlignment", QStringLiteral("&Alignment"));
    item(alignment, "mnuDefault", QStringLiteral("Use Defualt"), run(&MDIForm1::mnuDefault_Click));
    item(alignment, "mnuSetAli", QStringLiteral("Set..."), run(&MDIForm1::cmdAlign_Click));

    QMenu *options = menu("mnuOptions", QStringLiteral("&Options"));
    mnuFilter_ = item(options, "mnuFilter", QStringLiteral("Filter"), invert(OptionBox::Filter), true);
    item(options, "mnuSettings", QStringLiteral("&Settings..."), run(&MDIForm1::mnuSettings_Click));
    mnuSaveExit_ = item(options, "mnuSaveExit", QStringLiteral("Save Settings on E&xit"),
                        run(&MDIForm1::mnuSaveExit_Click), true);

    QMenu *window = menu("mnuWindow", QStringLiteral("&Window"));
    item(window, "mnuWindowClose", QStringLiteral("Close All Windows"), run(&MDIForm1::cmdClear_Click));
    window->addSeparator();
    connect(window, &QMenu::aboutToShow, this, [this, window] {
        // The menu lists the open child windows after its own item.
        const auto actions = window->actions();
        for (qsizetype i = 2; i < actions.size(); ++i)
            window->removeAction(actions[i]);
        for (QMdiSubWindow *child : mdiArea_->subWindowList()) {
            if (!child->isVisible())
                continue;
            QAction *entry = window->addAction(child->windowTitle());
            connect(entry, &QAction::triggered, mdiArea_, [this, child] { mdiArea_->setActiveSubWindow(child); });
        }
    });

    QMenu *help = menu("mnuHelp", QStringLiteral("&Help"));
    item(help, "mnuWhatsNew", QStringLiteral("What's &New"), run(&MDIForm1::mnuWhatsNew_Click));
    separator(help, "mnuAboutSep");
    item(help, "mnuAbout", QStringLiteral("About"), run(&MDIForm1::mnuAbout_Click));
}

void MDIForm1::buildTopToolbar()
{
    toolbar3_ = addToolBar(QStringLiteral("Toolbar3"));
    toolbar3_->setObjectName(QStringLiteral("Toolbar3"));
    toolbar3_->setAccessibleName(QStringLiteral("top toolbar"));
    toolbar3_->setMovable(false);
    toolbar3_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbar3_->setIconSize(QSize(24, 24));

    for (int index = 1; index <= 21; ++index) {
        const ToolbarButtonEntry &entry = kToolbar3Buttons[index - 1];
        if (!entry.key) {
            toolbarButtons_[index] = toolbar3_->addSeparator();
            continue;
        }
        const QString key = QString::fromUtf8(entry.key);
        QAction *action = toolbar3_->addAction(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(entry.icon))),
                                               QString::fromUtf8(entry.caption));
        action->setObjectName(QStringLiteral("Toolbar3_") + key);
        action->setData(key);
        action->setToolTip(QString::fromUtf8(entry.tooltip));
        action->setCheckable(key == QLatin1String("filter") || key == QLatin1String("x46")
                             || key == QLatin1String("auto"));
        connect(action, &QAction::triggered, this, [this, action] { Toolbar3_ButtonClick(action->data().toString()); });
        if (QWidget *button = toolbar3_->widgetForAction(action))
            describe(button, QString::fromUtf8(entry.caption), action->toolTip());
        toolbarButtons_[index] = action;
    }

    toolbar3_->addSeparator();
    text4_ = new QLineEdit(QStringLiteral("Average:"), toolbar3_);
    text4_->setObjectName(QStringLiteral("Text4"));
    text4_->setReadOnly(true);
    text4_->setFrame(false);
    text4_->setFixedWidth(text4_->fontMetrics().horizontalAdvance(text4_->text()) + 12);
    describe(text4_, QStringLiteral("Average:"));
    text4_->installEventFilter(this);
    text3_ = new QLineEdit(QStringLiteral("1"), toolbar3_);
    text3_->setObjectName(QStringLiteral("Text3"));
    text3_->setFixedWidth(pixelsFromTwips(360));
    describe(text3_, QStringLiteral("Average (toolbar)"), QStringLiteral("Number of images to average"));
    upDown2_ = new UpDown(text3_, 1, 99, toolbar3_);
    upDown2_->setObjectName(QStringLiteral("UpDown2"));
    describe(upDown2_, QStringLiteral("average up-down, top toolbar"), QStringLiteral("Number of images to average"));
    toolbar3_->addWidget(text4_);
    toolbar3_->addWidget(text3_);
    toolbar3_->addWidget(upDown2_);
    connect(text3_, &QLineEdit::textChanged, this, [this] { averageTextChanged(text3_, text1_); });
    checkAverageText(text3_);
    placeAverageControls({9480, 120}, {8760, 160}, {9840, 120});
}

void MDIForm1::buildLeftToolbar()
{
    toolbar1_ = new QToolBar(QStringLiteral("Toolbar1"), this);
    toolbar1_->setObjectName(QStringLiteral("Toolbar1"));
    toolbar1_->setAccessibleName(QStringLiteral("left toolbar"));
    toolbar1_->setMovable(false);
    addToolBar(Qt::LeftToolBarArea, toolbar1_);

    auto *panel = new QWidget(toolbar1_);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    auto button = [this, panel, layout](const char *name, const QString &caption, const QString &tooltip,
                                        void (MDIForm1::*handler)()) {
        QPushButton *b = makeButton(QLatin1String(name), caption, tooltip, panel);
        connect(b, &QPushButton::clicked, this, handler);
        layout->addWidget(b);
        return b;
    };
    button("cmdFile", QStringLiteral("Set File&name"), QStringLiteral("Sets the file name"), &MDIForm1::cmdFile_Click);
    button("cmdArea", QStringLiteral("&Set Area"), QStringLiteral("Select different areas of the screen to be captured"),
           &MDIForm1::cmdArea_Click);
    button("cmdPrev", QStringLiteral("&Preview"), QStringLiteral("Previews the image to be captured"),
           &MDIForm1::cmdPrev_Click);
    button("cmdRef", QStringLiteral("&Reflection"), QStringLiteral("Capture 6 reflection images"), &MDIForm1::cmdRef_Click);
    button("cmdTrans", QStringLiteral("&Transmission"), QStringLiteral("Capture 6 transmission images"),
           &MDIForm1::cmdTrans_Click);
    button("cmdMoire", QStringLiteral("&Moiré"), QString(), &MDIForm1::cmdMoire_Click);
    // Alt+A opens the Alignment menu and Alt+V the View menu, so the button
    // and the box beside them take other letters.
    button("cmdAlign", QStringLiteral("A&lign Images"), QStringLiteral("Correct for misalignment due to polariscope elements"),
           &MDIForm1::cmdAlign_Click);
    button("cmdBack", QStringLiteral("&Background"), QStringLiteral("Mask out the background"), &MDIForm1::cmdBack_Click);
    button("cmdClear", QStringLiteral("&Clear"), QStringLiteral("Clears the images on the screen"), &MDIForm1::cmdClear_Click);

    auto check = [this, panel, layout](OptionBox box, const QString &caption, const QString &tooltip) {
        auto *c = new QCheckBox(caption, panel);
        c->setObjectName(QStringLiteral("Check%1").arg(slot(box)));
        describe(c, caption, tooltip);
        connect(c, &QCheckBox::toggled, this, &MDIForm1::showOptionMirrors);
        layout->addWidget(c);
        checks_[slot(box)] = c;
    };
    check(OptionBox::Filter, QStringLiteral("Filt&er"), QStringLiteral("Apply Butterworth filter"));
    check(OptionBox::SaveI46, QStringLiteral("Save &i4,i6"),
          QStringLiteral("Save the dark and light-field images as bitmap"));
    check(OptionBox::AutoInc, QStringLiteral("A&utoInc."), QStringLiteral("Automatically increment the file name"));
    check(OptionBox::SaveI4, QStringLiteral("Save i4"), QString());
    check(OptionBox::SaveI6, QStringLiteral("Save i6"), QString());

    auto *label1 = new QLabel(QStringLiteral("Average:"), panel);
    label1->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(label1);
    auto *averageRow = new QHBoxLayout;
    text1_ = new QLineEdit(QStringLiteral("1"), panel);
    text1_->setObjectName(QStringLiteral("Text1"));
    describe(text1_, QStringLiteral("Average (panel)"), QStringLiteral("Number of images to average over"));
    label1->setBuddy(text1_);
    upDown1_ = new UpDown(text1_, 1, 99, panel);
    upDown1_->setObjectName(QStringLiteral("UpDown1"));
    describe(upDown1_, QStringLiteral("average up-down"), QStringLiteral("Change number of images to average over"));
    averageRow->addWidget(text1_);
    averageRow->addWidget(upDown1_);
    layout->addLayout(averageRow);
    connect(text1_, &QLineEdit::textChanged, this, [this] { averageTextChanged(text1_, text3_); });
    checkAverageText(text1_);
    connect(upDown1_, &UpDown::changed, this, [this] {
        if (const auto value = vb::toInt16(text1_->text()))
            state_.averageCount = *value;
    });

    button("cmdOndara", QStringLiteral("Run Ondara"), QString(), &MDIForm1::cmdOndara_Click);
    button("cmdSabeln", QStringLiteral("Run Sabeln"), QString(), &MDIForm1::cmdSabeln_Click);
    button("cmdMoireProg", QStringLiteral("Run Moiré"), QString(), &MDIForm1::cmdMoireProg_Click);
    layout->addStretch();
    toolbar1_->addWidget(panel);
}

void MDIForm1::buildStatusBar()
{
    static constexpr int kWidths[10] = {0, 1764, 3175, 1764, 3528, 529, 2293, 3175, 2540, 2540};
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    for (int panel = 1; panel <= 9; ++panel) {
        // The two names can be any length; the rest are short words.
        const bool name = panel == static_cast<int>(StatusPanel::FileName)
                          || panel == static_cast<int>(StatusPanel::AlignmentSource);
        auto *p = new StatusBarPanel(panel, pixelsFromTwips(kWidths[panel]),
                                     name ? StatusBarPanel::Fit::ElideMiddle : StatusBarPanel::Fit::WholeText, bar);
        p->setObjectName(QStringLiteral("StatusPanel%1").arg(panel));
        bar->addWidget(p);
        panels_[panel] = p;
    }
    panels_[1]->setText(QStringLiteral("Filename"));
    panels_[3]->setText(QStringLiteral("Status"));
    panels_[6]->setText(QStringLiteral("Alignment File"));
}

void MDIForm1::buildWorkPictures()
{
    // Off-screen boxes the commands size and draw into, as the original kept
    // its work pictures on the frame out of sight.
    for (int index = 1; index <= 3; ++index) {
        auto *picture = new PictureBox(this);
        picture->setObjectName(QStringLiteral("Picture%1").arg(index));
        picture->setAccessibleName(QStringLiteral("work picture %1").arg(index));
        picture->hide();
        pictures_[index] = picture;
    }
}

PictureBox &MDIForm1::workPicture(WorkPicture picture)
{
    return *pictures_[static_cast<int>(picture)];
}

QSize MDIForm1::pictureAreaSize() const
{
    return mdiArea_->size();
}

QAction *MDIForm1::toolbarButton(int index) const
{
    return toolbarButtons_.at(index);
}

QAction *MDIForm1::toolbarButton(const QString &key) const
{
    for (int index = 1; index <= 21; ++index)
        if (toolbarButtons_[index] && toolbarButtons_[index]->data().toString() == key)
            return toolbarButtons_[index];
    return nullptr;
}

int MDIForm1::checkValue(OptionBox box) const
{
    return checks_[slot(box)]->isChecked() ? 1 : 0;
}

void MDIForm1::setCheckValue(OptionBox box, int value)
{
    checks_[slot(box)]->setChecked(value != 0);
}

void MDIForm1::showOptionMirrors()
{
    // The boxes own the options; the toolbar buttons and menu marks only
    // show them. Menu clicks never change a mark by themselves (see
    // connectMenuItem), so the marks follow the boxes alone.
    const std::pair<OptionBox, QAction *> menuItems[] = {
        {OptionBox::Filter, mnuFilter_}, {OptionBox::SaveI46, mnu46_}, {OptionBox::AutoInc, mnuAuto_}};
    for (const auto &[box, menuItem] : menuItems) {
        const bool set = checkValue(box) == 1;
        toolbarButton(QLatin1String(toolbarKeyOf(box)))->setChecked(set);
        menuItem->setChecked(set);
    }
}

void MDIForm1::showToolbarsAsMarked()
{
    toolbar3_->setVisible(mnuTop_->isChecked());
    toolbar1_->setVisible(mnuShowLeft_->isChecked());
}

bool MDIForm1::viewItemChecked(ViewItem item) const
{
    switch (item) {
    case ViewItem::TopToolbar:
        return mnuTop_->isChecked();
    case ViewItem::LeftToolbar:
        return mnuShowLeft_->isChecked();
    case ViewItem::ButtonLabels:
        return mnuLabels_->isChecked();
    }
    return false;
}

QString MDIForm1::statusPanel(StatusPanel panel) const
{
    return panels_[static_cast<int>(panel)]->text();
}

void MDIForm1::setStatusPanel(StatusPanel panel, const QString &text)
{
    panels_[static_cast<int>(panel)]->setText(text);
}

void MDIForm1::averageTextChanged(QLineEdit *source, QLineEdit *mirror)
{
    // Writing the mirror box must not echo back into the box being typed in.
    if (mirroringAverage_)
        return;
    // A text that does not convert leaves the count as it was; the box
    // shows why, and says so when the operator leaves it.
    const auto value = vb::toInt16(source->text());
    if (!value)
        return;
    state_.averageCount = *value;
    mirroringAverage_ = true;
    mirror->setText(QString::number(state_.averageCount));
    mirroringAverage_ = false;
}

void MDIForm1::checkAverageText(QLineEdit *box)
{
    auto *check = new TextCheck(box, [](const QString &text) {
        return vb::toInt16(text) ? QString() : QStringLiteral("You must enter a valid number");
    });
    connect(check, &TextCheck::leftRefused, this, [this](const QString &reason) {
        op_.beep();
        op_.tell(reason, QStringLiteral("Isostep"), Operator::Icon::None);
    });
}

void MDIForm1::showAverageCount()
{
    text1_->setText(QString::number(state_.averageCount));
}

void MDIForm1::placeAverageControls(QPoint text3, QPoint text4, QPoint upDown2)
{
    averagePlacement_ = {text3, text4, upDown2};
}

void MDIForm1::setButtonCaptions(bool labelled)
{
    for (int index = 1; index <= 21; ++index) {
        const ToolbarButtonEntry &entry = kToolbar3Buttons[index - 1];
        if (!entry.key)
            continue;
        toolbarButtons_[index]->setText(labelled ? QString::fromUtf8(entry.label) : QString());
        toolbar3_->setToolButtonStyle(labelled ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
        if (QWidget *button = toolbar3_->widgetForAction(toolbarButtons_[index]))
            button->setAccessibleName(labelled ? QString::fromUtf8(entry.label) : QString::fromUtf8(entry.tooltip));
    }
}

bool MDIForm1::eventFilter(QObject *watched, QEvent *event)
{
    // The "Average:" box beside the top toolbar's count only hands the focus on.
    if (watched == text4_ && event->type() == QEvent::MouseButtonPress) {
        text3_->setFocus(Qt::MouseFocusReason);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
