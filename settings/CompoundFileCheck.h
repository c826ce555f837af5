// A structural check of a compound file before the storage engine sees it: a damaged file can
// send the engine into an endless loop (a sector chain or directory tree that runs in a circle,
// a sector beyond the end of the file), so such files are refused instead.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class CompoundFileCheck {
public:
    // Larger files are not read whole for the check; they are refused.
    static constexpr std::size_t kMaxFileSize = 64u << 20;

    // False when the bytes carry the compound file signature but something a reader follows
    // leads outside the file or around in a circle. Bytes without the signature are left to
    // the engine, which refuses them itself.
    static bool IsSound(const uint8_t* bytes, std::size_t size);

    // Reads the file whole into bytes; false when it cannot be read or is too large (size set).
    static bool ReadWhole(const char* path, std::vector<uint8_t>& bytes, bool& tooLarge);
};
