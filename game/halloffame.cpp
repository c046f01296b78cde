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
    std::vector<plat::TextKey> keys(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) keys[i].assign(lines[i]);
    std::vector<std::size_t> order(lines.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return plat::TextKey::compare(keys[a], 0, keys[b], 0) < 0;
    });
    std::vector<std::string> sorted;
    sorted.reserve(lines.size());
    for (std::size_t i : order) sorted.push_back(std::move(lines[i]));
    lines = std::move(sorted);
}

// A file's text. Only a missing file reads as empty: one that exists but cannot be read (or
// is too long to be read whole) raises, so that nothing is written over it.
std::string load(const std::string& fileName) {
    std::string bytes;
    const int err = plat::readFile(fileName, bytes, hof::kMaxFileBytes);
    if (err == ENOENT) return {};
    if (err)
        throw plat::Exception("Cannot open file \"" + plat::absolutePath(fileName) + "\". " +
                              plat::systemErrorText(err));
    return bytes;
}

// The file's lines in the names list's order, with one line more; it goes after the lines
// it equals, as the list adds it.
void addSorted(std::vector<std::string>& lines, const std::string& line) {
    sortAsNamesList(lines);
    lines.insert(std::upper_bound(lines.begin(), lines.end(), line,
                                  [](const std::string& a, const std::string& b) {
                                      return plat::compareTextIgnoreCase(a, b) < 0;
                                  }),
                 line);
}

// The lines, in their order, replace the file. A file the display could not read back is
// not written either, nor one whose reading was not done under the folder's lock (`locked`:
// why the lock could not be had, or 0).
void write(const std::vector<std::string>& lines, const std::string& fileName, int locked) {
    const std::string bytes = hof::joinLines(lines);
    const int err = locked                              ? locked
                    : bytes.size() > hof::kMaxFileBytes ? EFBIG
                                                        : plat::writeFileReplacing(fileName, bytes);
    if (err)
        throw plat::Exception("Cannot create file \"" + plat::absolutePath(fileName) + "\". " +
                              plat::systemErrorText(err));
}

// The first `count` lines (file order) in the order of the padded lines; equal ones keep the
// names list's order, which is text order and then file order. The padded lines are compared,
// never built: one long number would make every one of them long.
std::vector<std::size_t> firstPadded(const std::vector<std::string_view>& lines,
                                     const std::string& keyword, int width, std::size_t count) {
    struct Pick {
        std::size_t index, zeros;
        plat::TextKey key;
    };
    std::vector<Pick> best;  // in display order
    Pick next;
    auto before = [&](const Pick& a, const Pick& b) {
        if (int c = plat::TextKey::compare(a.key, a.zeros, b.key, b.zeros)) return c < 0;
        if (int c = plat::TextKey::compare(a.key, 0, b.key, 0)) return c < 0;
        return a.index < b.index;
    };
    bool lastSkipped = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // A line like the one before, which did not make the list, does not make it either.
        if (lastSkipped && lines[i] == lines[i - 1]) continue;
        lastSkipped = false;
        next.index = i;
        next.zeros = hof::padZeros(lines[i], keyword, width);
        next.key.assign(lines[i]);
        if (best.size() == count && !before(next, best.back())) {
            lastSkipped = true;
            continue;
        }
        auto at = best.begin();
        while (at != best.end() && !before(next, *at)) ++at;
        best.insert(at, next);
        if (best.size() > count) best.pop_back();
    }
    std::vector<std::size_t> rows;
    for (const Pick& p : best) rows.push_back(p.index);
    return rows;
}

void display(TForm1& f, const HofList& list) {
    plat::ListBox* names = f.ListBox1;
    plat::ListBox* numbers = f.ListBox2;
    // The seed goes into the file as it stands: no other copy writes it in between.
    plat::DataLock lock;
    const int locked = lock.acquire();
    // Read first: a list that cannot be read leaves the rows of the last display.
    std::string bytes = load(list.fileName);
    std::vector<std::string_view> lines = hof::lineViews(bytes);
    names->clear();
    numbers->clear();

    // The seeded line comes back at every display, also after someone removed it.
    if (std::find(lines.begin(), lines.end(), list.seed) == lines.end()) {
        std::vector<std::string> all(lines.begin(), lines.end());
        addSorted(all, list.seed);
        write(all, list.fileName, locked);
        bytes = load(list.fileName);
        lines = hof::lineViews(bytes);
    }

    if (f.hofVisible) {
        names->setVisible(true);
        numbers->setVisible(true);
    }

    // Zero padding gives every number the same width, so text order is score order and
    // equal scores fall in the order of the names. The rows are added in that order, unsorted:
    // a hand-edited line without a score (whose column is empty) cannot shift the rows below.
    const bool namesSorted = names->sorted, numbersSorted = numbers->sorted;
    names->sorted = numbers->sorted = false;
    const int w = hof::numberWidth(lines, list.keyword);
    int place = 0;
    for (std::size_t i : firstPadded(lines, list.keyword, w, 10)) {
        const hof::Columns c =
            hof::splitColumns(hof::padNumber(lines[i], list.keyword, w), list.keyword, w);
        names->add(hof::placeRow(++place, c.rest));
        numbers->add(c.score);
    }
    names->sorted = namesSorted;
    numbers->sorted = numbersSorted;
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

// Adds one entry to a list file: the file as it stands, plus the line, rewritten whole. The
// folder's lock keeps another copy's entry from falling between the reading and the writing.
void addEntry(const std::string& fileName, const std::string& line) {
    plat::DataLock lock;
    const int locked = lock.acquire();
    std::vector<std::string> lines = hof::splitLines(load(fileName));
    addSorted(lines, line);
    write(lines, fileName, locked);
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
