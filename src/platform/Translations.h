#pragma once

#include <QLocale>

namespace bravel {

// Installs Qt's own translations (qtbase: the buttons of message boxes, the file, colour and
// font dialogs) for locale, from Qt's translations folder. False when Qt has none for it, as
// for English, or the translations are not installed; Qt's English texts stay then.
bool installQtTranslations(const QLocale& locale);

}  // namespace bravel
