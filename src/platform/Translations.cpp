#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace bravel {

bool installQtTranslations(const QLocale& locale) {
    // One translator for the program's life, taken back before a new locale is loaded.
    static QTranslator* translator = nullptr;
    if (translator) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    auto* loaded = new QTranslator;
    if (!loaded->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete loaded;
        return false;
    }
    translator = loaded;
    return QCoreApplication::installTranslator(translator);
}

}  // namespace bravel
