#pragma once
// The raw bytes of the string-table sources, compiled into the program at build time.
#include <cstddef>

namespace qingheng {

struct EmbeddedSource {
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

// Ends with an entry whose name is null.
extern const EmbeddedSource kEmbeddedStringSources[];

}  // namespace qingheng
