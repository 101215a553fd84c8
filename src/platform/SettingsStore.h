#pragma once

#include <QString>

namespace bravel {

// The settings component: text values in an INI file
// $XDG_CONFIG_HOME/<application>/bravel.ini (default ~/.config), one group per section.
// Keys are written in lower case and so match in any case.
namespace settingsstore {

QString read(const QString& application, const QString& section, const QString& key,
             const QString& defaultValue);
// True when the value reached the file.
bool write(const QString& application, const QString& section, const QString& key,
           const QString& value);
QString filePath(const QString& application);
// Drops the cached file, so that the next access reads it anew (tests change XDG_CONFIG_HOME).
void reset();

}  // namespace settingsstore
}  // namespace bravel
