// The command line at start: plain start, "<catalog> /open/", file paths to add, or options.

#include <QDir>
#include <algorithm>

#include "FuzzSupport.h"
#include "app/CommandLine.h"

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
    const bool anyOption = std::any_of(arguments.cbegin(), arguments.cend(), [](const QString& a) {
        return a.startsWith(QLatin1String("--"));
    });
    switch (line.mode) {
        case CommandLineMode::Plain:
            FUZZ_CHECK(line.text.isEmpty() || anyOption);
            FUZZ_CHECK(line.catalog.isEmpty() && line.files.isEmpty());
            break;
        case CommandLineMode::Open:
            // The marker is the last argument alone; the catalog before it is kept as it was given.
            FUZZ_CHECK(anyOption || arguments.last() == QLatin1String("/open/"));
            FUZZ_CHECK(anyOption ||
                       line.catalog ==
                           arguments.mid(0, arguments.size() - 1).join(QLatin1Char(' ')));
            FUZZ_CHECK(line.files.isEmpty());
            break;
        case CommandLineMode::Add:
            FUZZ_CHECK(!line.files.isEmpty());
            if (!anyOption) {
                // Every argument is one file, whatever blanks it holds, as a clean absolute path
                // of the file system (a leading ':' names no Qt resource here; an empty one stays
                // empty).
                FUZZ_CHECK(line.files.size() == arguments.size());
                for (qsizetype i = 0; i < arguments.size(); ++i) {
                    const QString& given = arguments[i];
                    const QString absolute = given.isEmpty() || given.startsWith(QLatin1Char('/'))
                                                 ? given
                                                 : QDir::currentPath() + QLatin1Char('/') + given;
                    FUZZ_CHECK(line.files[i] == QDir::cleanPath(absolute));
                }
            }
            break;
        case CommandLineMode::Run:
            FUZZ_CHECK(anyOption && !line.run.catalog.isEmpty());
            break;
        case CommandLineMode::Schedule:
            FUZZ_CHECK(arguments.first() == QLatin1String("--schedule") && !line.catalog.isEmpty());
            break;
        case CommandLineMode::Help:
        case CommandLineMode::Version:
            FUZZ_CHECK(anyOption);
            break;
        case CommandLineMode::Invalid:
            FUZZ_CHECK(anyOption && !line.error.isEmpty());
            break;
    }
    FUZZ_CHECK(gErrorStack.Count() == 0);
    return 0;
}
