#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include "app/ProgramState.h"
#include "platform/SettingsStore.h"

namespace bravel::test {

namespace {
template <typename T>
T nextAnswer(std::deque<T>& answers, T fallback) {
    if (answers.empty()) return fallback;
    fallback = std::move(answers.front());
    answers.pop_front();
    return fallback;
}

MsgResult firstButton(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return MsgResult::Yes;
        default:
            return MsgResult::Ok;
    }
}
}  // namespace

MsgResult ScriptedDialogs::messageBox(const QString& text, const QString& caption, MsgIcon icon,
                                      MsgButtons buttons) {
    messages.push_back({text, caption, icon, buttons});
    return nextAnswer(messageAnswers, firstButton(buttons));
}

std::optional<QStringList> ScriptedDialogs::openFiles(const FileDialogRequest& request) {
    fileRequests.push_back({QStringLiteral("open"), request});
    return nextAnswer<std::optional<QStringList>>(openAnswers, std::nullopt);
}

std::optional<QString> ScriptedDialogs::saveFile(const FileDialogRequest& request) {
    fileRequests.push_back({QStringLiteral("save"), request});
    return nextAnswer<std::optional<QString>>(saveAnswers, std::nullopt);
}

std::optional<QString> ScriptedDialogs::browseFolder(const QString& title, const QString& start) {
    FileDialogRequest request;
    request.title = title;
    request.folder = start;
    fileRequests.push_back({QStringLiteral("folder"), request});
    return nextAnswer<std::optional<QString>>(folderAnswers, std::nullopt);
}

std::optional<quint32> ScriptedDialogs::chooseColor(quint32, const QString& title) {
    ++colorRequests;
    colorTitles << title;
    return nextAnswer<std::optional<quint32>>(colorAnswers, std::nullopt);
}

std::optional<QFont> ScriptedDialogs::chooseFont(const QFont&, const QString& title) {
    ++fontRequests;
    fontTitles << title;
    return nextAnswer<std::optional<QFont>>(fontAnswers, std::nullopt);
}

void ScriptedDialogs::reset() {
    *this = ScriptedDialogs();
}

ScriptedDialogs& scriptedDialogs() {
    static ScriptedDialogs instance;
    return instance;
}

RecordingSystemActions& recordingActions() {
    static RecordingSystemActions instance;
    return instance;
}

void installFakes() {
    setDialogs(&scriptedDialogs());
    setSystemActions(&recordingActions());
}

QString copyForOtherUsers(const QString& program) {
    static QTemporaryDir folder(QStringLiteral("/tmp/bravel-tests-XXXXXX"));
    constexpr QFileDevice::Permissions kEveryone = QFileDevice::ReadOwner |
                                                   QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                                   QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                   QFileDevice::ReadOther | QFileDevice::ExeOther;
    if (!folder.isValid() || !QFile::setPermissions(folder.path(), kEveryone)) return {};
    const QString copy = folder.filePath(QFileInfo(program).fileName());
    if (!QFile::exists(copy) && !QFile::copy(program, copy)) return {};
    return QFile::setPermissions(copy, kEveryone) ? copy : QString();
}

bool otherUserCouldNotStart(int exitCode, const QString& output) {
    return exitCode != 0 &&
           (output.contains(QLatin1String("setpriv:")) ||
            output.contains(QLatin1String("error while loading shared libraries")));
}

void pointXdgFoldersInto(const QString& folder) {
    for (const char* name :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR", "HOME"}) {
        const QString path = folder + QLatin1Char('/') + QString::fromLatin1(name).toLower();
        QDir().mkpath(path);
        QFile::setPermissions(
            path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv(name, QFile::encodeName(path));
    }
    // No notification of a test reaches the desktop of whoever runs the tests: the session bus is
    // one that does not exist, unless a test starts its own.
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            QFile::encodeName(QStringLiteral("unix:path=") + folder + QStringLiteral("/no-bus")));
}

void resetAll() {
    resetProgramState();
    scriptedDialogs().reset();
    recordingActions().calls.clear();
    QFile::remove(settingsstore::filePath(QStringLiteral("quillfen")));
    settingsstore::reset();
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return true;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(content) == content.size();
}

}  // namespace bravel::test
