#include "settings/CompoundFileCheck.h"
#include <windows.h>
#include <cstring>
#include "framework/UniqueHandle.h"

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFEu;
constexpr uint32_t kNoStream = 0xFFFFFFFFu;
constexpr std::size_t kEntrySize = 128;
constexpr std::size_t kMiniSectorSize = 64;
constexpr uint32_t kMiniStreamCutoff = 4096;
constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

uint32_t u32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t u16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// Follows a chain in table from start to its end, claiming each sector for it; false when it
// leaves the table or the owned range, or reaches a sector some chain (itself included) claimed.
// Shared ownership makes the whole check linear: no sector is walked twice.
bool claimChain(const std::vector<uint32_t>& table, std::vector<bool>& owned, uint32_t start, std::size_t& length,
                std::vector<uint32_t>* out = nullptr)
{
    length = 0;
    if (out) out->clear();
    for (uint32_t s = start; s != kEndOfChain; s = table[s]) {
        if (s >= owned.size() || s >= table.size() || owned[s]) return false;
        owned[s] = true;
        ++length;
        if (out) out->push_back(s);
    }
    return true;
}

// Appends the 32-bit entries of a sector to table, up to limit entries: a chain leaves a table
// of that many anyway, so entries beyond it need no room, however many the file claims.
void appendEntries(const uint8_t* sector, std::size_t sectorSize, std::vector<uint32_t>& table, std::size_t limit)
{
    for (std::size_t i = 0; i + 4 <= sectorSize && table.size() < limit; i += 4) table.push_back(u32(sector + i));
}

}  // namespace

bool CompoundFileCheck::IsSound(const uint8_t* b, std::size_t size)
{
    if (size < sizeof kSignature || std::memcmp(b, kSignature, sizeof kSignature) != 0) return true;
    if (size < 512 || size > kMaxFileSize) return false;
    uint16_t shift = u16(b + 30);
    if (u16(b + 28) != 0xFFFE || (shift != 9 && shift != 12) || u16(b + 32) != 6) return false;
    if (u32(b + 56) != kMiniStreamCutoff) return false;
    const std::size_t sectorSize = std::size_t(1) << shift;
    if (size < 2 * sectorSize) return false;
    // Only whole sectors inside the file count; sector s starts after the header block.
    const std::size_t sectors = size / sectorSize - 1;
    const std::size_t perSector = sectorSize / 4;
    auto sector = [&](uint32_t s) { return b + (std::size_t(s) + 1) * sectorSize; };
    std::vector<uint32_t> fat;

    // The sectors that hold the allocation table: 109 in the header, the rest in a chain.
    uint32_t fatSectors = u32(b + 44);
    if (fatSectors == 0 || fatSectors > sectors) return false;
    std::vector<uint32_t> fatList;
    for (uint32_t i = 0; i < fatSectors && i < 109; ++i) fatList.push_back(u32(b + 76 + 4 * i));
    // Readers take the header's count of list sectors as it stands: every one must be real.
    uint32_t difat = u32(b + 68);
    uint32_t difatSectors = u32(b + 72);
    if (difatSectors > sectors) return false;
    // One owner per sector: the table's own sectors, its list's, and those of every chain.
    std::vector<bool> owned(sectors, false);
    for (uint32_t d = 0; d < difatSectors; ++d) {
        if (difat >= sectors || owned[difat]) return false;
        owned[difat] = true;
        const uint8_t* p = sector(difat);
        for (std::size_t i = 0; i + 1 < perSector && fatList.size() < fatSectors; ++i) fatList.push_back(u32(p + 4 * i));
        difat = u32(p + 4 * (perSector - 1));
    }
    if (fatList.size() < fatSectors) return false;
    fat.reserve(sectors);
    for (uint32_t s : fatList) {
        if (s >= sectors || owned[s]) return false;
        owned[s] = true;
        appendEntries(sector(s), sectorSize, fat, sectors);
    }

    // The directory, the small-block table and the mini stream.
    std::vector<uint32_t> dirChain, miniFatChain;
    std::size_t length = 0;
    if (!claimChain(fat, owned, u32(b + 48), length, &dirChain) || dirChain.empty()) return false;
    const std::size_t entriesPerSector = sectorSize / kEntrySize;
    const std::size_t entryCount = dirChain.size() * entriesPerSector;
    auto entry = [&](uint32_t id) {
        return sector(dirChain[id / entriesPerSector]) + (id % entriesPerSector) * kEntrySize;
    };
    const uint8_t* root = entry(0);
    if (root[66] != 5) return false;

    // The mini stream first: its size bounds the small-block table.
    std::size_t miniSectors = 0;
    uint32_t rootSize = u32(root + 120);
    if (rootSize > 0) {
        if (!claimChain(fat, owned, u32(root + 116), length) || length * sectorSize < rootSize) return false;
        miniSectors = rootSize / kMiniSectorSize;
    }
    std::vector<uint32_t> miniFat;
    uint32_t miniFatStart = u32(b + 60);
    if (u32(b + 64) > 0 || miniFatStart != kEndOfChain) {
        if (!claimChain(fat, owned, miniFatStart, length, &miniFatChain)) return false;
        if (miniFatChain.size() != u32(b + 64)) return false;  // the header's count is taken too
        for (uint32_t s : miniFatChain) appendEntries(sector(s), sectorSize, miniFat, miniSectors);
    }

    // The tree of elements: every reference in range, each element reached once, names
    // terminated, every stream's chain whole.
    std::vector<bool> reached(entryCount, false);
    std::vector<uint32_t> pending{u32(root + 76)};
    std::vector<bool> miniOwned(miniSectors, false);
    while (!pending.empty()) {
        uint32_t id = pending.back();
        pending.pop_back();
        if (id == kNoStream) continue;
        if (id == 0 || id >= entryCount || reached[id]) return false;
        reached[id] = true;
        const uint8_t* e = entry(id);
        uint8_t type = e[66];
        uint16_t nameBytes = u16(e + 64);
        if ((type != 1 && type != 2) || nameBytes > 64 || nameBytes < 2 || nameBytes % 2) return false;
        if (u16(e + nameBytes - 2) != 0) return false;  // the name's terminator
        pending.push_back(u32(e + 68));
        pending.push_back(u32(e + 72));
        if (type == 1) {
            pending.push_back(u32(e + 76));
            continue;
        }
        uint32_t streamSize = u32(e + 120);
        if (shift == 12 && u32(e + 124) != 0) return false;
        if (streamSize == 0) continue;
        if (streamSize < kMiniStreamCutoff) {
            if (!claimChain(miniFat, miniOwned, u32(e + 116), length) || length * kMiniSectorSize < streamSize)
                return false;
        } else if (!claimChain(fat, owned, u32(e + 116), length) || length * sectorSize < streamSize) {
            return false;
        }
    }
    return true;
}

bool CompoundFileCheck::ReadWhole(const char* path, std::vector<uint8_t>& bytes, bool& tooLarge)
{
    tooLarge = false;
    bytes.clear();
    UniqueFileHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return false;
    if (static_cast<unsigned long long>(size.QuadPart) > kMaxFileSize) {
        tooLarge = true;
        return false;
    }
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                           got != bytes.size()))
        return false;
    return true;
}
