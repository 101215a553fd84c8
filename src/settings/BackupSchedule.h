#pragma once

#include <QString>
#include <QStringList>
#include <QTime>

namespace bravel {

// A catalog's timed backup, kept as a systemd user timer and service pair under
// $XDG_CONFIG_HOME/systemd/user: the service runs "bravel --run CATALOG [--match TEXT]" and the
// timer starts it daily or weekly; a run missed while the computer was off follows at the next
// start (Persistent=true). The unit files are the only place the schedule is kept.
namespace schedule {

enum class Frequency { Off, Daily, Weekly };

struct Schedule {
    Frequency frequency = Frequency::Off;
    int weekday = 1;  // 1 Monday to 7 Sunday, as Qt::DayOfWeek
    QTime time{2, 0};
    QString matchText;  // empty: every entry
};

// What applying a schedule achieved.
enum class Outcome {
    Enabled,            // files written and the timer started
    WrittenNotEnabled,  // files written, but the user's systemd did not take the timer
    Removed,            // switched off: timer stopped where possible, files removed
    Failed              // a file could not be written or removed (the pending error says why)
};

QString userUnitFolder();
// "bravel-" with the catalog's name in safe letters and a short hash of its whole path, so that
// two catalogs never share a unit and the name stays readable in "systemctl --user list-timers".
QString unitBaseName(const QString& catalogPath);
QString timerPath(const QString& catalogPath);
QString servicePath(const QString& catalogPath);

// "*-*-* 02:30:00" or "Mon *-*-* 02:30:00".
QString calendarText(const Schedule& schedule);
// One argument of a unit file's command line: quoted, with systemd's specifier and variable
// characters doubled and control characters escaped.
QString quoteUnitArgument(const QString& argument);
QString serviceText(const QString& catalogPath, const QString& programPath,
                    const Schedule& schedule);
QString timerText(const QString& catalogPath, const Schedule& schedule);

// The schedule the unit files of this catalog hold; Off when there are none.
Schedule readSchedule(const QString& catalogPath);
Outcome applySchedule(const QString& catalogPath, const QString& programPath,
                      const Schedule& schedule);

// "Mo", "Montag", "mon", "monday" or "1" for Monday; 0 when the text is no weekday.
int weekdayFromText(const QString& text);
// "02:30" as a time; invalid when the text is no HH:MM.
QTime timeFromText(const QString& text);
// The German sentence a person reads about a schedule, e.g. "täglich um 02:30 Uhr".
QString describe(const Schedule& schedule);
// What the person is told after applying: the schedule, or why the timer is not running.
QString outcomeMessage(Outcome outcome, const Schedule& schedule);

// The options after "--schedule": "KATALOG (--daily HH:MM | --weekly DAY HH:MM | --off)
// [--match TEXT]" in any order after the catalog. False with a German reason when they are wrong.
bool parseArguments(const QStringList& arguments, QString& catalogPath, Schedule& schedule,
                    QString& problem);

}  // namespace schedule
}  // namespace bravel
