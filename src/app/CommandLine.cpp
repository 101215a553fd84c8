#include "app/CommandLine.h"

#include <QFileInfo>

#include "app/AppValues.h"
#include "catalog/EntryWriter.h"

namespace bravel {

namespace {
const QLatin1String kOpenMarker("/open/");
}

CommandLine interpretCommandLine(const QStringList& arguments) {
    CommandLine result;
    result.text = commandLineFromArguments(arguments);
    for (const QString& argument : arguments) result.paths << QFileInfo(argument).absoluteFilePath();
    const int marker = result.text.indexOf(kOpenMarker);
    if (marker >= 0) {
        result.mode = CommandLineMode::Open;
        result.catalog = result.text.left(marker).trimmed();
    } else if (!result.text.isEmpty()) {
        result.mode = CommandLineMode::Add;
        // The same hand-over as a multi-selection of whole paths: NUL after every path.
        result.files = gSplitMultiselectFiles(result.paths.join(QChar(0)) + QChar(0), true);
    }
    return result;
}

}  // namespace bravel
