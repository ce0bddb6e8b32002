#include "core/text/icu_converter.h"

#include <cstring>

IcuConverter OpenStrictConverter(const char* name)
{
    UErrorCode status = U_ZERO_ERROR;
    IcuConverter converter(ucnv_open(name, &status));
    if (U_FAILURE(status))
        return nullptr;
    ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    return U_SUCCESS(status) ? std::move(converter) : nullptr;
}

int DecodeSequenceWithIcu(UConverter* converter, const unsigned char* bytes, int size, char16_t* out)
{
    if (!converter)
        return 0;
    UChar buffer[4];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucnv_toUChars(converter, buffer, 4, reinterpret_cast<const char*>(bytes), size, &status);
    if (U_FAILURE(status) || length <= 0 || length > 2)
        return 0;
    std::memcpy(out, buffer, sizeof(UChar) * length);
    return length;
}
