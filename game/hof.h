#pragma once
// Hall-of-fame text: file names, reading and writing the lines, and the column work of the
// displays ("134 klikken Zandor Quibbe" -> "134" and " Zandor Quibbe"). Pure functions.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace game::hof {

inline const std::string kClicksKeyword = "klikken";
inline const std::string kTimeKeyword = "seconden";

// Far beyond any real list (some 40 000 entries), small enough to read and show at once.
// A longer file is neither read nor written.
constexpr std::size_t kMaxFileBytes = 1 << 20;

std::string clicksFileName(int fileNumber);  // "hof14.dat"
std::string timeFileName(int fileNumber);    // "hof14b.dat"

// CR, LF and CR LF all end a line; a last line without an end still counts. Nothing is cut.
std::vector<std::string> splitLines(const std::string& bytes);
// The same lines as views into `bytes`: a file at the cap may hold a million empty lines.
std::vector<std::string_view> lineViews(std::string_view bytes);
// Every line, the last one too, ended by CR LF.
std::string joinLines(const std::vector<std::string>& lines);

// "9 klikken Ann": score, blank, keyword, blank, name.
std::string entryLine(std::int32_t score, const std::string& keyword, const std::string& name);

// Characters in front of the keyword's first occurrence, less the blank: the width of the
// number. -1 for a line without the keyword (hand-edited files only).
int numberLength(std::string_view line, std::string_view keyword);
// The widest number over all lines; at least 0. Lines without the keyword do not count.
template <typename Line = std::string>
int numberWidth(const std::vector<Line>& lines, std::string_view keyword) {
    int w = 0;
    for (const auto& l : lines) w = std::max(w, numberLength(l, keyword));
    return w;
}
// How many zeros go in front for the number to be `width` wide. None for a line without the
// keyword (no count of zeros could ever give it a number).
std::size_t padZeros(std::string_view line, std::string_view keyword, int width);
// Zeros in front until the number is `width` wide. A line without the keyword stays as it is.
std::string padNumber(std::string_view line, std::string_view keyword, int width);

// A padded line split into its shown columns: the score ("009 klikken") and the rest (" Ann").
// A line without the keyword is shown as it stands, with an empty score column.
struct Columns {
    std::string score;
    std::string rest;
};
Columns splitColumns(const std::string& paddedLine, const std::string& keyword, int width);

// "1. " in front of a row's rest: place number, full stop, then the rest's own blank.
std::string placeRow(int place, const std::string& rest);

}  // namespace game::hof
