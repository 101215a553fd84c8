#pragma once

#include <QString>

namespace bravel {

// The program's one application and section in the settings store.
inline const QString kSettingsApp = QStringLiteral("quillfen");
inline const QString kSettingsSection = QStringLiteral("bravel");

// The store's two operations. A failed call sets the pending error.
QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue);
bool SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value);

}  // namespace bravel
