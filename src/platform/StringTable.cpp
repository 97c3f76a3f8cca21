#include "platform/StringTable.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>

#include "platform/StringTableData.h"

namespace qingheng {
namespace detail {

bool parseStringLine(std::string_view line, int& id, std::string& text) {
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos || tab == 0) return false;
    const auto [end, ec] = std::from_chars(line.data(), line.data() + tab, id);
    if (ec != std::errc() || end != line.data() + tab) return false;
    text.clear();
    for (std::size_t i = tab + 1; i < line.size(); ++i) {
        if (line[i] != '\\') {
            text += line[i];
            continue;
        }
        if (++i == line.size()) return false;
        switch (line[i]) {
            case 'n':
                text += '\n';
                break;
            case 'r':
                text += '\r';
                break;
            case 't':
                text += '\t';
                break;
            case '\\':
                text += '\\';
                break;
            default:
                return false;
        }
    }
    return true;
}

}  // namespace detail

namespace {

std::unordered_map<int, std::string> loadTable() {
    std::unordered_map<int, std::string> table;
    for (const EmbeddedSource* s = kEmbeddedStringSources; s->name; ++s) {
        std::string error;
        const std::string_view bytes(reinterpret_cast<const char*>(s->data), s->size);
        const bool ok = parseStringSource(
            bytes, [&](int id, std::string text) { table[id] = std::move(text); }, &error);
        if (!ok) {
            // A malformed source is a build defect; stop loudly rather than show wrong texts.
            std::fprintf(stderr, "string table %s: malformed %s\n", s->name, error.c_str());
            std::abort();
        }
    }
    return table;
}

}  // namespace

const std::string& resourceString(int id) {
    static const std::unordered_map<int, std::string> table = loadTable();
    static const std::string empty;
    const auto it = table.find(id);
    return it == table.end() ? empty : it->second;
}

}  // namespace qingheng
