// zwirlo3: 48 cards, the Greek alphabet, pictures built in.
#include "app/main_block.h"

int main(int argc, char** argv) { return app::runProgram(argc, argv, game::zwirlo3Variant()); }
