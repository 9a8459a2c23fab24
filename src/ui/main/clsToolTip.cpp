#include "ui/main/clsToolTip.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>

namespace stampwell::ui {

namespace {

int ClampTime(int ms) {
    return std::clamp(ms, 0, 32767);
}

QStyle::StandardPixmap PixmapOf(int icon) {
    switch (icon) {
    case clsToolTip::IconWarning:
        return QStyle::SP_MessageBoxWarning;
    case clsToolTip::IconError:
        return QStyle::SP_MessageBoxCritical;
    default:
        return QStyle::SP_MessageBoxInformation;
    }
}

} // namespace

clsToolTip::clsToolTip() {
    textColor_ = QApplication::palette().color(QPalette::ToolTipText);
    backColor_ = QApplication::palette().color(QPalette::ToolTipBase);
    delayTimer_.setSingleShot(true);
    visibleTimer_.setSingleShot(true);
    connect(&delayTimer_, &QTimer::timeout, this, [this] {
        if (pending_) {
            ShowFor(pending_);
        }
    });
    connect(&visibleTimer_, &QTimer::timeout, this, [this] { Hide(); });
}

clsToolTip::~clsToolTip() {
    for (auto it = tools_.keyBegin(); it != tools_.keyEnd(); ++it) {
        const_cast<QWidget*>(*it)->removeEventFilter(this);
    }
}

void clsToolTip::Create(QWidget* parent, bool alwaysTip, bool balloonTip) {
    alwaysTip_ = alwaysTip;
    balloon_ = balloonTip;
    popup_ = std::make_unique<QFrame>(parent, Qt::ToolTip | Qt::FramelessWindowHint);
    popup_->setObjectName(QStringLiteral("clsToolTipBalloon"));
    popup_->setFrameShape(QFrame::Box);
    auto* layout = new QVBoxLayout(popup_.get());
    auto* head = new QHBoxLayout;
    iconLabel_ = new QLabel(popup_.get());
    titleLabel_ = new QLabel(popup_.get());
    titleLabel_->setObjectName(QStringLiteral("title"));
    QFont bold = titleLabel_->font();
    bold.setBold(true);
    titleLabel_->setFont(bold);
    head->addWidget(iconLabel_);
    head->addWidget(titleLabel_, 1);
    layout->addLayout(head);
    textLabel_ = new QLabel(popup_.get());
    textLabel_->setObjectName(QStringLiteral("text"));
    textLabel_->setTextFormat(Qt::PlainText);
    textLabel_->setWordWrap(true);
    layout->addWidget(textLabel_);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ApplyLook();
}

void clsToolTip::Destroy() {
    delayTimer_.stop();
    visibleTimer_.stop();
    popup_.reset();
    iconLabel_ = titleLabel_ = textLabel_ = nullptr;
}

void clsToolTip::AddControl(QWidget* control, const QString& caption, bool centerToolTip) {
    if (!popup_ || control == nullptr) {
        return;
    }
    if (!tools_.contains(control)) {
        control->installEventFilter(this);
        connect(control, &QObject::destroyed, this, [this, control] { tools_.remove(control); });
    }
    tools_.insert(control, Tool{caption, centerToolTip});
}

QString clsToolTip::TextOf(const QWidget* control) const {
    return tools_.value(control).text;
}

void clsToolTip::SetToolTipTitle(const QString& title, int icon) {
    if (!popup_) {
        return;
    }
    title_ = title;
    titleIcon_ = icon;
    ApplyLook();
}

void clsToolTip::SetMaxWidth(int pixels) {
    maxWidth_ = pixels;
    ApplyLook();
}

void clsToolTip::SetVisibleTime(int ms) {
    if (popup_) {
        visibleTime_ = ClampTime(ms);
    }
}

void clsToolTip::SetDelayTime(int ms) {
    if (popup_) {
        delayTime_ = ClampTime(ms);
    }
}

void clsToolTip::SetToolTipTextColor(const QColor& color) {
    if (popup_) {
        textColor_ = color;
        ApplyLook();
    }
}

void clsToolTip::SetToolTipBackColor(const QColor& color) {
    if (popup_) {
        backColor_ = color;
        ApplyLook();
    }
}

void clsToolTip::ApplyLook() {
    if (!popup_) {
        return;
    }
    QPalette palette = popup_->palette();
    palette.setColor(QPalette::Window, backColor_);
    palette.setColor(QPalette::WindowText, textColor_);
    popup_->setPalette(palette);
    popup_->setAutoFillBackground(true);
    popup_->setMaximumWidth(maxWidth_);
    const bool hasTitle = !title_.isEmpty();
    titleLabel_->setText(title_);
    titleLabel_->setVisible(hasTitle);
    const bool hasIcon = hasTitle && titleIcon_ != IconNone;
    if (hasIcon) {
        const int size = popup_->style()->pixelMetric(QStyle::PM_SmallIconSize);
        iconLabel_->setPixmap(popup_->style()->standardIcon(PixmapOf(titleIcon_)).pixmap(size));
    }
    iconLabel_->setVisible(hasIcon);
}

void clsToolTip::ShowFor(QWidget* control) {
    if (!popup_ || !tools_.contains(control)) {
        return;
    }
    if (!alwaysTip_ && !control->isActiveWindow()) {
        return;
    }
    const Tool tool = tools_.value(control);
    // A long path may break after any of its separators, as a line of words
    // breaks between them: a slash allows it, a backslash needs a zero-width
    // space after it.
    QString shown = tool.text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\\'), QStringLiteral("\\\u200B"));
    FitText(shown);
    const QPoint at = tool.centered
                          ? control->mapToGlobal(
                                QPoint((control->width() - popup_->width()) / 2, control->height()))
                          : QCursor::pos() + QPoint(0, 20);
    popup_->move(at);
    popup_->show();
    visibleTimer_.start(visibleTime_);
}

void clsToolTip::FitText(const QString& text) {
    // A wrapping label guesses its width; the balloon is instead as wide as
    // the text's longest line, wrapped only where it passes the maximum
    // width, and exactly as high as the lines that width needs.
    textLabel_->setText(text);
    const QMargins frame = popup_->contentsMargins() + popup_->layout()->contentsMargins();
    const int widest = std::max(maxWidth_ - frame.left() - frame.right(), 1);
    const QRect bounds = textLabel_->fontMetrics().boundingRect(
        QRect(0, 0, widest, QWIDGETSIZE_MAX), Qt::TextWordWrap | Qt::AlignLeft, text);
    textLabel_->setFixedSize(bounds.width(), textLabel_->heightForWidth(bounds.width()));
    popup_->adjustSize();
}

QWidget* clsToolTip::ShownBalloon() const {
    return popup_ && popup_->isVisible() ? popup_.get() : nullptr;
}

void clsToolTip::Hide() {
    visibleTimer_.stop();
    if (popup_) {
        popup_->hide();
    }
}

bool clsToolTip::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::Enter:
        pending_ = control;
        delayTimer_.start(delayTime_);
        break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
        delayTimer_.stop();
        pending_ = nullptr;
        Hide();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace stampwell::ui
