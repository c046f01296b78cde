#pragma once
// Card names lettered on the pictures, Windows-1252 like the game's hint tables (a test
// holds the two to each other byte for byte). Index 0 is picture 1.
namespace pix {

inline const char* const kAnimalNames[60] = {
    "olifantje Faa Mai", "leeuw", "orang oetan", "panter", "zeehond", "zebra", "neushoorn",
    "pinguin", "ijsbeer", "eekhoorn", "wallaby", "egel", "haas", "kat",
    "lori of honingpapegaai", "tijger", "hond", "hamster", "beer", "haan", "koe", "nijlpaard",
    "schildpad", "kangoeroe", "panda", "dolfijn", "koala", "vlinder", "krokodil", "goudvis",
    "cavia", "wasbeer", "vos", "wolf", "gorilla", "doodshoofdaapje", "edelhert", "papegaai",
    "krab", "kreeft", "kameleon", "cobra", "geit", "varken", "orka", "ezel", "vogelspin",
    "gordeldier", "zeeotter", "lama", "paard", "mara", "katten", "grasparkiet", "alpaca",
    "chimpansee", "steenbok", "hommel", "schelp", "olifant"};

inline const char* const kBirdNames[60] = {
    "kerkuil", "ijsvogel", "goudvink", "grote bonte specht", "fuut", "papegaaiduiker",
    "pimpelmees", "roodborst", "watersnip", "torenvalk", "eend", "koolmees", "kuifmees",
    "winterkoning", "merel", "huismus", "zilvermeeuw", "gele kwikstaart", "kluut", "hop",
    "bijeneter", "ekster", "blauwborst", "ooievaar", "staartmees", "boomklever", "zanglijster",
    "boomkruiper", "groene specht", "groenling", "vlaamse gaai", "vink", "putter", "visdiefje",
    "buizerd", "roerdomp", "baardmannetje", "appelvink", "houtduif", "turkse tortel",
    "zwarte roodstaart", "dodaars", "kauw", "ooievaar", "kraanvogels", "boerenzwaluw",
    "knobbelzwaan", "wielewaal", "koperwiek", "nijlgans", "lepelaar", "flamingo",
    "scholekster", "waterhoen", "spreeuw", "meerkoet", "wintertaling", "pestvogel",
    "blauwe reiger", "bonte kraai"};

inline const char* const kGreekNames[48] = {
    "alfa", "b\xE8ta", "gamma", "delta", "epsilon", "z\xE8ta", "\xE8ta", "th\xE8ta", "iota",
    "kappa", "lambda", "mu", "nu", "xi", "omikron", "pi", "rho", "sigma", "tau", "ypsilon",
    "phi", "chi", "psi", "omega", "Alfa", "B\xE8ta", "Gamma", "Delta", "Epsilon", "Z\xE8ta",
    "\xC8ta", "Th\xE8ta", "Iota", "Kappa", "Lambda", "Mu", "Nu", "Xi", "Omikron", "Pi", "Rho",
    "Sigma", "Tau", "Ypsilon", "Phi", "Chi", "Psi", "Omega"};

}  // namespace pix
