// zwirlo60: 60 cards, animals and European birds from the picture libraries.
#include "app/main_block.h"

int main(int argc, char** argv) { return app::runProgram(argc, argv, game::zwirlo60Variant()); }
