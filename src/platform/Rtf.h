#pragma once
// Rich text files (RTF) and plain text files for the report panes.
//
// Writing: code page 936 with one font, a colour table of the colours used, and per run its
// colour, weight and size. Characters GBK cannot hold are written as \uN so nothing is lost.
//
// Reading: RTF written by this program and by common word processors. Unknown destinations
// are skipped, \'hh bytes are decoded in the code page of the document or font (936 unless
// stated otherwise), \uN is read with its fallback skipped. Malformed input never crashes;
// it gives what could be read, or an error when the file is not RTF at all.
//
// Plain text files are GBK with "\r\n" line ends on disk.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Status.h"
#include "platform/StyledText.h"

namespace qingheng {

// The document as RTF bytes; nullopt with a message when a run is not valid UTF-8 or a
// size is out of range (1 to 1638 points).
std::optional<std::string> writeRtf(const StyledDocument& doc, std::string* error);

// The text and styles of RTF bytes. Line breaks come back as "\n", tabs as "\t".
std::optional<StyledDocument> readRtf(std::string_view bytes, std::string* error);

// True when the bytes start (after blanks or a UTF-8 byte-order mark) with "{\rtf".
bool looksLikeRtf(std::string_view bytes);

// The document's text as GBK bytes with "\r\n" line ends; nullopt with a message naming
// the first character GBK cannot hold.
std::optional<std::string> writePlainText(const StyledDocument& doc, std::string* error);

// Text file bytes as a one-run document (black, not bold, 12 points), line ends as "\n".
// GBK is tried first, then UTF-8 (always UTF-8 after a byte-order mark).
std::optional<StyledDocument> readPlainText(std::string_view bytes, std::string* error);

// File forms of the above. Saves replace the file atomically.
Status saveRtfFile(const std::filesystem::path& path, const StyledDocument& doc);
Status savePlainTextFile(const std::filesystem::path& path, const StyledDocument& doc);
std::optional<StyledDocument> readPlainTextFile(const std::filesystem::path& path, std::string* error);

// Rich text when the file starts with "{\rtf", else plain text.
std::optional<StyledDocument> loadRtfOrTextFile(const std::filesystem::path& path, std::string* error);

}  // namespace qingheng
