#ifndef TESSEL_PACK_FILES_H
#define TESSEL_PACK_FILES_H

#include <string>

// Small file-system helpers of the package tools.
namespace Files {

// Creates the directory; true when it exists afterwards.
bool makeDir(const std::string& path);
// Removes a file or a directory tree (quietly when it is not there).
void removeTree(const std::string& path);
bool writeBytes(const std::string& path, const std::string& bytes);
bool readBytes(const std::string& path, std::string* bytes);
std::string withSlash(std::string dir);
std::string withoutSlash(std::string dir);

} // namespace Files

#endif
