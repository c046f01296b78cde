// The two hall-of-fame displays (best by clicks, best by time) and the top-10 entry at the
// end of a solo game.
#include <algorithm>
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

// A list that is missing or cannot be read loads as nothing.
void loadInto(plat::ListBox* names, const std::string& fileName) {
    std::string bytes;
    if (plat::readFile(fileName, bytes) != 0) return;
    for (const auto& line : hof::splitLines(bytes)) names->add(line);
}

// The names list, in its own order, replaces the file.
void writeFrom(const plat::ListBox* names, const std::string& fileName) {
    if (int err = plat::writeFileReplacing(fileName, hof::joinLines(names->items())))
        throw plat::Exception("Cannot create file \"" + plat::absolutePath(fileName) + "\". " +
                              plat::systemErrorText(err));
}

void display(TForm1& f, const HofList& list) {
    plat::ListBox* names = f.ListBox1;
    plat::ListBox* numbers = f.ListBox2;
    names->clear();
    numbers->clear();
    loadInto(names, list.fileName);

    // The seeded line comes back at every display, also after someone removed it.
    const auto& items = names->items();
    if (std::find(items.begin(), items.end(), list.seed) == items.end()) {
        names->add(list.seed);
        writeFrom(names, list.fileName);
        names->clear();
        loadInto(names, list.fileName);
    }

    if (f.hofVisible) {
        names->setVisible(true);
        numbers->setVisible(true);
    }

    // Zero padding gives every number the same width, so text order is score order and
    // equal scores fall in the order of the names.
    const int w = hof::numberWidth(names->items(), list.keyword);
    for (int row = 0; row < names->count(); ++row)
        names->setItem(row, hof::padNumber(names->item(row), list.keyword, w));

    std::vector<std::string> scratch = names->items();
    std::stable_sort(scratch.begin(), scratch.end(), [](const auto& a, const auto& b) {
        return plat::compareTextIgnoreCase(a, b) < 0;
    });

    names->clear();
    numbers->clear();
    const std::size_t shown = std::min<std::size_t>(10, scratch.size());
    for (std::size_t i = 0; i < shown; ++i) names->add(scratch[i]);

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
void addEntry(plat::ListBox* names, const std::string& fileName, const std::string& line) {
    names->clear();
    loadInto(names, fileName);
    names->add(line);
    writeFrom(names, fileName);
    names->clear();
    loadInto(names, fileName);
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
                name = text;
                if (text.size() >= 2 && text.size() <= 20) break;
            }
            const CardSetConfig& set = cardSet();
            addEntry(ListBox1, hof::clicksFileName(set.fileNumber),
                     hof::entryLine(clicks, hof::kClicksKeyword, name));
            // The seconds as they stand now: the clock may have ticked while the dialog was open.
            addEntry(ListBox1, hof::timeFileName(set.fileNumber),
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
