#include "settings/Settings.h"

#include "platform/Err.h"
#include "platform/SettingsStore.h"

namespace bravel {

QString GetSetting(const QString& application, const QString& section, const QString& key,
                   const QString& defaultValue) {
    return settingsstore::read(application, section, key, defaultValue);
}

bool SaveSetting(const QString& application, const QString& section, const QString& key,
                 const QString& value) {
    const bool written = settingsstore::write(application, section, key, value);
    if (!written) Err.Raise(errnum::kPathFileAccess);
    return written;
}

}  // namespace bravel
