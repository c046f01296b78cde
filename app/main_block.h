#pragma once
// The start-up order shared by both programs.
#include <exception>
#include <memory>

#include "game/zwiunit1.h"
#include "platform/app.h"
#include "platform/files.h"

namespace app {

inline int runProgram(int argc, char** argv, const game::Variant& variant) {
    // The game unit's start-up: its resources are there before anything else runs.
    game::InstallResources(variant);
    ZwiUnit1::initialization();
    plat::Application::initialize(argc, argv);
    plat::Application::setTitle(variant.appTitle);
    plat::finishStagedWrites();  // a save or list write that was killed: finished or undone
    std::unique_ptr<game::TForm1> form;
    try {
        form = std::make_unique<game::TForm1>(variant);
    } catch (const std::exception& e) {
        // The window could not be built (the instance guard found no usable block): the
        // user started us from a menu and must see why, and the start-up must not abort.
        plat::Application::showException(e.what());
        plat::Application::exitProcess(1);
    }
    // zwirlo3's description marks the window visible: it shows right after its create
    // handler, also in a copy that the instance guard is about to end.
    if (variant.zwirlo3) form->show();
    auto aboutBox = std::make_unique<game::TAboutBox>(variant);  // stays hidden
    int rc = plat::Application::run(*form);
    // An ordinary end leaves through FormClose or "&Afsluiten"; this path is the copy that
    // the instance guard ended, and it ends as quickly.
    plat::Application::exitProcess(rc);
}

}  // namespace app
