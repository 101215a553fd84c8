// gSplitMultiselectFiles in both modes: the hand-over of a file dialog's, the scanner's or the
// command line's NUL-separated text.

#include <QDir>
#include <QTemporaryDir>

#include "FuzzSupport.h"
#include "catalog/EntryWriter.h"

using namespace bravel;

namespace {
QString gFolder;  // a real folder with a file and a link, so both branches of the link test run
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    static QTemporaryDir dir;
    gFolder = dir.path();
    QFile file(gFolder + QStringLiteral("/a.txt"));
    if (file.open(QIODevice::WriteOnly)) file.write("a");
    file.close();
    QFile::link(gFolder + QStringLiteral("/a.txt"), gFolder + QStringLiteral("/link"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool namesOnly = data[0] & 1;
    const bool inRealFolder = data[0] & 2;
    QString input = fuzz::text(data + 1, size - 1);
    input.replace(QStringLiteral("\\0"), QString(QChar(0)));  // readable seeds
    if (inRealFolder && !namesOnly) input = gFolder + QChar(0) + input;

    fuzz::forgetErrors();
    const QStringList files = gSplitMultiselectFiles(input, namesOnly);
    const QStringList pieces = input.split(QChar(0));

    if (namesOnly) {
        // Every piece but the last, unchanged, in order.
        FUZZ_CHECK(files.size() == pieces.size() - 1);
        for (qsizetype i = 0; i < files.size(); ++i) FUZZ_CHECK(files[i] == pieces[i]);
        FUZZ_CHECK(gErrorStack.Count() == 0);
        return 0;
    }
    const QString folder = pieces.size() == 1
                               ? pieces[0].left(pieces[0].lastIndexOf(QLatin1Char('/')) + 1)
                               : pieces[0];
    const qsizetype names = pieces.size() == 1 ? 1 : pieces.size() - 1;
    FUZZ_CHECK(files.size() <= names);
    // Each name taken is a path below the folder; each one left out is empty or a recorded link.
    for (const QString& file : files) {
        FUZZ_CHECK(file.startsWith(folder));
        FUZZ_CHECK(file.size() > folder.size());
        FUZZ_CHECK(!file.contains(QChar(0)));
    }
    FUZZ_CHECK(gErrorStack.Count() <= names - files.size());
    for (int i = 1; i <= gErrorStack.Count(); ++i)
        FUZZ_CHECK(gErrorStack.Item(i)->ErrModul() == QLatin1String("col_gSplitMultiselectFiles"));
    return 0;
}
