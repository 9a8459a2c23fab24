#pragma once

#include <QColor>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <memory>

class QFrame;
class QLabel;
class QWidget;

namespace stampwell::ui {

// One balloon window that shows multi-line hints, with a title and an icon,
// for any number of registered controls. The balloon appears when the pointer
// rests on a control for the delay time and goes after the visible time or
// when the pointer leaves.
class clsToolTip : public QObject {
    Q_OBJECT
public:
    enum TitleIcon { IconNone = 0, IconInformation = 1, IconWarning = 2, IconError = 3 };

    clsToolTip();
    ~clsToolTip() override;

    // Creates the balloon window for the parent; until then the settings are
    // only kept. Always-tip shows it also while the window is inactive.
    void Create(QWidget* parent, bool alwaysTip = false, bool balloonTip = false);
    void Destroy();
    bool IsCreated() const { return popup_ != nullptr; }

    // Registers the control with its text (CR LF separates lines); centred
    // tips appear below the control's middle instead of at the pointer.
    void AddControl(QWidget* control, const QString& caption, bool centerToolTip = false);
    QString TextOf(const QWidget* control) const;

    void SetToolTipTitle(const QString& title, int icon);
    QString Title() const { return title_; }
    int TitleIconKind() const { return titleIcon_; }

    void SetMaxWidth(int pixels);
    int MaxWidth() const { return maxWidth_; }
    // Milliseconds, kept within 0 to 32767.
    void SetVisibleTime(int ms);
    int VisibleTime() const { return visibleTime_; }
    void SetDelayTime(int ms);
    int DelayTime() const { return delayTime_; }

    void SetToolTipTextColor(const QColor& color);
    void SetToolTipBackColor(const QColor& color);
    QColor TextColor() const { return textColor_; }
    QColor BackColor() const { return backColor_; }

    // Shows the control's tip at once (what the delay timer does).
    void ShowFor(QWidget* control);
    // The balloon window while it is shown, else null.
    QWidget* ShownBalloon() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Tool {
        QString text;
        bool centered = false;
    };

    void Hide();
    void ApplyLook();
    // Sizes the balloon to the text.
    void FitText(const QString& text);

    std::unique_ptr<QFrame> popup_;
    QLabel* iconLabel_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QLabel* textLabel_ = nullptr;
    bool alwaysTip_ = false;
    bool balloon_ = false;
    QHash<const QWidget*, Tool> tools_;
    QPointer<QWidget> pending_;
    QTimer delayTimer_;
    QTimer visibleTimer_;
    QString title_;
    int titleIcon_ = IconNone;
    int maxWidth_ = 400;
    int visibleTime_ = 5000;
    int delayTime_ = 500;
    QColor textColor_;
    QColor backColor_;
};

} // namespace stampwell::ui
