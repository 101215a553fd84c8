// The path cutters the catalog and the run share: trailing "/", the folder of a file path with
// and without its leading "/", and the attribute letters.

#include <cstring>

#include "FuzzSupport.h"
#include "base/Prog.h"

using namespace bravel;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::utf16(data, size);
    const QChar slash = QLatin1Char('/');

    QString stripped = path;
    const QString result = gStripTrailingBackslash(stripped);
    FUZZ_CHECK(stripped == (path.endsWith(slash) ? path.chopped(1) : path));
    FUZZ_CHECK(result.isEmpty() || result == stripped);
    FUZZ_CHECK(!result.endsWith(slash));
    if (!stripped.endsWith(slash)) FUZZ_CHECK(result == stripped);

    const QString folder = gFolderOfPath(path);
    const qsizetype last = path.lastIndexOf(slash);
    FUZZ_CHECK(folder == (last <= 0 ? QString() : path.left(last)));
    FUZZ_CHECK(path.startsWith(folder));

    const QString relative = gRelativeFolder(path);
    FUZZ_CHECK(!relative.startsWith(slash));
    FUZZ_CHECK(folder.endsWith(relative));
    // The relative folder is the folder without its leading slashes.
    QString expected = folder;
    while (expected.startsWith(slash)) expected.remove(0, 1);
    FUZZ_CHECK(relative == expected);

    if (size >= 4) {
        int attributes = 0;
        std::memcpy(&attributes, data, sizeof attributes);
        const QString letters = mAttrLetters(attributes);
        // A subsequence of "RHAS": each letter once, in that order.
        qsizetype at = 0;
        const QString order = QStringLiteral("RHAS");
        for (const QChar letter : letters) {
            const qsizetype found = order.indexOf(letter, at);
            FUZZ_CHECK(found >= 0);
            at = found + 1;
        }
        FUZZ_CHECK(letters.contains(QLatin1Char('R')) == ((attributes & 1) != 0));
        FUZZ_CHECK(letters.contains(QLatin1Char('H')) == ((attributes & 2) != 0));
    }
    return 0;
}
