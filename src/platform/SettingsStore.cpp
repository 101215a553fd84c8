#include "platform/SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <map>
#include <memory>

namespace bravel::settingsstore {
namespace {

std::map<QString, std::unique_ptr<QSettings>>& openFiles() {
    static std::map<QString, std::unique_ptr<QSettings>> files;
    return files;
}

QSettings& fileFor(const QString& application) {
    auto& files = openFiles();
    auto it = files.find(application);
    if (it == files.end()) {
        it = files
                 .emplace(application,
                          std::make_unique<QSettings>(filePath(application), QSettings::IniFormat))
                 .first;
    }
    return *it->second;
}

QString storedKey(const QString& section, const QString& key) {
    return section.toLower() + QLatin1Char('/') + key.toLower();
}

}  // namespace

QString filePath(const QString& application) {
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty()) configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QLatin1Char('/') + application.toLower() + QStringLiteral("/bravel.ini");
}

namespace {

// The program writes keys in lower case; a key written by hand in another case is found too.
QVariant valueInAnyCase(QSettings& file, const QString& section, const QString& key) {
    const QVariant value = file.value(storedKey(section, key));
    if (value.isValid()) return value;
    for (const QString& stored : file.allKeys())
        if (stored.compare(section + QLatin1Char('/') + key, Qt::CaseInsensitive) == 0)
            return file.value(stored);
    return {};
}

}  // namespace

QString read(const QString& application, const QString& section, const QString& key,
             const QString& defaultValue) {
    QSettings& file = fileFor(application);
    const QVariant value = valueInAnyCase(file, section, key);
    if (!value.isValid()) return defaultValue;
    // A value that QSettings split at commas comes back as a list; it was one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

bool write(const QString& application, const QString& section, const QString& key,
           const QString& value) {
    QSettings& file = fileFor(application);
    QDir().mkpath(QFileInfo(file.fileName()).path());
    file.setValue(storedKey(section, key), value);
    file.sync();
    if (file.status() == QSettings::FormatError) {
        // The file had lines QSettings could not parse when it was read. That error sticks to
        // the object and says nothing about this write, which has rewritten the file in clean
        // form; a fresh object reads that file and reports its own writes again.
        const bool writable = QFileInfo(file.fileName()).isWritable();
        openFiles().erase(application);
        return writable;
    }
    return file.status() == QSettings::NoError;
}

void reset() {
    openFiles().clear();
}

}  // namespace bravel::settingsstore
