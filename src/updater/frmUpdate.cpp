#include "updater/frmUpdate.h"

#include "updater/modRegistry.h"
#include "updater/update_texts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>

namespace stampupdate {

frmUpdate::frmUpdate(UpdateQuestion& question, AddressOpener& opener, QString commandLine)
    : question_(question), opener_(opener), commandLine_(std::move(commandLine)) {
    setWindowTitle(QStringLiteral("SWP Update"));
    resize(150, 50); // 2250 x 750 twips
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString& file : icons.entryList({QStringLiteral("stampwell-*.png")})) {
        icon.addFile(icons.filePath(file));
    }
    setWindowIcon(icon);
    timer1_.setInterval(3000);
    timer1_.setSingleShot(true);
    timer1_.setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5 % early
    connect(&timer1_, &QTimer::timeout, this, &QWidget::close);
}

void frmUpdate::Load() {
    const auto read = [](const char* name) {
        return QString::fromStdString(ReadRegistryText(RootKey::CurrentUser, kRecordKey, name))
            .toStdU16String();
    };
    const InstalledRelease release = NormaliseRecord(read("Version"), read("Language"));
    // The box's buttons in the language of the question.
    if (translator_.load(QStringLiteral("qtbase_") +
                             QString::fromStdU16String(release.language).toLower(),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&translator_);
    }
    // The window itself is never shown: the question stands alone, in the
    // middle of the screen.
    if (question_.AskYesNo(QString::fromStdU16String(QuestionTitle()),
                           QString::fromStdU16String(QuestionText(MessageLines(release.language))),
                           nullptr)) {
        opener_.Open(
            QString::fromStdU16String(TargetAddress(release, commandLine_.toStdU16String())));
    }
    hide();
    timer1_.start();
}

void frmUpdate::closeEvent(QCloseEvent* event) {
    timer1_.stop();
    event->accept();
    emit Unloaded();
}

QString CommandLineText(const QStringList& arguments) {
    return arguments.mid(1).join(u' ');
}

} // namespace stampupdate
