#ifndef TESSEL_TEST_SUPPORT_H
#define TESSEL_TEST_SUPPORT_H

#include "FakeClock.h"
#include "EventSource.h"
#include "Program.h"

#include <SDL.h>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Events handed out one per poll, in the order they were queued.
class ScriptedEvents : public EventSource {
public:
    bool poll(SDL_Event* event) override
    {
        if (queue.empty())
            return false;
        *event = queue.front();
        queue.pop_front();
        return true;
    }
    void key(SDLKey sym, bool down = true, SDLMod mod = KMOD_NONE);
    void press(int x, int y, bool down = true, Uint8 button = SDL_BUTTON_LEFT);
    void motion(int x, int y);
    void quit();

    std::deque<SDL_Event> queue;
};

// A file among the real-world archives beside the project (tests skip
// when they are absent).
std::string sharedFixture(const std::string& name);

// A fresh directory that is the working directory for the test's lifetime.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // Path of `name` inside the directory.
    std::string path(const std::string& name) const { return dir + "/" + name; }
    // Lays the shipped media, languages and settings into the directory.
    void layRunDir() const;
    // The names in the directory, hidden ones too, sorted.
    std::vector<std::string> files() const;

    std::string dir;

private:
    std::string previous;
};

std::string readFile(const std::string& path);
// Every path under `dir` with its size and contents' hash, to show that
// nothing outside what a test expects was touched.
std::map<std::string, std::string> treeState(const std::string& dir = ".");
// Runs `work` on a thread and polls for its end for at most `seconds` (a
// bound far above what the work needs): a hang aborts the test binary with
// `what` rather than stopping the suite with no word.
void endsWithin(double seconds, const std::string& what, const std::function<void()>& work);
void writeFile(const std::string& path, const std::string& text);
// A loopback TCP port nobody listened on a moment ago, outside the range
// the kernel hands out to clients.
std::string freeLoopbackPort();
bool fileExists(const std::string& path);

// The 320x240x16 screen of the dummy video driver, set up once per process.
SDL_Surface* testScreen();
// The three font sizes from the system font.
const Fonts& testFonts();
// Colour of the screen pixel at (x, y) as 8-bit red, green, blue.
void pixelAt(SDL_Surface* surface, int x, int y, Uint8* r, Uint8* g, Uint8* b);
// Fills the whole surface with one colour.
void fill(SDL_Surface* surface, Uint8 r, Uint8 g, Uint8 b);
// Number of pixels in `box` whose colour differs from (r, g, b).
int pixelsDifferentFrom(SDL_Surface* surface, SDL_Rect box, Uint8 r, Uint8 g, Uint8 b);

// Expects the rectangle to be (x, y, w, h).
void expectRect(const SDL_Rect& r, int x, int y, int w, int h);

// Decodes a screen pixel of a test tile (see makeTile): its id and the
// position inside it.
struct TileSpot {
    int id;
    int px; // column, to within 4 pixels
    int py; // row, to within 8 pixels
};
TileSpot spotAt(SDL_Surface* screen, int x, int y);

#endif
