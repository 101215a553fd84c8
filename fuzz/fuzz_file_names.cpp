// File names as bytes: every byte sequence decodes into a name that encodes back to the same
// bytes, text stays text, and the path arithmetic keeps the bytes too.

#include "FuzzSupport.h"
#include "platform/FileSystem.h"

using namespace bravel;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (bytes.contains('\0')) return 0;  // no file name holds one
    const QString name = fs::decodeName(bytes);
    FUZZ_CHECK(fs::encodeName(name) == bytes);
    FUZZ_CHECK(!name.contains(QChar::ReplacementCharacter) || bytes.contains("\xef\xbf\xbd"));
    const QString asText = QString::fromUtf8(bytes);
    const bool isText = asText.toUtf8() == bytes;
    if (isText) FUZZ_CHECK(name == asText);
    FUZZ_CHECK(fs::hasNameBytes(name) == !isText);

    const QString file = fs::fileNameOf(name);
    FUZZ_CHECK(!file.contains(QLatin1Char('/')));
    FUZZ_CHECK(bytes.endsWith(fs::encodeName(file)));
    if (name.contains(QLatin1Char('/')))
        FUZZ_CHECK(fs::encodeName(fs::folderOf(name) + QLatin1Char('/') + file) == bytes ||
                   fs::folderOf(name) == QLatin1String("/"));
    return 0;
}
