// Crafted compound files of a chosen size: a long directory of streams over one data area,
// either all sharing one chain through it or each with a chain of its own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class SharedChainFile {
public:
    // A file of size bytes (a multiple of 512, at least 64 KiB): 512-byte sectors, a 64th of
    // them directory. shared: every stream starts at the same sector and runs the whole data
    // area; otherwise the area is split into one chain per stream, which makes a sound file.
    static std::vector<uint8_t> Make(std::size_t size, bool shared);
    // How many streams such a file holds.
    static std::size_t Streams(std::size_t size);
};
