#include "description_file.h"

#include <fstream>
#include <iterator>
#include <set>

#include "escape.h"
#include "module_settings.h"

namespace tolm::sim {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool IsKeyChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

struct Pair {
    std::string key;
    std::string value;
};

// The quoted value starting after the opening quote at pos; pos ends past
// the closing quote.
std::string ReadQuoted(std::string_view line, std::size_t& pos) {
    const std::size_t start = pos;
    while (pos < line.size() && line[pos] != '"') pos += line[pos] == '\\' ? 2 : 1;
    if (pos >= line.size()) throw std::invalid_argument("missing closing quote");
    const std::string value = DecodeEscapes(line.substr(start, pos - start));
    ++pos;
    return value;
}

std::vector<Pair> SplitPairs(std::string_view line) {
    std::vector<Pair> pairs;
    std::size_t pos = 0;
    while (true) {
        while (pos < line.size() && IsBlank(line[pos])) ++pos;
        if (pos == line.size() || line[pos] == '#') return pairs;
        Pair pair;
        while (pos < line.size() && IsKeyChar(line[pos])) pair.key += line[pos++];
        if (pair.key.empty() || pos == line.size() || line[pos] != '=')
            throw std::invalid_argument("expected key=value at column " + std::to_string(pos + 1));
        ++pos;
        if (pos < line.size() && line[pos] == '"') {
            ++pos;
            pair.value = ReadQuoted(line, pos);
            if (pos < line.size() && !IsBlank(line[pos]))
                throw std::invalid_argument("blank expected after the closing quote");
        } else {
            while (pos < line.size() && !IsBlank(line[pos])) {
                if (line[pos] == '"')
                    throw std::invalid_argument("a quote inside an unquoted value of " + pair.key);
                pair.value += line[pos++];
            }
        }
        pairs.push_back(std::move(pair));
    }
}

}  // namespace

std::vector<Module> ParseDescription(std::string_view content, const std::string& file_name,
                                     const FleetDefaults& defaults) {
    std::vector<Module> modules;
    std::size_t line_number = 0;
    while (!content.empty()) {
        ++line_number;
        const std::size_t end = content.find('\n');
        const std::string_view line = content.substr(0, end);
        content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
        const std::string where = file_name + ":" + std::to_string(line_number) + ": ";
        try {
            if (line.find('\0') != std::string_view::npos)
                throw std::invalid_argument("NUL byte in the line");
            const std::vector<Pair> pairs = SplitPairs(line);
            if (pairs.empty()) continue;
            Module module = MakeModule(defaults, modules.size());
            std::set<std::string> seen;
            for (const Pair& pair : pairs) {
                if (!seen.insert(pair.key).second)
                    throw std::invalid_argument(pair.key + " given twice");
                ApplySetting(module, pair.key, pair.value);
            }
            modules.push_back(std::move(module));
        } catch (const std::invalid_argument& error) {
            throw DescriptionError(where + error.what());
        }
    }
    if (modules.empty()) throw DescriptionError(file_name + ": no modules described");
    return modules;
}

std::vector<Module> LoadDescriptionFile(const std::string& path, const FleetDefaults& defaults) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw DescriptionError(path + ": cannot read the description file");
    const std::string content{std::istreambuf_iterator<char>(file),
                              std::istreambuf_iterator<char>()};
    if (file.bad()) throw DescriptionError(path + ": cannot read the description file");
    return ParseDescription(content, path, defaults);
}

}  // namespace tolm::sim
