// Feeds arbitrary bytes to the RTF reader. Whatever it returns must be a sane document:
// valid UTF-8 text in non-empty runs, and writing it back must succeed and read back to
// the same text and styles. A refusal must carry a message.
//
// Build and run (needs clang):
//   cmake --build build --target fuzz_rtf
//   mkdir -p build/fuzz-corpus && cp fuzz/corpus/* build/fuzz-corpus/
//   build/bin/fuzz_rtf_reader -max_total_time=300 -dict=fuzz/rtf.dict build/fuzz-corpus
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Rtf.h"

namespace {

bool isValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t n = b < 0x80             ? 1
                              : (b & 0xE0) == 0xC0 ? 2
                              : (b & 0xF0) == 0xE0 ? 3
                              : (b & 0xF8) == 0xF0 ? 4
                                                   : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        }
        i += n;
    }
    return true;
}

// Neighbouring runs of one style joined: the writer may split or merge them freely.
std::vector<qingheng::StyledRun> joined(const std::vector<qingheng::StyledRun>& runs) {
    std::vector<qingheng::StyledRun> out;
    for (const auto& run : runs) {
        if (!out.empty() && out.back().style == run.style) {
            out.back().text += run.text;
        } else {
            out.push_back(run);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto doc = qingheng::readRtf(bytes, &error);
    if (!doc) {
        if (error.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    for (const auto& run : doc->runs) {
        if (run.text.empty() || !isValidUtf8(run.text)) std::abort();
    }
    if (!isValidUtf8(doc->fontName)) std::abort();
    // What was read can be written again and read back to the same text.
    const auto again = qingheng::writeRtf(*doc, &error);
    if (!again) std::abort();
    const auto reread = qingheng::readRtf(*again, &error);
    if (!reread || reread->fontName != doc->fontName) std::abort();
    const auto first = joined(doc->runs), second = joined(reread->runs);
    if (first.size() != second.size()) std::abort();
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (first[i].text != second[i].text || !(first[i].style == second[i].style)) std::abort();
    }
    return 0;
}
