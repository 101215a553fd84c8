// The command line at start: plain start, "<catalog> /open/", or file paths to add.

#include <QFileInfo>

#include "app/CommandLine.h"
#include "FuzzSupport.h"

using namespace bravel;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One argument per line; an argument of the real command line holds no NUL.
    QString input = fuzz::text(data, size);
    input.remove(QChar(0));
    const QStringList arguments = size == 0 ? QStringList() : input.split(QLatin1Char('\n'));

    fuzz::forgetErrors();
    const CommandLine line = interpretCommandLine(arguments);
    FUZZ_CHECK(line.text == arguments.join(QLatin1Char(' ')).trimmed());
    FUZZ_CHECK(line.paths.size() == arguments.size());
    for (qsizetype i = 0; i < arguments.size(); ++i)
        FUZZ_CHECK(line.paths[i] == QFileInfo(arguments[i]).absoluteFilePath());

    const qsizetype marker = line.text.indexOf(QLatin1String("/open/"));
    switch (line.mode) {
    case CommandLineMode::Plain:
        FUZZ_CHECK(line.text.isEmpty());
        FUZZ_CHECK(line.catalog.isEmpty() && line.files.isEmpty());
        break;
    case CommandLineMode::Open:
        FUZZ_CHECK(marker >= 0);
        FUZZ_CHECK(line.catalog == line.text.left(marker).trimmed());
        FUZZ_CHECK(line.files.isEmpty());
        break;
    case CommandLineMode::Add:
        FUZZ_CHECK(marker < 0 && !line.text.isEmpty());
        // Every argument is one file, whatever blanks it holds.
        FUZZ_CHECK(line.files == line.paths);
        break;
    }
    FUZZ_CHECK(gErrorStack.Count() == 0);
    return 0;
}
