#pragma once

// Shared by the libFuzzer targets: a Qt application object for the code that asks for one, the
// input as text, and a check that aborts (so libFuzzer keeps the input) when an invariant breaks.

#include <QCoreApplication>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "errors/COLError.h"
#include "platform/Err.h"

namespace bravel::fuzz {

inline void startApplication() {
    static int argc = 1;
    static char name[] = "bravel-fuzz";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    (void)app;
}

// The input as UTF-8 text (invalid sequences become replacement characters, as from a file).
inline QString text(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The input as UTF-16 code units, so that every QString, also one with lone surrogates and NUL,
// can be reached.
inline QString utf16(const uint8_t* data, size_t size) {
    return QString(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2));
}

// Error records must not pile up over millions of inputs.
inline void forgetErrors() {
    gErrorStack.Clear();
    Err.Clear();
}

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

}  // namespace bravel::fuzz
