#include "frm_splash.h"

#include "app_info.h"
#include "platform/application_end.h"

#include "platform/resources.h"

#include <QFont>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setAccessibleName(text);
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    return l;
}
} // namespace

frmSplash::frmSplash(std::function<void()> loadMain, std::function<void()> showMain, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), loadMain_(std::move(loadMain)),
      showMain_(std::move(showMain))
{
    initIsostepResources();
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Isostep"));
    frame1_ = new QFrame(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setFrameShape(QFrame::Box);
    frame1_->setAccessibleName(QStringLiteral("splash"));
    frame1_->installEventFilter(this);

    imgLogo_ = new QLabel(frame1_);
    imgLogo_->setObjectName(QStringLiteral("imgLogo"));
    imgLogo_->setAccessibleName(QStringLiteral("Isostep logo"));
    imgLogo_->setPixmap(QIcon(QStringLiteral(":/icons/isostep.svg")).pixmap(96, 96));
    imgLogo_->setAlignment(Qt::AlignCenter);
    lblProductName_ = label(frame1_, "lblProductName", QStringLiteral("Product"));
    QFont productFont = lblProductName_->font();
    productFont.setPointSize(24);
    productFont.setBold(true);
    lblProductName_->setFont(productFont);
    lblVersion_ = label(frame1_, "lblVersion", QStringLiteral("Version"));
    label1_ = label(frame1_, "Label1", QStringLiteral("STOP!"));
    label1_->setFont(QFont(QStringLiteral("Arial Black"), 20));
    lblWarning_ = label(frame1_, "lblWarning", QStringLiteral("Change Windows settings to 24bit True Colour and restart!"));
    label2_ = label(frame1_, "Label2", QStringLiteral("Six-step photoelastic image acquisition"));
    lblCompanyProduct_ = label(frame1_, "lblCompanyProduct", QStringLiteral("Photoelasticity laboratory"));
    command1_ = new QPushButton(QStringLiteral("CLOSE"), frame1_);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setAccessibleName(QStringLiteral("CLOSE"));
    connect(command1_, &QPushButton::clicked, this, &frmSplash::Command1_Click);

    auto *inner = new QVBoxLayout(frame1_);
    for (QWidget *w : {static_cast<QWidget *>(imgLogo_), static_cast<QWidget *>(lblProductName_),
                       static_cast<QWidget *>(lblVersion_), static_cast<QWidget *>(label1_),
                       static_cast<QWidget *>(lblWarning_), static_cast<QWidget *>(label2_),
                       static_cast<QWidget *>(lblCompanyProduct_), static_cast<QWidget *>(command1_)})
        inner->addWidget(w);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame1_);
    resize(480, 360);

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(6500);
    timer1_->setSingleShot(true);
    connect(timer1_, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
}

void frmSplash::Form_Load(int screenBits)
{
    lblVersion_->setText(applicationVersionText());
    lblVersion_->setAccessibleName(lblVersion_->text());
    lblProductName_->setText(applicationTitle());
    lblProductName_->setAccessibleName(lblProductName_->text());
    if (loadMain_)
        loadMain_();

    screenBits_ = screenBits;
    if (screenBits_ < 24) {
        command1_->show();
        label2_->hide();
    } else {
        lblWarning_->hide();
        label1_->hide();
        command1_->hide();
        timer1_->start();
    }
}

void frmSplash::Timer1_Timer()
{
    showMainAndClose();
}

void frmSplash::continueIfTrueColour()
{
    if (screenBits_ >= 24)
        showMainAndClose();
}

void frmSplash::Command1_Click()
{
    endApplicationNow(0);
}

void frmSplash::showMainAndClose()
{
    timer1_->stop();
    if (showMain_)
        showMain_();
    hide();
    deleteLater();
}

void frmSplash::keyPressEvent(QKeyEvent *)
{
    continueIfTrueColour();
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == frame1_ && event->type() == QEvent::MouseButtonPress) {
        continueIfTrueColour();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
