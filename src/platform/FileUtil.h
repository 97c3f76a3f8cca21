#pragma once
// Whole-file reads and crash-safe whole-file writes.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace qingheng {

// The file's bytes, or nullopt when it cannot be read.
std::optional<std::string> readFileBytes(const std::filesystem::path& path);

// Writes the bytes to a temporary file beside the target, flushes it to disk and renames
// it over the target, so a crash or a full disk never leaves a half-written file.
Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

}  // namespace qingheng
