#include "ProgramDriver.h"

#include "Layout.h"

#include <algorithm>
#include <gtest/gtest.h>

Program& ProgramDriver::start(bool synchronousTiles)
{
    program.reset();
    program = std::make_unique<Program>(testScreen(), testFonts(), &events, &clock);
    if (synchronousTiles)
        program->map.pipeline.setMode(TilePipeline::Mode::synchronous);
    return *program;
}

void ProgramDriver::run(int extra)
{
    while (!events.queue.empty())
        program->pass();
    for (int i = 0; i < extra; ++i)
        program->pass();
}

void ProgramDriver::key(SDLKey k, SDLMod mod)
{
    events.key(k, true, mod);
    events.key(k, false, mod);
}

void ProgramDriver::tap(int x, int y)
{
    events.press(x, y);
    events.press(x, y, false);
}

SDL_Rect ProgramDriver::iconBox(ToolAction::Id action)
{
    for (const Layout::Icon& icon : Layout::icons)
        if (icon.action == action)
            return icon.box;
    ADD_FAILURE() << "no icon for action " << action;
    return SDL_Rect{};
}

void ProgramDriver::tapIcon(ToolAction::Id action)
{
    const SDL_Rect box = iconBox(action);
    tap(box.x + box.w / 2, box.y + box.h / 2);
}

void ProgramDriver::chooseLine(int line)
{
    const MenuPage& page = program->menu.model.pages[static_cast<std::size_t>(program->menu.model.current)];
    const int downs = (line - page.selected + page.size()) % page.size();
    for (int i = 0; i < downs; ++i)
        key(SDLK_DOWN);
    key(SDLK_RETURN);
    run();
}

void ProgramDriver::openPackage(const std::string& caption)
{
    for (int i = 0; i < ToolAction::count && program->toolBar.selectedIcon()->id != ToolAction::openPackage; ++i) {
        key(SDLK_RIGHT);
        run();
    }
    key(SDLK_RETURN);
    run();
    const auto& captions = program->mapUI.packageCaptions;
    const auto found = std::find(captions.begin(), captions.end(), caption);
    ASSERT_NE(found, captions.end()) << "no package " << caption;
    chooseLine(static_cast<int>(found - captions.begin()));
}
