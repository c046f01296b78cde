// The two hall-of-fame displays (best by clicks, best by time) and the top-10 entry at the
// end of a solo game.
#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "game/hof.h"
#include "game/zwiunit1.h"
#include "platform/dialogs.h"
#include "platform/exception.h"
#include "platform/files.h"
#include "platform/text.h"

namespace game {
namespace {

struct HofList {
    std::string fileName;
    std::string seed;
    const std::string& keyword;
};

HofList clicksList(const CardSetConfig& set) {
    return {hof::clicksFileName(set.fileNumber), set.hofClicksSeed, hof::kClicksKeyword};
}

HofList timeList(const CardSetConfig& set) {
    return {hof::timeFileName(set.fileNumber), set.hofTimeSeed, hof::kTimeKeyword};
}

// The order of the names list: text order ignoring case, equal lines in file order.
void sortAsNamesList(std::vector<std::string>& lines) {
    const plat::TextKeys keys(lines);
    std::vector<std::size_t> order(lines.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys.compare(a, b) < 0; });
    std::vector<std::string> sorted;
    sorted.reserve(lines.size());
    for (std::size_t i : order) sorted.push_back(std::move(lines[i]));
    lines = std::move(sorted);
}

// A file's lines as the names list would hold them. Only a missing file reads as empty: one
// that exists but cannot be read (or is too long to be read whole) raises, so that nothing
// is written over it.
std::vector<std::string> load(const std::string& fileName) {
    std::string bytes;
    const int err = plat::readFile(fileName, bytes, hof::kMaxFileBytes);
    if (err == ENOENT) return {};
    if (err)
        throw plat::Exception("Cannot open file \"" + plat::absolutePath(fileName) + "\". " +
                              plat::systemErrorText(err));
    std::vector<std::string> lines = hof::splitLines(bytes);
    sortAsNamesList(lines);
    return lines;
}

// A line added to the names list goes after the lines it equals.
void addSorted(std::vector<std::string>& lines, const std::string& line) {
    lines.insert(std::upper_bound(lines.begin(), lines.end(), line,
                                  [](const std::string& a, const std::string& b) {
                                      return plat::compareTextIgnoreCase(a, b) < 0;
                                  }),
                 line);
}

// The lines, in their order, replace the file. A file the display could not read back is
// not written either.
void write(const std::vector<std::string>& lines, const std::string& fileName) {
    const std::string bytes = hof::joinLines(lines);
    const int err = bytes.size() > hof::kMaxFileBytes
                        ? EFBIG
                        : plat::writeFileReplacing(fileName, bytes);
    if (err)
        throw plat::Exception("Cannot create file \"" + plat::absolutePath(fileName) + "\". " +
                              plat::systemErrorText(err));
}

// The first `count` lines in the order of the padded lines, equal ones in list order. The
// padded lines are compared, never built: one long number would make every one of them long.
std::vector<std::size_t> firstPadded(const std::vector<std::string>& lines,
                                     const std::string& keyword, int width, std::size_t count) {
    const plat::TextKeys keys(lines);
    std::vector<std::size_t> zeros(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) zeros[i] = hof::padZeros(lines[i], keyword, width);
    auto before = [&](std::size_t a, std::size_t b) {
        return keys.compare(a, zeros[a], b, zeros[b]) < 0;
    };
    std::vector<std::size_t> best;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (best.size() == count && !before(i, best.back())) continue;
        best.insert(std::upper_bound(best.begin(), best.end(), i, before), i);
        if (best.size() > count) best.pop_back();
    }
    return best;
}

void display(TForm1& f, const HofList& list) {
    plat::ListBox* names = f.ListBox1;
    plat::ListBox* numbers = f.ListBox2;
    names->clear();
    numbers->clear();
    std::vector<std::string> lines = load(list.fileName);

    // The seeded line comes back at every display, also after someone removed it.
    if (std::find(lines.begin(), lines.end(), list.seed) == lines.end()) {
        addSorted(lines, list.seed);
        write(lines, list.fileName);
        lines = load(list.fileName);
    }

    if (f.hofVisible) {
        names->setVisible(true);
        numbers->setVisible(true);
    }

    // Zero padding gives every number the same width, so text order is score order and
    // equal scores fall in the order of the names.
    const int w = hof::numberWidth(lines, list.keyword);
    for (std::size_t i : firstPadded(lines, list.keyword, w, 10))
        names->add(hof::padNumber(lines[i], list.keyword, w));

    // The score column is filled row by row, so a hand-edited line without a score (whose
    // column is empty) cannot shift the rows below it.
    const bool wasSorted = numbers->sorted;
    numbers->sorted = false;
    for (int row = 0; row < names->count(); ++row) {
        const hof::Columns c = hof::splitColumns(names->item(row), list.keyword, w);
        names->setItem(row, c.rest);
        numbers->add(c.score);
    }
    numbers->sorted = wasSorted;
    for (int row = 0; row < names->count(); ++row)
        names->setItem(row, hof::placeRow(row + 1, names->item(row)));
}

// The score on the last shown row, without its keyword. A row that does not read as a number
// (a hand-edited file) sets no bar, as a list of fewer than ten does not.
bool threshold(const plat::ListBox* numbers, const std::string& keyword, std::int32_t& value) {
    if (numbers->count() == 0) return false;
    const std::string& row = numbers->item(std::min(9, numbers->count() - 1));
    const std::size_t cut = keyword.size() + 1;
    if (row.size() < cut) return false;
    try {
        value = plat::strToInt(row.substr(0, row.size() - cut));
        return true;
    } catch (const plat::Exception&) {
        return false;
    }
}

// Adds one entry to a list file: the file as it stands, plus the line, rewritten whole.
void addEntry(const std::string& fileName, const std::string& line) {
    std::vector<std::string> lines = load(fileName);
    addSorted(lines, line);
    write(lines, fileName);
}

}  // namespace

void TForm1::HallOfFame1Click() {
    hofShowsClicks = true;
    display(*this, clicksList(cardSet()));
}

void TForm1::time1Click() {
    hofShowsClicks = false;
    display(*this, timeList(cardSet()));
}

void TForm1::clicks1Click() { HallOfFame1Click(); }

// After a card-set switch, the list on show is shown again for the new set.
void TForm1::HallOfFameReshow() {
    if (!ListBox1->visible()) return;
    if (hofShowsClicks)
        HallOfFame1Click();
    else
        time1Click();
}

void TForm1::TopTenEntry() {
    const std::int32_t clicks = LabelValue(Label4);
    hofVisible = false;
    try {
        HallOfFame1Click();
        std::int32_t clicksBar = 0, timeBar = 0;
        const bool hasClicksBar = threshold(ListBox2, hof::kClicksKeyword, clicksBar);
        time1Click();
        const bool hasTimeBar = threshold(ListBox2, hof::kTimeKeyword, timeBar);
        const std::int32_t seconds = LabelValue(Label5);

        const bool offered = !hasClicksBar || !hasTimeBar || clicks <= clicksBar ||
                             seconds <= timeBar || ListBox1->count() < 10 || ListBox2->count() < 10;
        if (offered) {
            const std::string caption =
                variant.zwirlo3 ? "U bent een Top10-speler!" : "Je bent een Top10-speler";
            std::string text, name;
            while (plat::inputQuery(caption, "Wat is je naam (max 20 tekens)?", text)) {
                text = plat::oneLine(text);  // one entry, one line
                name = text;
                if (text.size() >= 2 && text.size() <= 20) break;
            }
            const CardSetConfig& set = cardSet();
            addEntry(hof::clicksFileName(set.fileNumber),
                     hof::entryLine(clicks, hof::kClicksKeyword, name));
            // The seconds as they stand now: the clock may have ticked while the dialog was open.
            addEntry(hof::timeFileName(set.fileNumber),
                     hof::entryLine(LabelValue(Label5), hof::kTimeKeyword, name));
            ListBox1->setVisible(true);
            hofVisible = true;
            HallOfFame1Click();
        }
    } catch (...) {
        hofVisible = true;
        throw;
    }
    hofVisible = true;
}

}  // namespace game
