#ifndef TESSEL_SAFEFILE_H
#define TESSEL_SAFEFILE_H

#include <string>

// Opening and writing files so that a crash never leaves a half-written
// one in use, and so that whatever sits at a path (a link, a FIFO, a
// device) is never opened for writing nor waited on.
namespace SafeFile {

// Opens a regular file for reading, without blocking (a FIFO is refused,
// not waited on); the type is checked on the open descriptor. With
// followLinks false a link is refused too. -1 when it is not a regular
// file or cannot be opened.
int openRegular(const std::string& path, bool followLinks = true);
// Reads a whole regular file of at most `limit` bytes.
bool readRegular(const std::string& path, std::size_t limit, std::string* bytes);
// Creates `path` afresh (anything left there is removed first, never
// written through) with `bytes`, synced; on failure removes what it made.
bool writeDurably(const std::string& path, const std::string& bytes);
// Copies a regular file into a fresh `to`, synced; on failure removes `to`.
bool copyDurably(const std::string& from, const std::string& to, bool followLinks = true);
// Writes all of `data` to `fd`, through interruptions and short writes.
bool writeAll(int fd, const char* data, std::size_t size);
// A file: URI for SQLite that asks for the file as immutable (no locks, no
// journal: read in place, never written).
std::string immutableUri(const std::string& path);
// Syncs the directory holding `path`, so a rename in it lasts.
void syncDirectoryOf(const std::string& path);
// The modification time of a regular file, links not followed; -1 when
// there is none.
long long modifiedTime(const std::string& path);
// What is at a path, decided once for the viewer and the toolbox. A name
// is taken when anything at all is there, a dangling link included (never
// followed: whatever is made there is made afresh). A folder is looked at
// through links (maps/ or a package may be a link to another disk: reading
// through one is the user's choice).
bool present(const std::string& path);
bool isDirectory(const std::string& path);

} // namespace SafeFile

#endif
