#include "ui/icon/modAppIcon.h"
#include "ui/main/frmMain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

// The window's frames and controls, each with its name; positions come from
// layouts so that the window follows the font size and the screen's scale.
namespace stampwell::ui {

namespace {

QString Indexed(const char* name, int index) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

template <typename T> T* Named(T* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QGroupBox* NewFrame(QWidget* parent, const char* name) {
    auto* frame = Named(new QGroupBox(parent), QLatin1String(name));
    frame->setAcceptDrops(true);
    return frame;
}

// A pick list whose text may be any text (also one that is not in its list,
// or none), while the user can only pick from the list.
QComboBox* NewPickList(QWidget* parent, const char* name) {
    auto* list = Named(new QComboBox(parent), QLatin1String(name));
    list->setEditable(true);
    list->lineEdit()->setReadOnly(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(10);
    return list;
}

// A label whose long text never widens the window.
QLabel* NewElasticLabel(QWidget* parent, const char* name) {
    auto* label = Named(new QLabel(parent), QLatin1String(name));
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setAcceptDrops(true);
    return label;
}

QToolButton* NewPictureButton(QWidget* parent, const char* name, const QIcon& picture) {
    auto* button = Named(new QToolButton(parent), QLatin1String(name));
    button->setIcon(picture);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(false);
    return button;
}

// A control that keeps its place while it is hidden, so that showing it
// never moves the others.
void KeepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

void frmMain::BuildFrames() {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildFrame2());
    layout->addWidget(BuildFrame1());
    layout->addWidget(BuildFrame3());
    layout->addWidget(BuildFrame4());
    layout->addWidget(BuildFrame5());
    layout->addWidget(BuildFrame6());
    // One size from the first show, the size that holds everything; a tool
    // window of fixed size is not maximised.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    SetTabOrder();
}

void frmMain::SetTabOrder() {
    // As the screen reads: frame by frame from the top, within a frame the
    // left column before the right one and each row from the left.
    std::vector<QWidget*> order{cmdBrowse};
    order.insert(order.end(), chkDoWhat.begin(), chkDoWhat.end());
    order.insert(order.end(), {txtFilter, chkRekursiv, Option2[0], Option2[1], chkExchange, Combo1,
                               Combo2, Option2[2], Combo3, txtDateTime});
    order.insert(order.end(), Option3.begin(), Option3.end());
    order.insert(order.end(), chkAttr.begin(), chkAttr.end());
    order.insert(order.end(), {cmdFailures, cmdAbout, cmdHelp, cmdSettings, cmdUndo, cmdExec,
                               cmdCancel, cmdQuit});
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

QGroupBox* frmMain::BuildFrame2() {
    Frame2 = NewFrame(this, "Frame2");
    Frame2->setMouseTracking(true);
    lblPath = NewElasticLabel(Frame2, "lblPath");
    lblPath->setText(QStringLiteral(" "));
    cmdBrowse =
        NewPictureButton(Frame2, "cmdBrowse", style()->standardIcon(QStyle::SP_DirOpenIcon));
    auto* row = new QHBoxLayout(Frame2);
    row->addWidget(lblPath, 1);
    row->addWidget(cmdBrowse);
    return Frame2;
}

QGroupBox* frmMain::BuildFrame1() {
    Frame1 = NewFrame(this, "Frame1");
    auto* grid = new QGridLayout(Frame1);
    for (int i = 0; i < 3; ++i) {
        chkDoWhat[i] = Named(new QRadioButton(Frame1), Indexed("chkDoWhat", i));
        chkDoWhat[i]->setEnabled(false);
        grid->addWidget(chkDoWhat[i], i, 0);
    }
    chkDoWhat[0]->setChecked(true);
    txtFilter = Named(new QLineEdit(QStringLiteral("*.*"), Frame1), QStringLiteral("txtFilter"));
    txtFilter->setEnabled(false);
    txtFilterButton[0] = txtFilter->addAction(style()->standardIcon(QStyle::SP_LineEditClearButton),
                                              QLineEdit::TrailingPosition);
    txtFilterButton[1] = txtFilter->addAction(style()->standardIcon(QStyle::SP_MessageBoxQuestion),
                                              QLineEdit::TrailingPosition);
    for (int i = 0; i < 2; ++i) {
        txtFilterButton[i]->setObjectName(Indexed("txtFilter.button", i));
    }
    chkRekursiv = Named(new QCheckBox(Frame1), QStringLiteral("chkRekursiv"));
    chkRekursiv->setEnabled(false);
    grid->addWidget(txtFilter, 0, 1);
    grid->addWidget(chkRekursiv, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return Frame1;
}

QGroupBox* frmMain::BuildFrame3() {
    Frame3 = NewFrame(this, "Frame3");
    auto* grid = new QGridLayout(Frame3);
    for (int i = 0; i < 3; ++i) {
        Option2[i] = Named(new QRadioButton(Frame3), Indexed("Option2", i));
    }
    Option2[0]->setChecked(true);
    chkExchange = Named(new QCheckBox(Frame3), QStringLiteral("chkExchange"));
    Combo1 = NewPickList(Frame3, "Combo1");
    Combo2 = NewPickList(Frame3, "Combo2");
    Combo3 = NewPickList(Frame3, "Combo3");
    lblArr1 = Named(new QLabel(QStringLiteral("==>"), Frame3), QStringLiteral("lblArr1"));
    lblArr2 = Named(new QLabel(QStringLiteral("==>"), Frame3), QStringLiteral("lblArr2"));
    for (QLabel* arrow : {lblArr1, lblArr2}) {
        arrow->setAlignment(Qt::AlignCenter);
        arrow->setMinimumWidth(arrow->fontMetrics().horizontalAdvance(QStringLiteral("<==>")));
    }
    txtDateTime = Named(new QLineEdit(Frame3), QStringLiteral("txtDateTime"));
    txtDateTime->setAutoFillBackground(true);
    txtDateTimeButton = txtDateTime->addAction(
        style()->standardIcon(QStyle::SP_FileDialogDetailedView), QLineEdit::TrailingPosition);
    txtDateTimeButton->setObjectName(QStringLiteral("txtDateTime.button(0)"));
    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                       style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    grid->setColumnMinimumWidth(0, indent);
    grid->addWidget(Option2[0], 0, 0, 1, 4);
    grid->addWidget(Option2[1], 1, 0, 1, 3);
    grid->addWidget(chkExchange, 1, 3);
    grid->addWidget(Combo1, 2, 1);
    grid->addWidget(lblArr1, 2, 2);
    grid->addWidget(Combo2, 2, 3);
    grid->addWidget(Option2[2], 3, 0, 1, 4);
    grid->addWidget(Combo3, 4, 1);
    grid->addWidget(lblArr2, 4, 2);
    grid->addWidget(txtDateTime, 4, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return Frame3;
}

QGroupBox* frmMain::BuildFrame4() {
    Frame4 = NewFrame(this, "Frame4");
    auto* grid = new QGridLayout(Frame4);
    for (int i = 0; i < 3; ++i) {
        Option3[i] = Named(new QRadioButton(Frame4), Indexed("Option3", i));
        grid->addWidget(Option3[i], i, 0);
    }
    Option3[0]->setChecked(true);
    auto* boxes = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        chkAttr[i] = Named(new QCheckBox(Frame4), Indexed("chkAttr", i));
        chkAttr[i]->setEnabled(false);
        boxes->addWidget(chkAttr[i]);
    }
    grid->addLayout(boxes, 0, 1, 3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return Frame4;
}

QGroupBox* frmMain::BuildFrame5() {
    Frame5 = NewFrame(this, "Frame5");
    lblInfo = NewElasticLabel(Frame5, "lblInfo");
    cmdFailures = Named(new QPushButton(Frame5), QStringLiteral("cmdFailures"));
    KeepPlaceWhenHidden(cmdFailures);
    cmdFailures->hide();
    progress_ = Named(new QProgressBar(Frame5), QStringLiteral("progress"));
    progress_->setFormat(QStringLiteral("%v / %m"));
    progress_->setTextVisible(true);
    KeepPlaceWhenHidden(progress_);
    progress_->hide();
    auto* line = new QHBoxLayout;
    line->addWidget(lblInfo, 1);
    line->addWidget(cmdFailures);
    auto* column = new QVBoxLayout(Frame5);
    column->addLayout(line);
    column->addWidget(progress_);
    return Frame5;
}

QGroupBox* frmMain::BuildFrame6() {
    Frame6 = NewFrame(this, "Frame6");
    cmdAbout = NewPictureButton(Frame6, "cmdAbout",
                                style()->standardIcon(QStyle::SP_MessageBoxInformation));
    cmdHelp = NewPictureButton(Frame6, "cmdHelp", ButtonIcon(QStringLiteral("help")));
    cmdSettings = NewPictureButton(Frame6, "cmdSettings", ButtonIcon(QStringLiteral("settings")));
    cmdQuit =
        NewPictureButton(Frame6, "cmdQuit", style()->standardIcon(QStyle::SP_DialogCloseButton));
    cmdExec = Named(new QPushButton(Frame6), QStringLiteral("cmdExec"));
    cmdExec->setEnabled(false);
    cmdCancel = Named(new QPushButton(Frame6), QStringLiteral("cmdCancel"));
    cmdCancel->setEnabled(false);
    cmdCancel->hide();
    cmdUndo = Named(new QPushButton(Frame6), QStringLiteral("cmdUndo"));
    cmdUndo->setEnabled(false);
    // cmdCancel takes cmdExec's place while a run hides cmdExec.
    auto* runCell = new QGridLayout;
    runCell->setContentsMargins(0, 0, 0, 0);
    runCell->addWidget(cmdExec, 0, 0);
    runCell->addWidget(cmdCancel, 0, 0);
    KeepPlaceWhenHidden(cmdExec);
    KeepPlaceWhenHidden(cmdCancel);
    auto* row = new QHBoxLayout(Frame6);
    row->addWidget(cmdAbout);
    row->addWidget(cmdHelp);
    row->addWidget(cmdSettings);
    row->addStretch(2);
    row->addWidget(cmdUndo);
    row->addLayout(runCell, 2);
    row->addStretch(1);
    row->addWidget(cmdQuit);
    return Frame6;
}

} // namespace stampwell::ui
