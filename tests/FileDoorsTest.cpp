// Outside files come in through one door: SafeFile (a regular file, checked
// on the descriptor it opened) and the archive room's guarded SQLite open.
// Opening by name anywhere else could wait on a FIFO or read a device.
#include "TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <string>

TEST(FileDoors, OutsideFilesAreOpenedOnlyWhereTheDoorIs)
{
    // The files allowed to open by name, and why.
    const std::map<std::string, std::string> owners = {
        {"src/config/SafeFile.cpp", "the door itself"},
        {"src/archive/MBTilesArchive.cpp", "the guarded SQLite open: immutable, a step budget, interruptible"},
        {"src/search/SearchIndex.cpp", "the search index, opened immutable with a step budget as archives are"},
        {"src/search/IndexWriter.cpp", "the index it writes"},
        {"tools/pack/area/MBTilesWriter.cpp", "the archive it writes"},
        {"src/ui/Battery.cpp", "the kernel's power-supply files"},
    };
    const std::regex byName(R"(std::ifstream|\bfopen\s*\(|sqlite3_open)");
    int files = 0;
    for (const char* room : {"/src", "/tools"}) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(TESSEL_SOURCE_DIR) + room)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h")
                continue;
            ++files;
            const std::string path = std::filesystem::relative(entry.path(), TESSEL_SOURCE_DIR).string();
            if (owners.count(path))
                continue;
            const std::string text = readFile(entry.path().string());
            std::smatch found;
            EXPECT_FALSE(std::regex_search(text, found, byName))
                << path << " opens a file by name (" << found.str() << "): use SafeFile or MBTilesArchive::open";
        }
    }
    EXPECT_GT(files, 100);
}
