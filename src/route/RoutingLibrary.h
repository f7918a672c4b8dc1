#ifndef TESSEL_ROUTINGLIBRARY_H
#define TESSEL_ROUTINGLIBRARY_H

#include <mutex>
#include <string>

struct _Routino_Profile;
struct _Routino_Translation;

// The routing library keeps its profiles, its translations and its error
// number in globals: every call into it holds lock(), so one route is
// computed at a time whichever thread asks.
namespace RoutingLibrary {

extern const char* const shippedProfiles;
extern const char* const shippedTranslations;

std::mutex& lock();
// Loads the profiles from `profilesFile` (again only when the file
// changed) and the translations the library needs to describe points; with
// lock() held. False with the reason when either does not load.
bool prepare(const std::string& profilesFile, std::string* why);
_Routino_Profile* profile(const char* name);
_Routino_Translation* translation();

} // namespace RoutingLibrary

#endif
