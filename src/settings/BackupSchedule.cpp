#include "settings/BackupSchedule.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include "platform/Err.h"
#include "platform/FileSystem.h"
#include "platform/HostTools.h"
#include "settings/DesktopIntegration.h"

namespace bravel::schedule {
namespace {

const char* const kCalendarDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
const char* const kGermanDays[] = {"montag",  "dienstag", "mittwoch", "donnerstag",
                                   "freitag", "samstag",  "sonntag"};
const char* const kEnglishDays[] = {"monday", "tuesday",  "wednesday", "thursday",
                                    "friday", "saturday", "sunday"};

// The match text is kept in the service for the schedule dialog to read back; percent-encoded,
// since a unit file's value is one line.
const QString kMatchKey = QStringLiteral("X-Bravel-Match=");

constexpr QFileDevice::Permissions kUnitPermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
    QFileDevice::ReadOther;

QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString valueOf(const QString& text, const QString& keyWithEquals) {
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(keyWithEquals)) return line.mid(keyWithEquals.size()).trimmed();
    }
    return {};
}

bool systemctl(const QStringList& arguments) {
    return host::runTool(QStringLiteral("systemctl"),
                         QStringList{QStringLiteral("--user")} + arguments) == 0;
}

bool removeIfThere(const QString& path) {
    if (!QFileInfo::exists(path) || QFile::remove(path)) return true;
    Err.Raise(errnum::kPermissionDenied);
    return false;
}

Outcome switchOff(const QString& catalogPath) {
    const QString timer = unitBaseName(catalogPath) + QStringLiteral(".timer");
    systemctl({QStringLiteral("disable"), QStringLiteral("--now"), timer});
    const bool removed =
        removeIfThere(timerPath(catalogPath)) && removeIfThere(servicePath(catalogPath));
    systemctl({QStringLiteral("daemon-reload")});
    return removed ? Outcome::Removed : Outcome::Failed;
}

// Letters, digits and "_" as they are, each run of anything else as one "_". By hand: a regular
// expression does not match in a text that holds a file name's raw bytes (lone surrogates).
QString asciiWord(const QString& text) {
    QString word;
    bool inRun = false;
    for (const QChar c : text) {
        const bool kept = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
                          (c >= u'0' && c <= u'9') || c == u'_';
        if (kept)
            word += c;
        else if (!inRun)
            word += QLatin1Char('_');
        inRun = !kept;
    }
    return word;
}

}  // namespace

QString userUnitFolder() {
    return desktop::configHome() + QStringLiteral("/systemd/user");
}

QString unitBaseName(const QString& catalogPath) {
    const QString absolute = fs::absolutePath(catalogPath);
    QString readable = fs::fileNameOf(absolute);
    const qsizetype extension = readable.lastIndexOf(QLatin1Char('.'));
    if (extension >= 0) readable.truncate(extension);
    readable = asciiWord(readable);
    readable = readable.left(40);
    const QByteArray hash =
        QCryptographicHash::hash(fs::encodeName(absolute), QCryptographicHash::Sha256);
    return QStringLiteral("bravel-") + readable + QLatin1Char('-') +
           QString::fromLatin1(hash.toHex().left(10));
}

QString timerPath(const QString& catalogPath) {
    return userUnitFolder() + QLatin1Char('/') + unitBaseName(catalogPath) +
           QStringLiteral(".timer");
}

QString servicePath(const QString& catalogPath) {
    return userUnitFolder() + QLatin1Char('/') + unitBaseName(catalogPath) +
           QStringLiteral(".service");
}

QString calendarText(const Schedule& schedule) {
    const QString time = schedule.time.toString(QStringLiteral("HH:mm:00"));
    if (schedule.frequency != Frequency::Weekly) return QStringLiteral("*-*-* ") + time;
    const int day = qBound(1, schedule.weekday, 7);
    return QString::fromLatin1(kCalendarDays[day - 1]) + QStringLiteral(" *-*-* ") + time;
}

QString quoteUnitArgument(const QString& argument) {
    QString quoted = QStringLiteral("\"");
    for (qsizetype i = 0; i < argument.size(); ++i) {
        const QChar c = argument[i];
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            quoted += QLatin1Char('\\') + QString(c);
        else if (c == QLatin1Char('%'))
            quoted += QStringLiteral("%%");
        else if (c == QLatin1Char('$'))
            quoted += QStringLiteral("$$");
        else if (c == QLatin1Char('\n'))
            quoted += QStringLiteral("\\n");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            quoted += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else if (fs::isNameByteAt(
                     argument,
                     i))  // a unit file is UTF-8; systemd turns the escape back into the byte
            quoted += QStringLiteral("\\x%1").arg(c.unicode() - 0xDC00, 2, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + QLatin1Char('"');
}

QString serviceText(const QString& catalogPath, const QString& programPath,
                    const Schedule& schedule) {
    const QString catalog = fs::absolutePath(catalogPath);
    // systemd expands "$$" in the arguments only, not in the program's own path.
    QString program = quoteUnitArgument(programPath);
    program.replace(QStringLiteral("$$"), QStringLiteral("$"));
    QStringList command{program, QStringLiteral("--run"), quoteUnitArgument(catalog)};
    if (!schedule.matchText.isEmpty())
        command << QStringLiteral("--match") << quoteUnitArgument(schedule.matchText);
    QString description = QStringLiteral("Bravel-Sicherung von ") + catalog;
    description.replace(QLatin1Char('%'), QStringLiteral("%%"))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("[Unit]\nDescription=") + description + QLatin1Char('\n') + kMatchKey +
           QString::fromLatin1(QUrl::toPercentEncoding(schedule.matchText)) +
           QStringLiteral("\n\n[Service]\nType=oneshot\nExecStart=") +
           command.join(QLatin1Char(' ')) + QLatin1Char('\n');
}

QString timerText(const QString& catalogPath, const Schedule& schedule) {
    QString description =
        QStringLiteral("Zeitplan der Bravel-Sicherung von ") + fs::absolutePath(catalogPath);
    description.replace(QLatin1Char('%'), QStringLiteral("%%"))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringLiteral("[Unit]\nDescription=") + description +
           QStringLiteral("\n\n[Timer]\nOnCalendar=") + calendarText(schedule) +
           QStringLiteral("\nPersistent=true\nUnit=") + unitBaseName(catalogPath) +
           QStringLiteral(".service\n\n[Install]\nWantedBy=timers.target\n");
}

Schedule readSchedule(const QString& catalogPath) {
    Schedule schedule;
    const QString calendar =
        valueOf(readText(timerPath(catalogPath)), QStringLiteral("OnCalendar="));
    const QStringList words = calendar.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() < 2) return schedule;
    schedule.time = QTime::fromString(words.last(), QStringLiteral("HH:mm:ss"));
    if (!schedule.time.isValid()) return Schedule{};
    schedule.frequency = words.size() == 3 ? Frequency::Weekly : Frequency::Daily;
    if (schedule.frequency == Frequency::Weekly) schedule.weekday = weekdayFromText(words.first());
    if (schedule.weekday == 0) return Schedule{};
    const QString match = valueOf(readText(servicePath(catalogPath)), kMatchKey);
    schedule.matchText = QUrl::fromPercentEncoding(match.toLatin1());
    return schedule;
}

Outcome applySchedule(const QString& catalogPath, const QString& programPath,
                      const Schedule& schedule) {
    Err.Clear();
    if (schedule.frequency == Frequency::Off) return switchOff(catalogPath);
    if (!host::writeTextFile(servicePath(catalogPath),
                             serviceText(catalogPath, programPath, schedule), kUnitPermissions) ||
        !host::writeTextFile(timerPath(catalogPath), timerText(catalogPath, schedule),
                             kUnitPermissions))
        return Outcome::Failed;
    const QString timer = unitBaseName(catalogPath) + QStringLiteral(".timer");
    // A changed time needs the manager to read the files again; "restart" takes it at once.
    const bool enabled = systemctl({QStringLiteral("daemon-reload")}) &&
                         systemctl({QStringLiteral("enable"), timer}) &&
                         systemctl({QStringLiteral("restart"), timer});
    return enabled ? Outcome::Enabled : Outcome::WrittenNotEnabled;
}

int weekdayFromText(const QString& text) {
    const QString word = text.trimmed().toLower();
    if (word.isEmpty()) return 0;
    bool isNumber = false;
    const int number = word.toInt(&isNumber);
    if (isNumber) return number >= 1 && number <= 7 ? number : 0;
    for (int day = 1; day <= 7; ++day) {
        const QString german = QString::fromLatin1(kGermanDays[day - 1]);
        const QString english = QString::fromLatin1(kEnglishDays[day - 1]);
        if (word == german || word == english || word == german.left(2) || word == english.left(3))
            return day;
    }
    return 0;
}

QTime timeFromText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^([01]?\\d|2[0-3]):([0-5]\\d)$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch()) return {};
    return QTime(match.captured(1).toInt(), match.captured(2).toInt());
}

QString describe(const Schedule& schedule) {
    static const char* const names[] = {"Montag",  "Dienstag", "Mittwoch", "Donnerstag",
                                        "Freitag", "Samstag",  "Sonntag"};
    const QString time = schedule.time.toString(QStringLiteral("HH:mm")) + QStringLiteral(" Uhr");
    switch (schedule.frequency) {
        case Frequency::Off:
            return QStringLiteral("keine zeitgesteuerte Sicherung");
        case Frequency::Daily:
            return QStringLiteral("täglich um ") + time;
        case Frequency::Weekly:
            return QStringLiteral("jeden ") +
                   QString::fromLatin1(names[qBound(1, schedule.weekday, 7) - 1]) +
                   QStringLiteral(" um ") + time;
    }
    return {};
}

QString outcomeMessage(Outcome outcome, const Schedule& schedule) {
    switch (outcome) {
        case Outcome::Enabled:
            return QStringLiteral("Zeitplan eingerichtet: ") + describe(schedule) +
                   QLatin1Char('.');
        case Outcome::WrittenNotEnabled:
            return QStringLiteral("Der Zeitplan (") + describe(schedule) +
                   QStringLiteral(
                       ") ist gespeichert, aber der Zeitgeber konnte nicht eingeschaltet werden: "
                       "für diesen Benutzer läuft kein systemd.");
        case Outcome::Removed:
            return QStringLiteral("Zeitplan ausgeschaltet.");
        case Outcome::Failed:
            return QStringLiteral("Der Zeitplan konnte nicht gespeichert werden: ") +
                   Err.Description;
    }
    return {};
}

bool parseArguments(const QStringList& arguments, QString& catalogPath, Schedule& schedule,
                    QString& problem) {
    schedule = Schedule{};
    bool frequencyGiven = false;
    const auto fail = [&problem](const QString& why) {
        problem = why;
        return false;
    };
    if (arguments.isEmpty() || arguments.first().startsWith(QStringLiteral("--")))
        return fail(QStringLiteral("Katalog fehlt."));
    catalogPath = arguments.first();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        const auto value = [&](int offset) {
            return i + offset < arguments.size() ? arguments[i + offset] : QString();
        };
        if (option == QLatin1String("--off") || option == QLatin1String("--daily") ||
            option == QLatin1String("--weekly")) {
            if (frequencyGiven)
                return fail(QStringLiteral("Nur eine Angabe von --daily, --weekly oder --off."));
            frequencyGiven = true;
        }
        if (option == QLatin1String("--off")) {
            schedule.frequency = Frequency::Off;
        } else if (option == QLatin1String("--daily")) {
            schedule.frequency = Frequency::Daily;
            schedule.time = timeFromText(value(1));
            if (!schedule.time.isValid())
                return fail(QStringLiteral("Uhrzeit als HH:MM erwartet: ") + value(1));
            ++i;
        } else if (option == QLatin1String("--weekly")) {
            schedule.frequency = Frequency::Weekly;
            schedule.weekday = weekdayFromText(value(1));
            if (schedule.weekday == 0)
                return fail(QStringLiteral("Unbekannter Wochentag: ") + value(1));
            schedule.time = timeFromText(value(2));
            if (!schedule.time.isValid())
                return fail(QStringLiteral("Uhrzeit als HH:MM erwartet: ") + value(2));
            i += 2;
        } else if (option == QLatin1String("--match")) {
            if (i + 1 >= arguments.size())
                return fail(QStringLiteral("Suchtext fehlt nach --match."));
            schedule.matchText = value(1);
            ++i;
        } else {
            return fail(QStringLiteral("Unbekannte Angabe: ") + option);
        }
    }
    if (!frequencyGiven) return fail(QStringLiteral("--daily, --weekly oder --off fehlt."));
    return true;
}

}  // namespace bravel::schedule
