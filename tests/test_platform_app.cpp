// Handler guard, menus, timers and list boxes on real (offscreen) widgets.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/dialogs.h"

using namespace plat;

TEST(Guard, ExceptionBecomesMessageBoxAndReturns) {
    DialogScript::clear();
    Application::setTitle("Titel");
    bool after = false;
    Application::guarded([] { throw std::runtime_error("kapot"); });
    after = true;
    ASSERT_TRUE(after);
    ASSERT_EQ(DialogScript::messages(), std::vector<std::string>{"kapot"});
    EXPECT_EQ(DialogScript::shown()[0].caption, "Titel");
}
