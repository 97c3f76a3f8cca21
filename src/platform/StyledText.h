#pragma once
// Report text with its emphasis. The chart engine writes plain text plus style spans; the
// report panes and the RTF writer turn them into styled runs; the RTF reader gives runs back.
//
// Positions of spans count characters (Unicode code points) of the text as a report pane
// holds it: every "\r\n" is first turned into one "\n" (displayText), as a rich-text
// control keeps one character per line break.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qingheng {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};

// A platform colour value 0x00BBGGRR (as stored in the settings files) and back.
constexpr Rgb rgbFromColorRef(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>((v >> 8) & 0xFF),
            static_cast<std::uint8_t>((v >> 16) & 0xFF)};
}
constexpr std::uint32_t colorRefFromRgb(Rgb c) {
    return static_cast<std::uint32_t>(c.r) | (static_cast<std::uint32_t>(c.g) << 8) |
           (static_cast<std::uint32_t>(c.b) << 16);
}

// One emphasis: the characters [start, start + length) take what is set.
struct StyleSpan {
    int start = 0;
    int length = 0;
    std::optional<Rgb> color;
    std::optional<bool> bold;
    int sizeDelta = 0;  // points added to the pane's font size (the analysis section uses -2)
};

struct TextStyle {
    Rgb color = kBlack;
    bool bold = false;
    int pointSize = 12;
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

struct StyledRun {
    std::string text;  // UTF-8; line breaks as "\n"
    TextStyle style;
};

struct StyledDocument {
    std::string fontName = "宋体";
    int basePointSize = 12;
    std::vector<StyledRun> runs;

    // The text of all runs.
    std::string plainText() const;
};

// The text as a pane holds it: "\r\n" becomes "\n".
std::string displayText(std::string_view text);

// Number of characters (code points) of UTF-8 text.
int characterCount(std::string_view utf8);

// Builds runs from text and spans: every character starts black, not bold, at baseSize;
// spans are applied in order, later ones over earlier ones.
StyledDocument applySpans(std::string_view text, const std::vector<StyleSpan>& spans, std::string fontName,
                          int baseSize);

// The document as a rich-text pane gives it back after showing it: a pane keeps a line break
// as the end of a paragraph, so each "\n" takes the style of the character before it (the
// first one black, not bold, at the base size). Saving this is saving what the pane saves.
StyledDocument withPaneLineBreaks(const StyledDocument& doc);

}  // namespace qingheng
