#include "ui/dialogs/dlgAbout.h"

#include "app/constants.h"
#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/startup.h"
#include "support/modFSO.h"
#include "ui/dialogs/modCenterForm.h"
#include "ui/main/modLinks.h"
#include "ui/main/qtext.h"

#include <QDate>
#include <QGridLayout>
#include <QImage>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <array>
#include <charconv>
#include <functional>

namespace stampwell::ui {

namespace {

QPointer<dlgAbout>& Instance() {
    static QPointer<dlgAbout> instance;
    return instance;
}

QLabel* NewLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

// A label that opens an address when clicked.
QLabel* NewLinkLabel(QWidget* parent, const char* name, const QString& text,
                     std::function<QString()> address) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped()));
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    label->setCursor(Qt::PointingHandCursor);
    QObject::connect(label, &QLabel::linkActivated, label,
                     [address = std::move(address)] { OpenLink(address()); });
    return label;
}

// The numbers of a version text, missing ones as 0.
std::array<int, 3> VersionNumbers(std::string_view version) {
    std::array<int, 3> numbers{};
    for (int& number : numbers) {
        const std::size_t dot = version.find('.');
        const std::string_view part = version.substr(0, dot);
        std::from_chars(part.data(), part.data() + part.size(), number);
        version = dot == std::string_view::npos ? std::string_view() : version.substr(dot + 1);
    }
    return numbers;
}

} // namespace

dlgAbout::dlgAbout(QWidget* owner)
    : QDialog(owner), Image1(NewLabel(this, "Image1")), lblVersion(NewLabel(this, "lblVersion")),
      lblInfo(NewLabel(this, "lblInfo")), lblFreeware(NewLabel(this, "lblFreeware")),
      lblWeb(NewLabel(this, "lblWeb")),
      lblWeburl(NewLinkLabel(this, "lblWeburl", WebAddress(), [] { return HelpPageAddress(); })),
      lblSupp(NewLabel(this, "lblSupp")),
      lblSupport(NewLinkLabel(this, "lblSupport", SupportMailAddress(),
                              [] { return SupportMailLink(QDate::currentDate()); })),
      cmdQuit(new QPushButton(this)) {
    setObjectName(QStringLiteral("dlgAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Stampwell"));
    cmdQuit->setObjectName(QStringLiteral("cmdQuit"));
    cmdQuit->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    connect(cmdQuit, &QPushButton::clicked, this, &QDialog::close);

    Image1->setAlignment(Qt::AlignCenter);
    lblVersion->setAlignment(Qt::AlignCenter);
    for (QLabel* note : {lblInfo, lblFreeware}) {
        note->setWordWrap(true);
    }
    auto* links = new QGridLayout;
    links->addWidget(lblWeb, 0, 0);
    links->addWidget(lblWeburl, 0, 1);
    links->addWidget(lblSupp, 1, 0);
    links->addWidget(lblSupport, 1, 1);
    links->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Image1);
    layout->addWidget(lblVersion);
    layout->addWidget(lblInfo);
    layout->addWidget(lblFreeware);
    layout->addLayout(links);
    layout->addWidget(cmdQuit, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Load.
    setWindowTitle(QStringLiteral("Stampwell"));
    lblVersion->setText(VersionLabel(app::kVersion));
    LoadLanguage();
    LoadBanner();
}

QString dlgAbout::VersionLabel(std::string_view version) {
    const std::array<int, 3> numbers = VersionNumbers(version);
    return QStringLiteral("Version %1.%2.%3")
        .arg(numbers[0])
        .arg(numbers[1], 2, 10, QLatin1Char('0'))
        .arg(numbers[2], 3, 10, QLatin1Char('0'));
}

void dlgAbout::LoadLanguage() {
    app::GlobalState& global = app::Global();
    global.LanguageFilePath = app::LanguageFileFor(global.CurrentLanguage);
    const auto text = [](int index) {
        return FromStd(app::ReadLang("SWdlgAbout", "t" + std::to_string(index), ""));
    };
    lblWeb->setText(text(0));
    lblSupp->setText(text(1));
    lblFreeware->setText(text(2));
    lblInfo->setText(text(3));
    cmdQuit->setText(text(4));
    cmdQuit->setToolTip(WithoutMnemonic(text(4)));
}

QString dlgAbout::BannerFile() {
    return FromStd(support::BuildPath(support::BuildPath(app::Global().ProgramFolder, "bin"),
                                      "Stampwell.bmp"));
}

void dlgAbout::LoadBanner() {
    QPixmap banner = BuiltInBanner();
    if (support::FileExists(ToStd(BannerFile()))) {
        const QImage file(BannerFile(), "BMP");
        if (!file.isNull()) {
            banner = QPixmap::fromImage(file);
        }
    }
    Image1->setPixmap(banner);
}

QPixmap dlgAbout::BuiltInBanner() {
    constexpr int kWidth = 400;
    constexpr int kHeight = 90;
    QPixmap banner(kWidth, kHeight);
    QPainter painter(&banner);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, kWidth, kHeight);
    sky.setColorAt(0, QColor(0x1d, 0x3a, 0x5f));
    sky.setColorAt(1, QColor(0x2e, 0x8b, 0x8b));
    painter.fillRect(banner.rect(), sky);

    // A round stamp with a clock face: the program stamps times.
    const QPointF centre(kHeight / 2.0, kHeight / 2.0);
    painter.setPen(QPen(QColor(0xf4, 0xd0, 0x3f), 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 32, 32);
    painter.setPen(QPen(QColor(0xf4, 0xd0, 0x3f), 2, Qt::DotLine));
    painter.drawEllipse(centre, 25, 25);
    painter.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre, centre + QPointF(0, -18));
    painter.drawLine(centre, centre + QPointF(13, 6));

    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPixelSize(34);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRectF(kHeight, 8, kWidth - kHeight - 10, 48),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Stampwell"));
    QFont subtitle = painter.font();
    subtitle.setPixelSize(13);
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.setPen(QColor(0xdd, 0xe8, 0xf0));
    painter.drawText(QRectF(kHeight + 2, 56, kWidth - kHeight - 10, 22),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Quillbox · file times and attributes"));
    painter.end();
    return banner;
}

void dlgAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        CenterForm(*this, parentWidget());
    }
}

dlgAbout& ShowAboutBox(QWidget* owner) {
    dlgAbout* box = OpenAboutBox();
    if (box == nullptr) {
        box = new dlgAbout(owner);
        Instance() = box;
    }
    box->show();
    box->raise();
    box->activateWindow();
    return *box;
}

dlgAbout* OpenAboutBox() {
    dlgAbout* box = Instance().data();
    return box != nullptr && box->isVisible() ? box : nullptr;
}

} // namespace stampwell::ui
