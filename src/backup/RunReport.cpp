#include "backup/RunReport.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>

#include "base/Prog.h"
#include "catalog/COLArchivFiles.h"
#include "catalog/CatalogListModel.h"
#include "errors/COLError.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "platform/Formats.h"

namespace bravel {
namespace {

const QString kLogPrefix = QStringLiteral("sicherung-");
const QString kLogSuffix = QStringLiteral(".log");

QStringList runLogsOldestFirst() {
    QStringList names =
        QDir(runLogFolder()).entryList({kLogPrefix + QLatin1Char('*') + kLogSuffix}, QDir::Files);
    names.sort();  // the names begin with the time of their run
    return names;
}

void removeOldRunLogs() {
    const QStringList names = runLogsOldestFirst();
    for (qsizetype i = 0; i + kKeptRunLogs < names.size(); ++i)
        QFile::remove(runLogFolder() + QLatin1Char('/') + names[i]);
}

QString recordText(const ErrorProperties& record) {
    return QString::number(record.ErrNumber()) + QLatin1Char(' ') + record.ErrDescr() +
           QStringLiteral(" (") + record.ErrModul() + QStringLiteral(": ") + record.ErrEvent() +
           QStringLiteral(", ") + formatGeneralDate(record.ErrDate()) + QLatin1Char(')');
}

}  // namespace

bool isFailedOutcome(EntryOutcome outcome) {
    return outcome == EntryOutcome::SourceMissing || outcome == EntryOutcome::FolderFailed ||
           outcome == EntryOutcome::DriveMissing || outcome == EntryOutcome::CopyFailed;
}

namespace {

QString baseReason(EntryOutcome outcome) {
    switch (outcome) {
        case EntryOutcome::Saved:
            return QString();
        case EntryOutcome::SourceMissing:
            return QStringLiteral("Quelldatei existiert nicht");
        case EntryOutcome::FolderFailed:
            return QStringLiteral("Pfad konnte nicht angelegt werden.");
        case EntryOutcome::DriveMissing:
            return QStringLiteral("Laufwerk nicht verbunden.");
        case EntryOutcome::Unchanged:
            return QString();
        case EntryOutcome::CopyFailed:
            return QStringLiteral("Kopieren fehlgeschlagen.");
        case EntryOutcome::Skipped:
            return QStringLiteral("Sicherung abgebrochen");
        case EntryOutcome::Aborted:
            return QStringLiteral("durch ein Signal abgebrochen");
    }
    return QString();
}

// A stopped copy leaves the backup folder as it was, so what is there now is what was there
// before: an older copy or none.
QString abortedReason(const QString& source, const QString& folder) {
    const QString copy = folder + QLatin1Char('/') + fs::fileNameOf(source);
    return baseReason(EntryOutcome::Aborted) +
           (fs::exists(copy) ? QStringLiteral(", ältere Kopie behalten")
                             : QStringLiteral(", keine Sicherungskopie vorhanden"));
}

}  // namespace

QString runLogFolder() {
    QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    // A relative value is invalid and ignored, as for the other XDG folders.
    if (stateHome.isEmpty() || QDir::isRelativePath(stateHome))
        stateHome = QDir::homePath() + QStringLiteral("/.local/state");
    return stateHome + QStringLiteral("/quillfen/bravel");
}

QString newestRunLog() {
    const QStringList names = runLogsOldestFirst();
    return names.isEmpty() ? QString() : runLogFolder() + QLatin1Char('/') + names.last();
}

QString oneLine(const QString& text) {
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n'))
            line += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            line += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            line += QStringLiteral("\\t");
        else if (fs::isNameByteAt(text, i))  // a byte of a file name that is no text
            line += QStringLiteral("\\x%1").arg(c.unicode() - 0xDC00, 2, 16, QLatin1Char('0'));
        else if (c.category() == QChar::Other_Control)
            line += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            line += c;
    }
    return line;
}

QString RunReport::outcomeText(EntryOutcome outcome) {
    switch (outcome) {
        case EntryOutcome::Saved:
            return QStringLiteral("gesichert");
        case EntryOutcome::Unchanged:
            return QStringLiteral("unverändert");
        case EntryOutcome::Skipped:
            return QStringLiteral("übersprungen");
        case EntryOutcome::Aborted:
            return QStringLiteral("abgebrochen");
        default:
            return QStringLiteral("nicht gesichert");
    }
}

RunReport::RunReport(const QString& title, const QString& catalog, const QString& selection) {
    firstRecord_ = nextRecord_ = gErrorStack.Count() + 1;
    openLog();
    write(title);
    write(QStringLiteral("Beginn: ") + formatGeneralDate(now()));
    write(QStringLiteral("Rechner: ") + oneLine(gHostName));
    write(QStringLiteral("Katalog: ") + oneLine(catalog));
    write(QStringLiteral("Auswahl: ") + oneLine(selection));
}

RunReport::~RunReport() = default;

void RunReport::openLog() {
    const QString folder = runLogFolder();
    if (!QDir().mkpath(folder)) {
        logError_ = QStringLiteral("Ordner kann nicht angelegt werden: ") + folder;
        return;
    }
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    const QString base = folder + QLatin1Char('/') + kLogPrefix + stamp + QLatin1Char('-') +
                         QString::number(::getpid());
    for (int attempt = 1; attempt <= 100 && !log_.isOpen(); ++attempt) {
        log_.setFileName(base +
                         (attempt > 1 ? QLatin1Char('-') + QString::number(attempt) : QString()) +
                         kLogSuffix);
        if (log_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Text)) break;
    }
    if (!log_.isOpen()) {
        logError_ = log_.fileName() + QStringLiteral(": ") + log_.errorString();
        return;
    }
    removeOldRunLogs();
}

void RunReport::write(const QString& line) {
    if (!log_.isOpen()) return;
    log_.write(line.toUtf8() + '\n');
    log_.flush();
}

void RunReport::selected(int count, double bytes) {
    firstRecord_ = nextRecord_ =
        gErrorStack.Count() + 1;  // what opening and filling noted is no part of the run
    write(QStringLiteral("Ausgewählte Einträge: ") + QString::number(count) + QStringLiteral(" (") +
          formatGrouped(bytes) + QStringLiteral(" Byte)"));
    write(QString());
}

QString RunReport::recordsSince(int& next) const {
    QStringList texts;
    for (; next <= gErrorStack.Count(); ++next)
        if (const auto record = gErrorStack.Item(next)) texts << recordText(*record);
    return texts.join(QStringLiteral("; "));
}

void RunReport::describe(const CatalogListModel& model, int row, EntryOutcome outcome) {
    last_ = Entry();
    if (const auto entry = gCatalogFiles.Item(CatalogListModel::indexFromKey(model.row(row).key))) {
        last_.source = entry->acSourceFile();
        last_.folder = entry->acTagetPath();
    } else {
        last_.source = model.cell(row, col::kSource);
        last_.folder = model.cell(row, col::kFolder);
    }
    last_.outcome = outcome;
    QStringList reasons{outcome == EntryOutcome::Aborted ? abortedReason(last_.source, last_.folder)
                                                         : baseReason(outcome)};
    reasons << recordsSince(nextRecord_);
    reasons.removeAll(QString());
    last_.reason = reasons.join(QStringLiteral("; "));
}

const RunReport::Entry& RunReport::entryDone(const CatalogListModel& model, int row,
                                             EntryOutcome outcome) {
    describe(model, row, outcome);
    ++counts_[static_cast<size_t>(outcome)];
    write(outcomeText(outcome) + QStringLiteral(": ") + oneLine(last_.source) +
          QStringLiteral(" -> ") + oneLine(last_.folder) +
          (last_.reason.isEmpty()
               ? QString()
               : QStringLiteral(" (") + oneLine(last_.reason) + QLatin1Char(')')));
    return last_;
}

const RunReport::Entry& RunReport::recordNotWritten(const CatalogListModel& model, int row) {
    describe(model, row, EntryOutcome::Saved);
    ++unwrittenRecords_;
    write(kRecordNotWrittenText + oneLine(last_.source) +
          (last_.reason.isEmpty()
               ? QString()
               : QStringLiteral(" (") + oneLine(last_.reason) + QLatin1Char(')')));
    return last_;
}

void RunReport::note(const QString& text) {
    write(oneLine(text));
}

int RunReport::done() const {
    int sum = 0;
    for (int n : counts_) sum += n;
    return sum;
}

int RunReport::failed() const {
    int sum = 0;
    for (int i = 0; i < static_cast<int>(counts_.size()); ++i)
        if (isFailedOutcome(static_cast<EntryOutcome>(i))) sum += counts_[static_cast<size_t>(i)];
    return sum;
}

QString RunReport::totalsText() const {
    QString text = QString::number(count(EntryOutcome::Saved)) + QStringLiteral(" gesichert, ") +
                   QString::number(failed()) + QStringLiteral(" nicht gesichert");
    if (count(EntryOutcome::Unchanged) > 0)
        text += QStringLiteral(", ") + QString::number(count(EntryOutcome::Unchanged)) +
                QStringLiteral(" unverändert");
    const int stopped = count(EntryOutcome::Skipped) + count(EntryOutcome::Aborted);
    if (stopped > 0)
        text += QStringLiteral(", ") + QString::number(stopped) + QStringLiteral(" abgebrochen");
    if (unwrittenRecords_ > 0)
        text += QStringLiteral(", ") + QString::number(unwrittenRecords_) +
                (unwrittenRecords_ == 1 ? QStringLiteral(" Eintrag nicht gespeichert")
                                        : QStringLiteral(" Einträge nicht gespeichert"));
    return text;
}

void RunReport::finish(int exitCode) {
    write(QString());
    write(QStringLiteral("Fehler des Laufs:"));
    int next = firstRecord_;
    bool any = false;
    for (; next <= gErrorStack.Count(); ++next) {
        if (const auto record = gErrorStack.Item(next)) {
            write(QStringLiteral("  ") + oneLine(recordText(*record)));
            any = true;
        }
    }
    if (!any) write(QStringLiteral("  keine"));
    write(QStringLiteral("Summe: ") + totalsText());
    write(QStringLiteral("Ende: ") + formatGeneralDate(now()));
    write(QStringLiteral("Exitcode: ") + QString::number(exitCode));
    log_.close();
}

}  // namespace bravel
