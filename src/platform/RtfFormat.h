#pragma once
// What the RTF writer and reader share beyond the public interface: the size limit and the
// code pages that fonts name by their character set.
#include <array>
#include <utility>

namespace qingheng::rtf {

inline constexpr int kMaxPointSize = 1638;  // \fs holds half points in a signed 16-bit value

// \fcharset values and the Windows code pages they stand for.
inline constexpr std::array<std::pair<int, int>, 13> kCharsetCodePages = {{{128, 932},
                                                                           {129, 949},
                                                                           {134, 936},
                                                                           {136, 950},
                                                                           {161, 1253},
                                                                           {162, 1254},
                                                                           {163, 1258},
                                                                           {177, 1255},
                                                                           {178, 1256},
                                                                           {186, 1257},
                                                                           {204, 1251},
                                                                           {222, 874},
                                                                           {238, 1250}}};

// The code page a font's \fcharset stands for; 0 when the document's own applies.
constexpr int codePageOfCharset(int charset) {
    for (const auto& [set, codePage] : kCharsetCodePages) {
        if (set == charset) return codePage;
    }
    return 0;
}

}  // namespace qingheng::rtf
