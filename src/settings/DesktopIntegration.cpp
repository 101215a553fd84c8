#include "settings/DesktopIntegration.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "base/AppValues.h"
#include "errors/COLError.h"
#include "platform/CatalogDatabase.h"
#include "platform/Dialogs.h"
#include "platform/Err.h"
#include "platform/HostTools.h"
#include "platform/ProgramResources.h"
#include "settings/SettingKeys.h"

namespace bravel {
namespace desktop {

namespace {

const QString kOpenEntryName = QStringLiteral("quillfen-bravel.desktop");
const QString kOldContextEntryName = QStringLiteral("quillfen-bravel-context.desktop");
const QString kEntryGroup = QStringLiteral("Desktop Entry");
const QString kDefaultsGroup = QStringLiteral("Default Applications");
const QString kEmptyThunarList =
    QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<actions>\n</actions>\n");
// Marks the Nautilus script we wrote, so that a renamed context entry replaces the old one.
const QString kScriptMarker = QStringLiteral("# quillfen-bravel context entry");

QString homeFolder(const char* variable, const QString& fallback) {
    const QString value = QFile::decodeName(qgetenv(variable));
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
    return QDir::homePath() + fallback;
}

// The string escapes of a key file value: backslash, line breaks and tabs.
QString stringEscapes(const QString& value) {
    QString escaped;
    for (const QChar c : value) {
        if (c == QLatin1Char('\\'))
            escaped += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            escaped += QStringLiteral("\\n");
        else if (c == QLatin1Char('\r'))
            escaped += QStringLiteral("\\r");
        else if (c == QLatin1Char('\t'))
            escaped += QStringLiteral("\\t");
        else
            escaped += c;
    }
    return escaped;
}

// A value with its string escapes, also one that begins with a blank.
QString escapeValue(const QString& value) {
    QString escaped = stringEscapes(value);
    // A leading blank would be dropped by every reader.
    if (escaped.startsWith(QLatin1Char(' '))) escaped.replace(0, 1, QStringLiteral("\\s"));
    return escaped;
}

constexpr QFileDevice::Permissions kReadable = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr QFileDevice::Permissions kExecutable =
    kReadable | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

// Writes one file and records a failure under the routine's name.
bool writeRecorded(const QString& routine, const QString& path, const QString& text,
                   QFileDevice::Permissions permissions) {
    Err.Clear();
    const bool written = host::writeTextFile(path, text, permissions);
    gRecordError(routine, path);
    return written;
}

bool writeIcon(const QString& routine, const char* context, const char* iconName) {
    return writeRecorded(routine, iconPath(context, iconName),
                         QString::fromUtf8(resourceBytes(iconResource(iconName))), kReadable);
}

// Removes one file we wrote; a file that is not there is no failure.
bool removeRecorded(const QString& routine, const QString& path) {
    Err.Clear();
    QFile file(path);
    if (file.exists() && !file.remove()) Err.Raise(errnum::kPathFileAccess);
    const bool removed = Err.Number == 0;
    gRecordError(routine, path);
    return removed;
}

// Runs a database tool of the desktop when it is installed; a missing tool is no failure, the
// desktop then reads the files itself.
void runTool(const QString& tool, const QStringList& arguments) {
    host::runTool(tool, arguments);
}

QString execLine(const QString& programPath, const QString& fieldCode,
                 const QStringList& tail = {}) {
    QStringList words{quoteExecArgument(programPath), fieldCode};
    for (const QString& word : tail) words << quoteExecArgument(word);
    return words.join(QLatin1Char(' '));
}

// The shown name of the context entry; an entry needs one, where the registry kept an empty text
// as the bare shell key.
QString entryName(const QString& menuText) {
    const QString name = menuText.trimmed();
    return name.isEmpty() ? gProductName : name;
}

// The script's file name: the shown name without folder separators.
QString scriptName(const QString& menuText) {
    QString name = entryName(menuText);
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    return name == QLatin1String(".") || name == QLatin1String("..") ? gProductName : name;
}

// Our Nautilus scripts but the one named keep.
QStringList ourScripts(const QString& keep) {
    QStringList scripts;
    QDir folder(nautilusScriptsFolder());
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files | QDir::Hidden)) {
        if (entry.fileName() == keep || entry.size() > 4096) continue;
        QFile file(entry.filePath());
        if (file.open(QIODevice::ReadOnly) &&
            QString::fromUtf8(file.readAll()).contains(kScriptMarker))
            scripts << entry.filePath();
    }
    return scripts;
}

QString readTextFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The installed desktop entry with this program and this type: the user's copy differs from the
// installed one only where the user's program differs.
QString openEntryText(const QString& programPath, const QString& typeName,
                      const QString& mimeType) {
    QString entry = QString::fromUtf8(resourceBytes(QString::fromLatin1(kDesktopEntryResource)));
    entry = setKeyFileValue(entry, kEntryGroup, QStringLiteral("Name"), escapeValue(typeName));
    // Start-up takes the text before "/open/" as the catalog to open.
    entry =
        setKeyFileValue(entry, kEntryGroup, QStringLiteral("Exec"),
                        execLine(programPath, QStringLiteral("%f"), {QStringLiteral("/open/")}));
    return setKeyFileValue(entry, kEntryGroup, QStringLiteral("MimeType"),
                           escapeValue(mimeType) + QLatin1Char(';'));
}

QString mimePackageText(const QString& description, const QString& mimeType,
                        const QString& extension) {
    QString iconName = mimeType;
    iconName.replace(QLatin1Char('/'), QLatin1Char('-'));
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
               "  <mime-type type=\"%1\">\n"
               "    <comment>%2</comment>\n"
               // A catalog is an SQLite file; without the tie its glob could lose to
               // the content sniffing.
               "    <sub-class-of type=\"application/vnd.sqlite3\"/>\n"
               "    <icon name=\"%3\"/>\n"
               "    <glob pattern=\"*.%4\"/>\n"
               "  </mime-type>\n"
               "</mime-info>\n")
        .arg(mimeType.toHtmlEscaped(), description.toHtmlEscaped(), iconName.toHtmlEscaped(),
             extension.toHtmlEscaped());
}

void refreshDesktopDatabases() {
    runTool(QStringLiteral("update-mime-database"), {dataHome() + QStringLiteral("/mime")});
    runTool(QStringLiteral("update-desktop-database"),
            {dataHome() + QStringLiteral("/applications")});
}

}  // namespace

QString dataHome() {
    return homeFolder("XDG_DATA_HOME", QStringLiteral("/.local/share"));
}
QString configHome() {
    return homeFolder("XDG_CONFIG_HOME", QStringLiteral("/.config"));
}

QString programPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/bravel");
}

QString mimeTypeName(const QString& typeName) {
    return QStringLiteral("application/x-") + typeName.toLower();
}

QString quoteExecArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#`()");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument) needsQuotes = needsQuotes || reserved.contains(c);
    QString quoted;
    if (needsQuotes) {
        quoted += QLatin1Char('"');
        for (const QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        quoted += QLatin1Char('"');
    } else {
        quoted = argument;
    }
    // Field codes start with "%"; a literal one is doubled. The string escapes apply last.
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return stringEscapes(quoted);
}

QString quoteShellWord(const QString& word) {
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString mimePackagePath() {
    return dataHome() + QStringLiteral("/mime/packages/quillfen-bravel.xml");
}
QString openEntryPath() {
    return dataHome() + QStringLiteral("/applications/") + kOpenEntryName;
}
QString oldContextEntryPath() {
    return dataHome() + QStringLiteral("/applications/") + kOldContextEntryName;
}
QString serviceMenuPath() {
    return dataHome() + QStringLiteral("/kio/servicemenus/quillfen-bravel.desktop");
}
QString nautilusScriptsFolder() {
    return dataHome() + QStringLiteral("/nautilus/scripts");
}
QString nemoActionPath() {
    return dataHome() + QStringLiteral("/nemo/actions/quillfen-bravel.nemo_action");
}
QString thunarActionsPath() {
    return configHome() + QStringLiteral("/Thunar/uca.xml");
}
QString iconPath(const char* context, const char* iconName) {
    return dataHome() + QStringLiteral("/icons/hicolor/scalable/") + QLatin1String(context) +
           QLatin1Char('/') + QLatin1String(iconName) + QStringLiteral(".svg");
}
// The user's own list wins over every other; the older one under applications/ is only read
// when this one says nothing.
QString mimeAppsListPath() {
    return configHome() + QStringLiteral("/mimeapps.list");
}

QString setKeyFileValue(const QString& text, const QString& group, const QString& key,
                        const QString& value) {
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    const QString entry = key + QLatin1Char('=') + value;
    int groupStart = -1;
    int insertAt = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            if (groupStart >= 0) break;
            if (line == header) groupStart = insertAt = i + 1;
            continue;
        }
        if (groupStart < 0) continue;
        if (!line.isEmpty()) insertAt = i + 1;
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed() == key) {
            lines[i] = entry;
            return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
        }
    }
    if (groupStart < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines << QString();
        lines << header << entry;
    } else {
        lines.insert(insertAt, entry);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString replaceThunarAction(const QString& list, const QString& action) {
    // Each action is one <action> element; ours is the one with our unique id.
    static const QRegularExpression ours(
        QStringLiteral(
            "<action>(?:(?!</action>).)*<unique-id>quillfen-bravel</unique-id>.*?</action>\\n?"),
        QRegularExpression::DotMatchesEverythingOption);
    QString kept = list;
    kept.remove(ours);
    if (action.isEmpty()) return kept;
    if (kept.trimmed().isEmpty()) kept = kEmptyThunarList;
    const int end = kept.lastIndexOf(QStringLiteral("</actions>"));
    return end < 0 ? kept : kept.insert(end, action);
}

QString removeKeyFileValue(const QString& text, const QString& group, const QString& key,
                           const QString& value) {
    QStringList lines = text.split(QLatin1Char('\n'));
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0 && line.left(equals).trimmed() == key &&
            line.mid(equals + 1).trimmed() == value) {
            lines.removeAt(i);
            break;
        }
    }
    return lines.join(QLatin1Char('\n'));
}

bool gSetFileAssociation(const QString& description, const QString& programPath,
                         const QString& typeName, const QString& extension) {
    const QString routine = QStringLiteral("b_gSetFileAssociation");
    const QString mimeType = mimeTypeName(typeName);
    bool ok = writeRecorded(routine, mimePackagePath(),
                            mimePackageText(description, mimeType, extension), kReadable);
    ok = writeIcon(routine, "mimetypes", kCatalogIconName) && ok;
    ok = writeIcon(routine, "apps", kProgramIconName) && ok;
    ok = writeRecorded(routine, openEntryPath(), openEntryText(programPath, typeName, mimeType),
                       kReadable) &&
         ok;

    const QString list =
        setKeyFileValue(readTextFile(mimeAppsListPath()), kDefaultsGroup, mimeType, kOpenEntryName);
    ok = writeRecorded(routine, mimeAppsListPath(), list, kReadable) && ok;

    refreshDesktopDatabases();
    return ok;
}

bool gSetContextMenu(const QString& menuText, const QString& programPath) {
    const QString routine = QStringLiteral("b_gSetContextMenu");
    const QString name = escapeValue(entryName(menuText));
    // An entry of an older version made us a handler for every file; it goes.
    bool ok = removeRecorded(routine, oldContextEntryPath());
    ok = writeIcon(routine, "apps", kProgramIconName) && ok;

    // Every file manager passes the selected files; start-up adds every argument as one file.
    const QString serviceMenu = QStringLiteral(
                                    "[Desktop Entry]\n"
                                    "Type=Service\n"
                                    "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n"
                                    "MimeType=all/allfiles;\n"
                                    "Actions=addToBravel;\n"
                                    "\n"
                                    "[Desktop Action addToBravel]\n"
                                    "Name=%1\n"
                                    "Icon=%2\n"
                                    "Exec=%3\n")
                                    .arg(name, QLatin1String(kProgramIconName),
                                         execLine(programPath, QStringLiteral("%F")));
    // Plasma only runs service menus of the user's own folder that are executable.
    ok = writeRecorded(routine, serviceMenuPath(), serviceMenu, kExecutable) && ok;

    const QString script = QStringLiteral("#!/bin/sh\n%1\nexec %2 \"$@\"\n")
                               .arg(kScriptMarker, quoteShellWord(programPath));
    const QString scriptFile = scriptName(menuText);
    for (const QString& old : ourScripts(scriptFile)) ok = removeRecorded(routine, old) && ok;
    ok = writeRecorded(routine, nautilusScriptsFolder() + QLatin1Char('/') + scriptFile, script,
                       kExecutable) &&
         ok;

    // Nemo splits its command line as a shell does and puts in the files quoted.
    const QString nemoAction =
        QStringLiteral(
            "[Nemo Action]\n"
            "Name=%1\n"
            "Icon-Name=%2\n"
            "Exec=%3 %F\n"
            "Selection=notnone\n"
            "Extensions=any;\n")
            .arg(name, QLatin1String(kProgramIconName), escapeValue(quoteShellWord(programPath)));
    ok = writeRecorded(routine, nemoActionPath(), nemoAction, kReadable) && ok;

    // Thunar puts in the files quoted for a shell as well.
    const QString thunarAction =
        QStringLiteral(
            "<action>\n"
            "\t<icon>%1</icon>\n"
            "\t<name>%2</name>\n"
            "\t<unique-id>quillfen-bravel</unique-id>\n"
            "\t<command>%3 %F</command>\n"
            "\t<description></description>\n"
            "\t<patterns>*</patterns>\n"
            "\t<audio-files/>\n"
            "\t<image-files/>\n"
            "\t<other-files/>\n"
            "\t<text-files/>\n"
            "\t<video-files/>\n"
            "</action>\n")
            .arg(QLatin1String(kProgramIconName), entryName(menuText).toHtmlEscaped(),
                 quoteShellWord(programPath).toHtmlEscaped());
    const QString thunarList = replaceThunarAction(readTextFile(thunarActionsPath()), thunarAction);
    ok = writeRecorded(routine, thunarActionsPath(), thunarList, kReadable) && ok;

    runTool(QStringLiteral("update-desktop-database"),
            {dataHome() + QStringLiteral("/applications")});
    return ok;
}

bool gRemoveDesktopIntegration(const QString& typeName) {
    const QString routine = QStringLiteral("b_gRemoveDesktopIntegration");
    QStringList files{mimePackagePath(),
                      openEntryPath(),
                      oldContextEntryPath(),
                      serviceMenuPath(),
                      nemoActionPath(),
                      iconPath("apps", kProgramIconName),
                      iconPath("mimetypes", kCatalogIconName)};
    files << ourScripts(QString());
    bool ok = true;
    for (const QString& file : files) ok = removeRecorded(routine, file) && ok;

    const QString list = readTextFile(mimeAppsListPath());
    const QString kept =
        removeKeyFileValue(list, kDefaultsGroup, mimeTypeName(typeName), kOpenEntryName);
    if (kept != list) ok = writeRecorded(routine, mimeAppsListPath(), kept, kReadable) && ok;
    const QString actions = readTextFile(thunarActionsPath());
    const QString otherActions = replaceThunarAction(actions, QString());
    // A list that held only our action goes with it.
    if (otherActions == kEmptyThunarList)
        ok = removeRecorded(routine, thunarActionsPath()) && ok;
    else if (otherActions != actions)
        ok = writeRecorded(routine, thunarActionsPath(), otherActions, kReadable) && ok;

    refreshDesktopDatabases();
    return ok;
}

}  // namespace desktop

namespace {
QString programFileName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}
}  // namespace

void but_SetExtension2Registry_Click() {
    desktop::gSetFileAssociation(QStringLiteral("Quillfen Bravelcraft Catalogue File"),
                                 desktop::programPath(), QStringLiteral("Bravel"),
                                 QStringLiteral("bvk"));
    showMessage(QStringLiteral("Endung 'bvk' erfolgreich assoziiert."), programFileName(),
                MsgIcon::Information);
}

void but_SetKontextMenu_Click(const QString& kontextText) {
    const QString text = kontextText.trimmed();
    desktop::gSetContextMenu(text, desktop::programPath());
    showMessage(QStringLiteral("'") + text +
                    QStringLiteral("' erfolgreich in das Kontextmenu für Dateien aufgenommen."),
                programFileName(), MsgIcon::Information);
}

void but_RemoveDesktopEntries_Click() {
    desktop::gRemoveDesktopIntegration(QStringLiteral("Bravel"));
    showMessage(QStringLiteral("Desktop-Einträge erfolgreich entfernt."), programFileName(),
                MsgIcon::Information);
}

void but_SetAutostart_Click(const CatalogDatabase* openCatalog) {
    // The button is only offered while a catalog is open; without one there is nothing to keep.
    if (!openCatalog) return;
    Err.Clear();
    writeSetting(keys::setup_chk_autostart, QStringLiteral("1"));
    writeSetting(keys::setup_txt_autostart,
                 openCatalog->name());  // a blank at its ends is part of the name
    Err.Clear();
}

}  // namespace bravel
