#ifndef TESSEL_SIGNATURE_H
#define TESSEL_SIGNATURE_H

#include <SDL.h>
#include <cstdint>
#include <string>

// A 64-bit fingerprint (FNV-1a) of what a widget would draw: equal
// fingerprints, equal pixels. Cheap enough to take every frame.
class Signature {
public:
    void add(std::uint64_t value)
    {
        for (int i = 0; i < 8; ++i, value >>= 8)
            mix(static_cast<unsigned char>(value));
    }
    void add(const std::string& text)
    {
        add(static_cast<std::uint64_t>(text.size()));
        for (char c : text)
            mix(static_cast<unsigned char>(c));
    }
    void add(const void* pointer) { add(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(pointer))); }
    void add(const SDL_Rect& r)
    {
        add(static_cast<std::uint64_t>(static_cast<Uint16>(r.x)) | static_cast<std::uint64_t>(static_cast<Uint16>(r.y)) << 16 |
            static_cast<std::uint64_t>(r.w) << 32 | static_cast<std::uint64_t>(r.h) << 48);
    }
    std::uint64_t value() const { return hash; }

private:
    void mix(unsigned char byte)
    {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    std::uint64_t hash = 1469598103934665603ull;
};

#endif
