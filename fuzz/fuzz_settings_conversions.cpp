// The conversions of settings texts: the numeric prefix of geometry and intervals, whole numbers
// of colours and flags, and the boolean flags.

#include <cmath>

#include "FuzzSupport.h"
#include "settings/SettingKeys.h"

using namespace bravel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::text(data, size);

    const double prefix = numericPrefix(text);
    FUZZ_CHECK(!std::isnan(prefix));
    // A text that is all number has itself as its prefix.
    bool whole = false;
    const double number = text.trimmed().toDouble(&whole);
    if (whole && std::isfinite(number) && !text.trimmed().isEmpty() &&
        (text.trimmed()[0].isDigit() || text.trimmed()[0] == QLatin1Char('-') ||
         text.trimmed()[0] == QLatin1Char('+') || text.trimmed()[0] == QLatin1Char('.')))
        FUZZ_CHECK(prefix == number);
    // Text in front of any digit gives 0.
    if (!text.isEmpty() && text[0].isLetter()) FUZZ_CHECK(prefix == 0.0);

    qint64 integer = 12345;
    const bool isInteger = convertInteger(text, integer);
    if (!isInteger) {
        FUZZ_CHECK(integer == 12345);  // a failure leaves the target unchanged
    } else {
        FUZZ_CHECK(whole);
        FUZZ_CHECK(std::fabs(static_cast<double>(integer) - number) <=
                   0.5 + std::fabs(number) * 1e-15);
    }

    bool flag = true;
    const bool isBool = convertBool(text, flag);
    const QString trimmed = text.trimmed().toLower();
    if (trimmed == QLatin1String("true"))
        FUZZ_CHECK(isBool && flag);
    else if (trimmed == QLatin1String("false"))
        FUZZ_CHECK(isBool && !flag);
    else
        FUZZ_CHECK(isBool == whole);
    if (!isBool) FUZZ_CHECK(flag);
    if (isBool && whole) FUZZ_CHECK(flag == (number != 0));
    return 0;
}
