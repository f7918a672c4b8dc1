#ifndef TESSEL_USERDIRECTORY_H
#define TESSEL_USERDIRECTORY_H

#include <string>

// Where a run keeps its files. With --dir, that directory; else the current
// directory when it holds a tessel.conf (a run directory laid by hand or by
// scripts/run.sh); else, for an installed copy, $XDG_DATA_HOME/tessel
// (~/.local/share/tessel). Media and languages come from the installed
// share directory unless the directory has its own.
namespace UserDirectory {

// The installed share directory for a binary at `executable`
// (<prefix>/bin/tessel -> <prefix>/share/tessel), or empty when there is none.
std::string installedData(const std::string& executable);
// The directory to use and whether it must be laid out; false with *error
// when --dir names no directory.
bool choose(const std::string& dirOption, const std::string& dataDir, std::string* dir, std::string* error);
// Gives `dir` what a run needs and keeps everything already there:
// tessel.conf copied from the share directory, maps/ and tracks/, and links
// to the shared media/ and lang/ of this installation (made again when the
// installation moved; real directories there are the user's and win).
bool layOut(const std::string& dir, const std::string& dataDir, std::string* error);

} // namespace UserDirectory

#endif
