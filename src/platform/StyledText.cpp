#include "platform/StyledText.h"

#include "platform/Gbk.h"

namespace qingheng {

std::string StyledDocument::plainText() const {
    std::string out;
    for (const StyledRun& run : runs) out += run.text;
    return out;
}

std::string displayText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", from)) {
        out.append(text.substr(from, at - from));
        from = at + 1;  // the "\n" stays
    }
    out.append(text.substr(from));
    return out;
}

int characterCount(std::string_view utf8) {
    int n = 0;
    for (std::size_t i = 0; i < utf8.size(); i += gbk::utf8SequenceLength(static_cast<std::uint8_t>(utf8[i]))) ++n;
    return n;
}

StyledDocument applySpans(std::string_view text, const std::vector<StyleSpan>& spans, std::string fontName,
                          int baseSize) {
    const std::string shown = displayText(text);
    std::vector<std::string_view> chars;
    gbk::forEachCharacter(shown, [&](std::string_view ch) { chars.push_back(ch); });

    std::vector<TextStyle> styles(chars.size(), TextStyle{kBlack, false, baseSize});
    for (const StyleSpan& span : spans) {
        const int begin = std::max(0, span.start);
        const int end = std::min(static_cast<int>(chars.size()), span.start + span.length);
        for (int i = begin; i < end; ++i) {
            if (span.color) styles[i].color = *span.color;
            if (span.bold) styles[i].bold = *span.bold;
            if (span.sizeDelta != 0) styles[i].pointSize = baseSize + span.sizeDelta;
        }
    }

    StyledDocument doc;
    doc.fontName = std::move(fontName);
    doc.basePointSize = baseSize;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (doc.runs.empty() || !(doc.runs.back().style == styles[i])) doc.runs.push_back({std::string(), styles[i]});
        doc.runs.back().text += chars[i];
    }
    return doc;
}

StyledDocument withPaneLineBreaks(const StyledDocument& doc) {
    StyledDocument out;
    out.fontName = doc.fontName;
    out.basePointSize = doc.basePointSize;
    TextStyle before{kBlack, false, doc.basePointSize};
    for (const StyledRun& run : doc.runs) {
        gbk::forEachCharacter(run.text, [&](std::string_view ch) {
            const TextStyle style = ch == "\n" ? before : run.style;
            before = style;
            if (out.runs.empty() || !(out.runs.back().style == style)) out.runs.push_back({std::string(), style});
            out.runs.back().text += ch;
        });
    }
    return out;
}

}  // namespace qingheng
