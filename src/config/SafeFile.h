#ifndef TESSEL_SAFEFILE_H
#define TESSEL_SAFEFILE_H

#include <string>

// Writing files so that a crash never leaves a half-written one in use.
namespace SafeFile {

// Writes `bytes` to `path` and syncs them; on failure removes `path`.
bool writeDurably(const std::string& path, const std::string& bytes);
// Copies a file and syncs the copy; on failure removes `to`.
bool copyDurably(const std::string& from, const std::string& to);
// Syncs the directory holding `path`, so a rename in it lasts.
void syncDirectoryOf(const std::string& path);
// The modification time of a regular file; -1 when there is none.
long long modifiedTime(const std::string& path);

} // namespace SafeFile

#endif
