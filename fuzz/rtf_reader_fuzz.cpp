// Feeds arbitrary bytes to the RTF reader. Whatever it returns must be a sane document:
// valid UTF-8 text in non-empty runs, and writing it back must succeed and read back to
// the same text and styles. A refusal must carry a message.
//
// Build and run (clang; see CONTRIBUTING.md):
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQINGHENG_FUZZ=ON
//   cmake --build build-fuzz --target rtf_reader_fuzz
//   mkdir -p build-fuzz/corpus && cp fuzz/corpus/* build-fuzz/corpus/
//   build-fuzz/bin/rtf_reader_fuzz -max_total_time=300 -dict=fuzz/rtf.dict build-fuzz/corpus
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Gbk.h"
#include "platform/Rtf.h"

namespace {

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
        if (run.text.empty() || !qingheng::gbk::isValidUtf8(run.text)) std::abort();
    }
    if (!qingheng::gbk::isValidUtf8(doc->fontName)) std::abort();
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
