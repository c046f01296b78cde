// The three card sets: sizes, picture source, file number, titles, seeded hall-of-fame
// lines, and the card names (Windows-1252 bytes; accented letters written as escapes).
#include "game/cardsets.h"

namespace game {
namespace {

// The name tables keep six names a line, so a card number is easy to count off.
// clang-format off
const char* const kAnimalNames[] = {
    "olifantje Faa Mai", "leeuw", "orang oetan", "panter", "zeehond", "zebra",
    "neushoorn", "pinguin", "ijsbeer", "eekhoorn", "wallaby", "egel",
    "haas", "kat", "lori of honingpapegaai", "tijger", "hond", "hamster",
    "beer", "haan", "koe", "nijlpaard", "schildpad", "kangoeroe",
    "panda", "dolfijn", "koala", "vlinder", "krokodil", "goudvis",
    "cavia", "wasbeer", "vos", "wolf", "gorilla", "doodshoofdaapje",
    "edelhert", "papegaai", "krab", "kreeft", "kameleon", "cobra",
    "geit", "varken", "orka", "ezel", "vogelspin", "gordeldier",
    "zeeotter", "lama", "paard", "mara", "katten", "grasparkiet",
    "alpaca", "chimpansee", "steenbok", "hommel", "schelp", "olifant",
};

const char* const kBirdNames[] = {
    "kerkuil", "ijsvogel", "goudvink", "grote bonte specht", "fuut", "papegaaiduiker",
    "pimpelmees", "roodborst", "watersnip", "torenvalk", "eend", "koolmees",
    "kuifmees", "winterkoning", "merel", "huismus", "zilvermeeuw", "gele kwikstaart",
    "kluut", "hop", "bijeneter", "ekster", "blauwborst", "ooievaar",
    "staartmees", "boomklever", "zanglijster", "boomkruiper", "groene specht", "groenling",
    "vlaamse gaai", "vink", "putter", "visdiefje", "buizerd", "roerdomp",
    "baardmannetje", "appelvink", "houtduif", "turkse tortel", "zwarte roodstaart", "dodaars",
    "kauw", "ooievaar", "kraanvogels", "boerenzwaluw", "knobbelzwaan", "wielewaal",
    "koperwiek", "nijlgans", "lepelaar", "flamingo", "scholekster", "waterhoen",
    "spreeuw", "meerkoet", "wintertaling", "pestvogel", "blauwe reiger", "bonte kraai",
};

const char* const kGreekNames[] = {
    "alfa", "b\xE8""ta", "gamma", "delta", "epsilon", "z\xE8""ta",
    "\xE8""ta", "th\xE8""ta", "iota", "kappa", "lambda", "mu",
    "nu", "xi", "omikron", "pi", "rho", "sigma",
    "tau", "ypsilon", "phi", "chi", "psi", "omega",
    "Alfa", "B\xE8""ta", "Gamma", "Delta", "Epsilon", "Z\xE8""ta",
    "\xC8""ta", "Th\xE8""ta", "Iota", "Kappa", "Lambda", "Mu",
    "Nu", "Xi", "Omikron", "Pi", "Rho", "Sigma",
    "Tau", "Ypsilon", "Phi", "Chi", "Psi", "Omega",
};
// clang-format on

}  // namespace

const CardSetConfig& animalsSet() {
    static const CardSetConfig set{"animals",
                                   60,
                                   30,
                                   6,
                                   10,
                                   "beastpix60.dll",
                                   14,
                                   "Zwirlo-60: Dieren",
                                   "134 klikken Zandor Quibbe",
                                   "303 seconden Zandor Quibbe",
                                   kAnimalNames};
    return set;
}

const CardSetConfig& birdsSet() {
    static const CardSetConfig set{"birds",
                                   60,
                                   30,
                                   6,
                                   10,
                                   "wingpix60.dll",
                                   15,
                                   "Zwirlo-60: Vogels",
                                   "186 klikken Zandor Quibbe",
                                   "416 seconden Zandor Quibbe",
                                   kBirdNames};
    return set;
}

const CardSetConfig& greekSet() {
    static const CardSetConfig set{"greek",
                                   48,
                                   24,
                                   6,
                                   8,
                                   nullptr,
                                   16,
                                   "Zwirlo: Grieks Alfabet",
                                   "120 klikken Zandor Quibbe",
                                   "257 seconden Zandor Quibbe",
                                   kGreekNames};
    return set;
}

std::string cardName(const CardSetConfig& set, int picture) {
    if (picture < 1 || picture > set.cardCount) return {};
    return set.names[picture - 1];
}

}  // namespace game
