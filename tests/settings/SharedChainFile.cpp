#include "SharedChainFile.h"
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kSector = 512;
constexpr uint32_t kFree = 0xFFFFFFFFu, kEnd = 0xFFFFFFFEu, kFatSector = 0xFFFFFFFDu, kDifatSector = 0xFFFFFFFCu;

struct Plan {
    std::size_t sectors, fat, difat, directory, data, streams;
};

Plan plan(std::size_t size)
{
    Plan p{};
    p.sectors = size / kSector - 1;
    p.fat = (p.sectors + 127) / 128;
    p.difat = p.fat > 109 ? (p.fat - 109 + 126) / 127 : 0;
    p.directory = p.sectors / 64;
    p.data = p.sectors - p.fat - p.difat - p.directory;
    p.streams = p.directory * 4 - 1;  // all entries but the root
    return p;
}

void put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v)
{
    std::memcpy(b.data() + at, &v, 4);
}

void put16(std::vector<uint8_t>& b, std::size_t at, uint16_t v)
{
    std::memcpy(b.data() + at, &v, 2);
}

void putName(std::vector<uint8_t>& b, std::size_t entry, const char* name)
{
    std::size_t n = std::strlen(name);
    for (std::size_t i = 0; i < n; ++i) put16(b, entry + 2 * i, static_cast<uint8_t>(name[i]));
    put16(b, entry + 64, static_cast<uint16_t>(2 * (n + 1)));
}

}  // namespace

std::size_t SharedChainFile::Streams(std::size_t size)
{
    return plan(size).streams;
}

std::vector<uint8_t> SharedChainFile::Make(std::size_t size, bool shared)
{
    const Plan p = plan(size);
    std::vector<uint8_t> b((p.sectors + 1) * kSector, 0);
    auto at = [](std::size_t s) { return (s + 1) * kSector; };
    const uint8_t signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(b.data(), signature, sizeof signature);
    put16(b, 24, 0x3E);
    put16(b, 26, 3);
    put16(b, 28, 0xFFFE);
    put16(b, 30, 9);
    put16(b, 32, 6);
    put32(b, 44, static_cast<uint32_t>(p.fat));
    const std::size_t dirStart = p.fat + p.difat, dataStart = dirStart + p.directory;
    put32(b, 48, static_cast<uint32_t>(dirStart));
    put32(b, 56, 4096);
    put32(b, 60, kEnd);
    put32(b, 68, p.difat ? static_cast<uint32_t>(p.fat) : kEnd);
    put32(b, 72, static_cast<uint32_t>(p.difat));

    // Where the table's sectors are listed: 109 in the header, 127 per list sector.
    for (std::size_t i = 0; i < 109; ++i) put32(b, 76 + 4 * i, i < p.fat ? static_cast<uint32_t>(i) : kFree);
    for (std::size_t d = 0; d < p.difat; ++d) {
        for (std::size_t i = 0; i < 127; ++i) {
            std::size_t f = 109 + d * 127 + i;
            put32(b, at(p.fat + d) + 4 * i, f < p.fat ? static_cast<uint32_t>(f) : kFree);
        }
        put32(b, at(p.fat + d) + 4 * 127, d + 1 < p.difat ? static_cast<uint32_t>(p.fat + d + 1) : kEnd);
    }

    // The table: the directory and the data area each one run of sectors; unshared streams cut
    // the data area into pieces of equal length.
    const std::size_t piece = shared ? p.data : p.data / p.streams;
    auto setFat = [&](std::size_t s, uint32_t v) { put32(b, at(s / 128) + 4 * (s % 128), v); };
    for (std::size_t s = 0; s < p.fat * 128; ++s) setFat(s, kFree);
    for (std::size_t s = 0; s < p.fat; ++s) setFat(s, kFatSector);
    for (std::size_t s = 0; s < p.difat; ++s) setFat(p.fat + s, kDifatSector);
    for (std::size_t s = dirStart; s < dataStart; ++s) setFat(s, s + 1 < dataStart ? static_cast<uint32_t>(s + 1) : kEnd);
    for (std::size_t s = 0; s < p.data; ++s) {
        bool last = (s + 1) % piece == 0 || s + 1 == p.data;
        setFat(dataStart + s, last ? kEnd : static_cast<uint32_t>(dataStart + s + 1));
    }

    // The directory: the root, then every stream as the right sibling of the one before.
    std::size_t root = at(dirStart);
    putName(b, root, "Root Entry");
    b[root + 66] = 5;
    put32(b, root + 68, kFree);
    put32(b, root + 72, kFree);
    put32(b, root + 76, 1);
    put32(b, root + 116, kEnd);
    for (std::size_t id = 1; id <= p.streams; ++id) {
        std::size_t e = at(dirStart + id / 4) + (id % 4) * 128;
        char name[16];
        std::snprintf(name, sizeof name, "s%zu", id);
        putName(b, e, name);
        b[e + 66] = 2;
        put32(b, e + 68, kFree);
        put32(b, e + 72, id < p.streams ? static_cast<uint32_t>(id + 1) : kFree);
        put32(b, e + 76, kFree);
        put32(b, e + 116, static_cast<uint32_t>(dataStart + (shared ? 0 : (id - 1) * piece)));
        put32(b, e + 120, static_cast<uint32_t>(piece * kSector));
    }
    return b;
}
