#include "app/CommandLine.h"

#include <QFile>
#include <QFileInfo>

#include "base/AppValues.h"
#include "platform/FileSystem.h"
#include "settings/SettingKeys.h"

namespace bravel {

CommandLine gStartCommand;

namespace {

const QLatin1String kOpenMarker("/open/");
const QLatin1String kOptionsEnd("--");

// The options as written, before they are checked against each other.
struct Options {
    bool help = false;
    bool version = false;
    std::optional<QString> run;
    std::optional<QString> match;
    bool attributes = false;
    bool quiet = false;
    bool changed = false;
    bool verify = false;
    std::optional<int> versions;
    QStringList paths;  // every argument that is no option
    QString error;
};

// Takes the value of an option that needs one: "--name=VALUE" or the next argument, whatever it
// begins with (a catalog may be called "--x.bvk").
std::optional<QString> takeValue(const QString& argument, const QString& name,
                                 const QStringList& arguments, int& i) {
    if (argument.size() > name.size()) return argument.mid(name.size() + 1);
    if (i + 1 >= arguments.size()) return std::nullopt;
    return arguments[++i];
}

// The count after --versions: a whole number from 0 (keep none) to the most a file may keep.
std::optional<int> versionCount(const std::optional<QString>& value) {
    if (!value) return std::nullopt;
    bool isNumber = false;
    const int count = value->toInt(&isNumber);
    if (!isNumber || count < 0 || count > keys::kMostVersionsKept) return std::nullopt;
    return count;
}

// Whether argument is the option name, alone or with "=VALUE".
bool isOption(const QString& argument, const QString& name, bool takesValue) {
    if (argument == name) return true;
    return takesValue && argument.startsWith(name + QLatin1Char('='));
}

Options readOptions(const QStringList& arguments) {
    Options options;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size() && options.error.isEmpty(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(kOptionsEnd)) {
            options.paths << argument;
        } else if (argument == kOptionsEnd) {
            optionsEnded = true;
        } else if (argument == QLatin1String("--help")) {
            options.help = true;
        } else if (argument == QLatin1String("--version")) {
            options.version = true;
        } else if (argument == QLatin1String("--attributes")) {
            options.attributes = true;
        } else if (argument == QLatin1String("--quiet")) {
            options.quiet = true;
        } else if (argument == QLatin1String("--changed")) {
            options.changed = true;
        } else if (argument == QLatin1String("--verify")) {
            options.verify = true;
        } else if (isOption(argument, QStringLiteral("--versions"), true)) {
            options.versions =
                versionCount(takeValue(argument, QStringLiteral("--versions"), arguments, i));
            if (!options.versions)
                options.error = QStringLiteral("Zu --versions gehört eine Anzahl von 0 bis ") +
                                QString::number(keys::kMostVersionsKept) + QLatin1Char('.');
        } else if (isOption(argument, QStringLiteral("--run"), true)) {
            options.run = takeValue(argument, QStringLiteral("--run"), arguments, i);
            if (!options.run) options.error = QStringLiteral("Zu --run fehlt der Katalog.");
        } else if (isOption(argument, QStringLiteral("--match"), true)) {
            options.match = takeValue(argument, QStringLiteral("--match"), arguments, i);
            if (!options.match) options.error = QStringLiteral("Zu --match fehlt der Suchtext.");
        } else {
            options.error = QStringLiteral("Unbekannte Option: ") + argument;
        }
    }
    return options;
}

// What the options of a run without a window mean together; an empty error when they fit.
QString runOptionsError(const Options& options) {
    if (!options.run) {
        if (options.match) return QStringLiteral("--match gilt nur zusammen mit --run.");
        if (options.attributes) return QStringLiteral("--attributes gilt nur zusammen mit --run.");
        if (options.quiet) return QStringLiteral("--quiet gilt nur zusammen mit --run.");
        if (options.changed) return QStringLiteral("--changed gilt nur zusammen mit --run.");
        if (options.verify) return QStringLiteral("--verify gilt nur zusammen mit --run.");
        if (options.versions) return QStringLiteral("--versions gilt nur zusammen mit --run.");
        return QString();
    }
    if (options.run->isEmpty()) return QStringLiteral("Zu --run fehlt der Katalog.");
    if (!options.paths.isEmpty())
        return QStringLiteral("Zu --run gehört genau ein Katalog; überzählig: ") +
               options.paths.join(QLatin1Char(' '));
    return QString();
}

// Open or Add: the command line of the file type's entry and of the context entry.
void interpretPaths(const QStringList& paths, CommandLine& result) {
    if (commandLineFromArguments(paths).isEmpty()) return;  // Plain
    if (paths.size() >= 2 && paths.last() == kOpenMarker) {
        // The file type's entry passes the catalog and the marker; a path is used as given, only
        // the blank that joins it to the marker is not part of it.
        result.mode = CommandLineMode::Open;
        result.catalog = paths.mid(0, paths.size() - 1).join(QLatin1Char(' '));
        return;
    }
    if (paths.size() == 1 && paths.first() == kOpenMarker) {
        result.mode =
            CommandLineMode::Open;  // a marker without a catalog: opening fails and says so
        return;
    }
    result.mode = CommandLineMode::Add;
    for (const QString& path : paths) result.files << fs::absolutePath(path);
}

}  // namespace

QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << fs::decodeName(argv[i]);
    return arguments;
}

CommandLine interpretCommandLine(const QStringList& arguments) {
    CommandLine result;
    result.text = commandLineFromArguments(arguments);
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("--schedule")) {
        const bool valid = schedule::parseArguments(arguments.mid(1), result.catalog,
                                                    result.schedule, result.error);
        result.mode = valid ? CommandLineMode::Schedule : CommandLineMode::Invalid;
        if (valid) result.catalog = fs::absolutePath(result.catalog);
        return result;
    }
    const Options options = readOptions(arguments);
    result.error = options.error.isEmpty() ? runOptionsError(options) : options.error;
    if (!result.error.isEmpty()) {
        result.mode = CommandLineMode::Invalid;
    } else if (options.help) {
        result.mode = CommandLineMode::Help;
    } else if (options.version) {
        result.mode = CommandLineMode::Version;
    } else if (options.run) {
        result.mode = CommandLineMode::Run;
        result.run = {*options.run,    options.match,  options.attributes, options.quiet,
                      options.changed, options.verify, options.versions};
    } else {
        interpretPaths(options.paths, result);
    }
    return result;
}

bool startsWindow(const CommandLine& line) {
    return line.mode == CommandLineMode::Plain || line.mode == CommandLineMode::Open ||
           line.mode == CommandLineMode::Add;
}

void setStartCommand(const QStringList& arguments) {
    gStartCommand = interpretCommandLine(arguments);
    gCommandLine = gStartCommand.text;
}

QString versionLine() {
    fillIdentityValues();
    return gProductName + QLatin1Char(' ') + gVersion;
}

QString helpText(const QString& programName) {
    return QStringLiteral(
               "Aufruf:\n"
               "  %1                      Programm starten (öffnet den Autostart-Katalog, wenn im\n"
               "                              Setup eingestellt)\n"
               "  %1 KATALOG /open/       den Katalog KATALOG öffnen (so ruft der Dateityp auf)\n"
               "  %1 DATEI...             die Dateien in den Autostart-Katalog aufnehmen, mit dem\n"
               "                              Standard-Sicherungsverzeichnis aus dem Setup; "
               "danach\n"
               "                              endet das Programm\n"
               "  %1 --run KATALOG [--match TEXT] [--attributes] [--quiet] [--changed]\n"
               "      [--verify] [--versions N]\n"
               "                              Sicherung ohne Fenster und ohne Bildschirm\n"
               "  %1 --schedule KATALOG (--daily HH:MM | --weekly TAG HH:MM | --off)\n"
               "      [--match TEXT]          zeitgesteuerte Sicherung einrichten oder "
               "ausschalten\n"
               "  %1 --help | --version\n"
               "\n"
               "Sicherung ohne Fenster:\n"
               "  --run KATALOG     öffnet den Katalog wie das Fenster und sichert alle Einträge\n"
               "  --match TEXT      sichert nur die Einträge, die die Suche der Liste für TEXT\n"
               "                    markiert (mehrere Begriffe mit \"|\" getrennt)\n"
               "  --attributes      überträgt die Attribute wie \"Sicherung starten [Original\n"
               "                    Attribute]\"\n"
               "  --quiet           gibt nur die nicht gesicherten Einträge aus\n"
               "  --changed         nur geänderte Dateien sichern (Größe oder Datum anders)\n"
               "  --verify          jede Kopie vom Datenträger zurücklesen und vergleichen\n"
               "  --versions N      ältere Kopien behalten, je Datei höchstens N (0: keine)\n"
               "  Die Vorgang-Einstellungen des Setups gelten ebenfalls.\n"
               "  Im Terminal zeigt eine Zeile den Fortschritt, sonst steht je Eintrag eine Zeile\n"
               "  mit seinem Ergebnis da. SIGINT und SIGTERM brechen die Sicherung sauber ab.\n"
               "\n"
               "Zeitplan (ein systemd-Timer des Benutzers je Katalog):\n"
               "  --daily HH:MM     täglich zu dieser Uhrzeit\n"
               "  --weekly TAG HH:MM  wöchentlich, TAG z. B. Mo, Dienstag oder 3\n"
               "  --off             Zeitplan ausschalten\n"
               "  --match TEXT      nur die Einträge sichern, die die Suche für TEXT markiert\n"
               "  Eine verpasste Sicherung wird beim nächsten Start des Computers nachgeholt.\n"
               "\n"
               "Weitere Optionen:\n"
               "  --help            diese Hilfe\n"
               "  --version         die Version\n"
               "  --                alles danach sind Dateipfade, auch wenn sie mit \"--\" "
               "beginnen\n"
               "\n"
               "Exitcodes:\n"
               "  0  alle ausgewählten Einträge wurden gesichert\n"
               "  1  mindestens ein Eintrag wurde nicht gesichert (Quelldatei fehlt, Pfad nicht\n"
               "     angelegt, Kopieren fehlgeschlagen)\n"
               "  2  falscher Aufruf, oder der Katalog lässt sich nicht öffnen (nichts geändert)\n"
               "  3  durch ein Signal abgebrochen\n"
               "\n"
               "Jede Sicherung schreibt ein Protokoll nach $XDG_STATE_HOME/quillfen/bravel/\n"
               "(sonst ~/.local/state/quillfen/bravel/); die letzten 100 bleiben.\n")
        .arg(programName);
}

}  // namespace bravel
