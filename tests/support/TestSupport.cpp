#include "TestSupport.h"

#include <SDL_ttf.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <algorithm>
#include <dirent.h>
#include <cstdio>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

std::vector<std::string> TempDir::files() const
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string sharedFixture(const std::string& name)
{
    return std::string(TESSEL_SOURCE_DIR) + "/../shared/fixtures/" + name;
}

TempDir::TempDir()
{
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd))
        throw std::runtime_error("getcwd");
    previous = cwd;
    char pattern[] = "/tmp/tessel-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp");
    dir = pattern;
    if (chdir(dir.c_str()) != 0)
        throw std::runtime_error("chdir");
}

TempDir::~TempDir()
{
    if (chdir(previous.c_str()) != 0)
        return;
    std::string command = "chmod -R u+w '" + dir + "' && rm -rf '" + dir + "'";
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "could not remove %s\n", dir.c_str());
}

void TempDir::layRunDir() const
{
    const std::string command = std::string("bash '") + TESSEL_SOURCE_DIR + "/scripts/lay-run-dir.sh' '" + dir +
                                "' '" + TESSEL_TEST_FONT + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("lay-run-dir.sh failed");
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Below the kernel's ephemeral range (32768 up on Linux): a port handed to
// another process stays free until it listens, and a client retrying a port
// nobody listens on can never be given that same port as its own and
// connect to itself. The start is random so that parallel tests differ.
std::string freeLoopbackPort()
{
    std::random_device seed;
    const int start = 20000 + static_cast<int>(seed() % 12000);
    for (int i = 0; i < 12000; ++i) {
        const int port = 20000 + (start - 20000 + i) % 12000;
        const int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        const bool free = bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(probe);
        if (free)
            return std::to_string(port);
    }
    throw std::runtime_error("no free loopback port");
}

void writeFile(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

namespace {

class SdlEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
        screen = SDL_SetVideoMode(320, 240, 16, SDL_SWSURFACE);
        ASSERT_NE(screen, nullptr) << SDL_GetError();
        ASSERT_EQ(TTF_Init(), 0);
        ASSERT_TRUE(fonts.open(TESSEL_TEST_FONT));
    }
    void TearDown() override
    {
        fonts.close();
        TTF_Quit();
        SDL_Quit();
    }

    SDL_Surface* screen = nullptr;
    Fonts fonts;
};

SdlEnvironment* environment()
{
    static SdlEnvironment* env =
        static_cast<SdlEnvironment*>(::testing::AddGlobalTestEnvironment(new SdlEnvironment));
    return env;
}

// Registered before main() runs the tests.
const bool registered = (environment(), true);

} // namespace

SDL_Surface* testScreen()
{
    return environment()->screen;
}

const Fonts& testFonts()
{
    return environment()->fonts;
}

void pixelAt(SDL_Surface* surface, int x, int y, Uint8* r, Uint8* g, Uint8* b)
{
    SDL_LockSurface(surface);
    const Uint8* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 value = 0;
    switch (surface->format->BytesPerPixel) {
    case 2:
        value = reinterpret_cast<const Uint16*>(row)[x];
        break;
    case 4:
        value = reinterpret_cast<const Uint32*>(row)[x];
        break;
    default:
        value = row[x];
        break;
    }
    SDL_UnlockSurface(surface);
    SDL_GetRGB(value, surface->format, r, g, b);
}

void fill(SDL_Surface* surface, Uint8 r, Uint8 g, Uint8 b)
{
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, r, g, b));
}

int pixelsDifferentFrom(SDL_Surface* surface, SDL_Rect box, Uint8 r, Uint8 g, Uint8 b)
{
    Uint8 wanted[3];
    {
        // Compare in the surface's own precision (16-bit drops low bits).
        const Uint32 mapped = SDL_MapRGB(surface->format, r, g, b);
        SDL_GetRGB(mapped, surface->format, &wanted[0], &wanted[1], &wanted[2]);
    }
    int count = 0;
    for (int y = box.y; y < box.y + box.h; ++y)
        for (int x = box.x; x < box.x + box.w; ++x) {
            Uint8 pr, pg, pb;
            pixelAt(surface, x, y, &pr, &pg, &pb);
            if (pr != wanted[0] || pg != wanted[1] || pb != wanted[2])
                ++count;
        }
    return count;
}

TileSpot spotAt(SDL_Surface* screen, int x, int y)
{
    Uint8 r, g, b;
    pixelAt(screen, x, y, &r, &g, &b);
    return TileSpot{r / 8, (g / 4) * 4, (b / 8) * 8};
}


void expectRect(const SDL_Rect& r, int x, int y, int w, int h)
{
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.w, w);
    EXPECT_EQ(r.h, h);
}

std::map<std::string, std::string> treeState(const std::string& dir)
{
    std::map<std::string, std::string> state;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        const std::string path = entry.path().string();
        if (entry.is_symlink())
            state[path] = "-> " + std::filesystem::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            state[path] = std::to_string(std::hash<std::string>()(readFile(path)));
        else
            state[path] = entry.is_directory() ? "dir" : "special";
    }
    return state;
}

void endsWithin(double seconds, const std::string& what, const std::function<void()>& work)
{
    std::atomic<bool> done(false);
    std::thread worker([&] {
        work();
        done = true;
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (!done) {
        std::fprintf(stderr, "%s did not end within %.0f s\n", what.c_str(), seconds);
        std::abort();
    }
    worker.join();
}
