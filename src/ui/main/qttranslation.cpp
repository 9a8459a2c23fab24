#include "ui/main/qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace stampwell::ui {

void UseQtTranslation(const std::string& language) {
    static QTranslator translator;
    QCoreApplication::removeTranslator(&translator);
    const QString code = QString::fromStdString(language.substr(0, 2)).toLower();
    if (translator.load(QStringLiteral("qtbase_") + code,
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&translator);
    }
}

} // namespace stampwell::ui
