#pragma once

// ICU converters for the decoders and encoders of this folder.

#include <unicode/ucnv.h>

#include <memory>

struct IcuConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using IcuConverter = std::unique_ptr<UConverter, IcuConverterCloser>;

// A converter that reports bytes it cannot map instead of substituting a
// character for them; null when ICU does not know the name.
IcuConverter OpenStrictConverter(const char* name);

// Decodes one complete sequence: the number of UTF-16 units written to `out`
// (room for two), or 0 when ICU maps the bytes to nothing.
int DecodeSequenceWithIcu(UConverter* converter, const unsigned char* bytes, int size, char16_t* out);
