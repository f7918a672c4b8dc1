#ifndef TESSEL_LABELLANGUAGE_H
#define TESSEL_LABELLANGUAGE_H

#include <atomic>
#include <string>

// Which of a feature's names labels show first: the local one (the style's
// own order), the Latin transcription, or the English name; the others
// follow in that order. Chosen on the main thread, read by whichever
// thread draws, so the cached pictures must be made again after a change.
namespace LabelLanguage {

enum Choice { local = 0, latin = 1, english = 2 };

// The class of a property name: english for name_en and name:en, latin
// for name:latin, name_int and name_latin, local for the rest.
Choice ofName(const std::string& property);

void choose(Choice c);
Choice chosen();

} // namespace LabelLanguage

#endif
