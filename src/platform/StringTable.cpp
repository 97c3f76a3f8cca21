#include "platform/StringTable.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <unordered_map>
#include <vector>

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

// Ids below this are found by indexing; the table's ids lie far below it.
constexpr int kIndexedIds = 1 << 16;

struct Table {
    std::unordered_map<int, std::string> texts;
    std::vector<const std::string*> byId;  // ids 0 … up to kIndexedIds - 1, null where none
};

Table loadTable() {
    Table table;
    for (const EmbeddedSource* s = kEmbeddedStringSources; s->name; ++s) {
        std::string error;
        const std::string_view bytes(reinterpret_cast<const char*>(s->data), s->size);
        const bool ok = parseStringSource(
            bytes, [&](int id, std::string text) { table.texts[id] = std::move(text); }, &error);
        if (!ok) {
            // A malformed source is a build defect; stop loudly rather than show wrong texts.
            std::fprintf(stderr, "string table %s: malformed %s\n", s->name, error.c_str());
            std::abort();
        }
    }
    for (const auto& [id, text] : table.texts) {
        if (id < 0 || id >= kIndexedIds) continue;
        if (table.byId.size() <= static_cast<std::size_t>(id)) table.byId.resize(static_cast<std::size_t>(id) + 1);
        table.byId[static_cast<std::size_t>(id)] = &text;
    }
    return table;
}

}  // namespace

// Every chart looks up a few dozen texts, so most ids are found by indexing, not hashing.
const std::string& resourceString(int id) {
    static const Table table = loadTable();
    static const std::string empty;
    if (id >= 0 && static_cast<std::size_t>(id) < table.byId.size()) {
        const std::string* text = table.byId[static_cast<std::size_t>(id)];
        return text ? *text : empty;
    }
    const auto it = table.texts.find(id);
    return it == table.texts.end() ? empty : it->second;
}

}  // namespace qingheng
