// Hall-of-fame lines: file text and the columns of the displays.
#include "game/hof.h"

#include <algorithm>

namespace game::hof {

std::string clicksFileName(int n) { return "hof" + std::to_string(n) + ".dat"; }
std::string timeFileName(int n) { return "hof" + std::to_string(n) + "b.dat"; }

std::vector<std::string_view> lineViews(std::string_view bytes) {
    std::vector<std::string_view> lines;
    const auto ends =
        std::count_if(bytes.begin(), bytes.end(), [](char c) { return c == '\n' || c == '\r'; });
    lines.reserve(static_cast<std::size_t>(ends) + 1);
    std::size_t start = 0, i = 0;
    while (i < bytes.size()) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(bytes.substr(start, i - start));
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

std::vector<std::string> splitLines(const std::string& bytes) {
    const std::vector<std::string_view> views = lineViews(bytes);
    return {views.begin(), views.end()};
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

std::string entryLine(std::int32_t score, const std::string& keyword, const std::string& name) {
    return std::to_string(score) + " " + keyword + " " + name;
}

int numberLength(std::string_view line, std::string_view keyword) {
    auto pos = line.find(keyword);
    if (pos == std::string_view::npos) return -1;
    return static_cast<int>(pos) - 1;
}

std::size_t padZeros(std::string_view line, std::string_view keyword, int width) {
    const auto pos = line.find(keyword);
    if (pos == std::string_view::npos) return 0;
    // A keyword right at the start has length -1 and takes one zero more.
    const int len = static_cast<int>(pos) - 1;
    return len < width ? static_cast<std::size_t>(width - len) : 0;
}

std::string padNumber(std::string_view line, std::string_view keyword, int width) {
    return std::string(padZeros(line, keyword, width), '0').append(line);
}

Columns splitColumns(const std::string& line, const std::string& keyword, int width) {
    if (line.find(keyword) == std::string::npos) return {"", line};
    const auto w = static_cast<std::size_t>(std::max(width, 0));
    const std::size_t cut = w + keyword.size() + 1;
    return {line.substr(0, std::min(w, line.size())) + " " + keyword,
            cut < line.size() ? line.substr(cut) : std::string()};
}

std::string placeRow(int place, const std::string& rest) {
    return std::to_string(place) + ". " + rest;
}

}  // namespace game::hof
