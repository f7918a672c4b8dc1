#include "RoutingLibrary.h"

#include <routino.h>

namespace RoutingLibrary {

const char* const shippedProfiles = "/usr/share/routino/profiles.xml";
const char* const shippedTranslations = "/usr/share/routino/translations.xml";

namespace {
std::string loadedProfiles;
Routino_Translation* english = nullptr;
} // namespace

std::mutex& lock()
{
    static std::mutex m;
    return m;
}

bool prepare(const std::string& profilesFile, std::string* why)
{
    if (Routino_CheckAPIVersion() != ROUTINO_ERROR_NONE) {
        *why = "the routing library is not the version this program was built for";
        return false;
    }
    if (loadedProfiles != profilesFile) {
        if (!loadedProfiles.empty())
            Routino_FreeXMLProfiles();
        loadedProfiles.clear();
        if (Routino_ParseXMLProfiles(profilesFile.c_str()) != 0) {
            *why = profilesFile + ": " +
                   (Routino_errno == ROUTINO_ERROR_NO_PROFILES_XML ? "missing" : "not a routing profiles file that parses");
            return false;
        }
        loadedProfiles = profilesFile;
    }
    if (!english) {
        // The library describes points in a language; the texts shown are
        // the program's own, so any language it has will do.
        if (Routino_ParseXMLTranslations(shippedTranslations) != 0 || !(english = Routino_GetTranslation("en"))) {
            *why = std::string(shippedTranslations) + ": missing or damaged (is the routino package installed?)";
            return false;
        }
    }
    return true;
}

_Routino_Profile* profile(const char* name)
{
    return reinterpret_cast<_Routino_Profile*>(Routino_GetProfile(name));
}

_Routino_Translation* translation()
{
    return reinterpret_cast<_Routino_Translation*>(english);
}

} // namespace RoutingLibrary
