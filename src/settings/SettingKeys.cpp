#include "settings/SettingKeys.h"

#include <QRegularExpression>
#include <cmath>

#include "platform/Err.h"
#include "settings/Settings.h"

namespace bravel {

namespace keys {
namespace {
// Key names built from a number must outlive the SettingKey that points at them.
const char* internName(const QString& name) {
    static QHash<QString, QByteArray> names;
    auto it = names.find(name);
    if (it == names.end()) it = names.insert(name, name.toLatin1());
    return it->constData();
}
}  // namespace

SettingKey columnWidthKey(int column) {
    return {internName(QStringLiteral("ColumnHeaders%1_Width").arg(column)),
            column <= 2 ? "2000" : "500"};
}

SettingKey recentReadKey(int slot) {
    return {internName(QStringLiteral("Recent%1").arg(slot)), ""};
}

SettingKey recentWriteKey(int slot) {
    return {internName(QStringLiteral("recent%1").arg(slot)), ""};
}
}  // namespace keys

double numericPrefix(const QString& text) {
    // Leading blanks of every kind (a no-break space too) are skipped, as the whole-number
    // readers' trimmed() skips them; the digits themselves are ASCII ones.
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace()) ++start;
    static const QRegularExpression prefix(
        QStringLiteral("^[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?"));
    const QRegularExpressionMatch match = prefix.match(QStringView(text).mid(start));
    return match.hasMatch() ? match.captured(0).toDouble() : 0.0;
}

bool convertInteger(const QString& text, qint64& value) {
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number) || std::fabs(number) > 9.2e18) return false;
    value = static_cast<qint64>(std::nearbyint(number));
    return true;
}

bool convertBool(const QString& text, bool& value) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        value = true;
        return true;
    }
    if (trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) {
        value = false;
        return true;
    }
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (!ok) return false;
    value = number != 0;
    return true;
}

QString readText(const SettingKey& key) {
    return readText(key, QString::fromLatin1(key.defaultValue));
}

QString readText(const SettingKey& key, const QString& defaultValue) {
    return GetSetting(kSettingsApp, kSettingsSection, QString::fromLatin1(key.name), defaultValue);
}

double readNumber(const SettingKey& key) {
    return numericPrefix(readText(key));
}

double readNumber(const SettingKey& key, const QString& defaultValue) {
    return numericPrefix(readText(key, defaultValue));
}

bool readInteger(const SettingKey& key, qint64& value) {
    qint64 converted = 0;
    if (!convertInteger(readText(key), converted)) {
        Err.Raise(errnum::kTypeMismatch);
        return false;
    }
    value = converted;
    return true;
}

bool readInteger(const SettingKey& key, int& value) {
    qint64 wide = 0;
    if (!readInteger(key, wide)) return false;
    if (wide < INT_MIN || wide > INT_MAX) {
        Err.Raise(errnum::kOverflow);
        return false;
    }
    value = static_cast<int>(wide);
    return true;
}

bool readFlagEq1(const SettingKey& key, bool& value) {
    bool ok = false;
    const double number = readText(key).trimmed().toDouble(&ok);
    if (!ok) {
        Err.Raise(errnum::kTypeMismatch);
        return false;
    }
    value = number == 1.0;
    return true;
}

bool readBool(const SettingKey& key, bool& value) {
    bool converted = false;
    if (!convertBool(readText(key), converted)) {
        Err.Raise(errnum::kTypeMismatch);
        return false;
    }
    value = converted;
    return true;
}

bool writeSetting(const SettingKey& key, const QString& value) {
    return SaveSetting(kSettingsApp, kSettingsSection, QString::fromLatin1(key.name), value);
}

bool writeSetting(const SettingKey& key, qint64 value) {
    return writeSetting(key, QString::number(value));
}

bool writeBoolText(const SettingKey& key, bool value) {
    return writeSetting(key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

bool writeCheckBox(const SettingKey& key, bool value) {
    return writeSetting(key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace bravel
