// Card sets in use, drawing a card from the picture module, card-name hints, and the
// two card-set commands of zwirlo60.
#include "game/zwiunit1.h"
#include "platform/dialogs.h"

namespace game {

const CardSetConfig& TForm1::cardSet() const {
    if (variant.zwirlo3) return greekSet();
    // The check of "dieren" is the set in use, read at every call.
    return animals1 && animals1->checked() ? animalsSet() : birdsSet();
}

plat::Module TForm1::pictureModule() const {
    return variant.zwirlo3 ? plat::programModule() : pictureLibrary;
}

void TForm1::PaintCard(int position, const std::string& bitmapName) {
    PaintCard(position, plat::Bitmap::load(pictureModule(), bitmapName));
}

void TForm1::PaintCard(int position, const plat::Bitmap& bmp) {
    if (position < 0 || position >= N) return;
    images[static_cast<std::size_t>(position)]->setPicture(bmp);
}

void TForm1::SetCardHint(int position) {
    if (position < 0 || position >= N) return;
    plat::Image* img = images[static_cast<std::size_t>(position)];
    img->setHint(FHint(board[static_cast<std::size_t>(position)]));
    img->setShowHint(ShowHint1->checked());
}

std::string TForm1::FHint(std::int32_t picture) const { return cardName(cardSet(), picture); }

void TForm1::ShowHint1Click() {
    // Hints come back only on cards that show a picture, with the names they had.
    for (int p = 0; p < N; ++p) {
        if (!ShowHint1->checked())
            images[static_cast<std::size_t>(p)]->setShowHint(false);
        else if (!faceDown[static_cast<std::size_t>(p)])
            images[static_cast<std::size_t>(p)]->setShowHint(true);
    }
}

namespace {

// Switches zwirlo60 to a set. A library is never released: the handle of an earlier one
// simply goes out of use, and loading it again gives the same handle.
void switchTo(TForm1& f, bool animals) {
    f.animals1->setChecked(animals);
    f.birds1->setChecked(!animals);
    const CardSetConfig& set = animals ? animalsSet() : birdsSet();
    f.setCaption(set.setTitle);
    f.pictureLibrary = plat::loadLibrary(set.library);
    if (f.pictureLibrary == 0) {
        plat::showMessage("LoadLibrary mislukt!");
        return;
    }
    if (f.ListBox1->visible()) f.HallOfFameReshow();
}

}  // namespace

// Choosing the item of the set in use switches away from it.
void TForm1::animals1Click() { switchTo(*this, !animals1->checked()); }

void TForm1::birds1Click() { switchTo(*this, birds1->checked()); }

}  // namespace game
