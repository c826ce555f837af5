#include <gtest/gtest.h>
#include <malloc.h>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "settings/CompoundFile.h"
#include "settings/CompoundFileCheck.h"

#include "SampleSettings.h"
#include "SharedChainFile.h"
#include "TempFolder.h"

// This program counts the bytes it holds through operator new (the library's other forms call these).
std::atomic<std::size_t> heapInUse{0}, heapPeak{0};
void* operator new(std::size_t n)
{
    void* p = std::malloc(n ? n : 1);
    if (!p) throw std::bad_alloc();
    if (std::size_t now = heapInUse += _msize(p); now > heapPeak) heapPeak = now;
    return p;
}
[[gnu::noinline]] void operator delete(void* p) noexcept
{
    if (p) heapInUse -= _msize(p);
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t get32(const Bytes& b, std::size_t at)
{
    uint32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

void put32(Bytes& b, std::size_t at, uint32_t v)
{
    std::memcpy(b.data() + at, &v, 4);
}

void put16(Bytes& b, std::size_t at, uint16_t v)
{
    std::memcpy(b.data() + at, &v, 2);
}

Bytes readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool sound(const Bytes& b)
{
    return CompoundFileCheck::IsSound(b.data(), b.size());
}

// A settings file as the program writes it (512-byte sectors), with the places to damage.
class SampleFile : public testing::Test {
protected:
    void SetUp() override
    {
        std::string path = dir.File("sample.def");
        ASSERT_TRUE(SampleSettings::Write(path.c_str()));
        good = readFile(path);
        ASSERT_GE(good.size(), 2048u);
        ASSERT_EQ(get32(good, 44), 1u);  // one allocation-table sector, listed in the header
    }

    std::size_t Sector(uint32_t s) const { return (std::size_t(s) + 1) * 512; }
    uint32_t Fat(uint32_t s) const { return get32(good, Sector(get32(good, 76)) + 4 * s); }
    std::size_t FatEntry(uint32_t s) const { return Sector(get32(good, 76)) + 4 * s; }

    // Offset of the directory entry with that name, and its id.
    std::size_t Entry(const char* name, uint32_t* id = nullptr) const
    {
        uint32_t index = 0;
        for (uint32_t s = get32(good, 48); s != 0xFFFFFFFEu; s = Fat(s)) {
            for (std::size_t e = 0; e < 4; ++e, ++index) {
                std::size_t at = Sector(s) + e * 128;
                std::string entryName;
                for (std::size_t c = 0; c < 32 && good[at + 2 * c]; ++c) entryName += static_cast<char>(good[at + 2 * c]);
                if (entryName == name) {
                    if (id) *id = index;
                    return at;
                }
            }
        }
        ADD_FAILURE() << "no entry " << name;
        return 0;
    }

    // The sample with 100 added sectors that the header lists as allocation table (zeros), then
    // 100 more in one chain that it takes as the small-block table.
    Bytes WithLargeTables() const
    {
        const uint32_t first = uint32_t(good.size() / 512 - 1), chain = first + 100, end = chain + 100;
        Bytes b = good;
        b.resize(Sector(end), 0);
        for (uint32_t i = 1; i <= 100; ++i) put32(b, 76 + 4 * i, first + i - 1);
        for (uint32_t s = chain; s < end; ++s)
            put32(b, Sector(get32(b, 76 + 4 * (s / 128))) + 4 * (s % 128), s + 1 < end ? s + 1 : 0xFFFFFFFEu);
        std::memcpy(&b[Sector(chain)], &good[Sector(get32(good, 60))], 512);
        put32(b, 44, 101);
        put32(b, 60, chain);
        put32(b, 64, 100);
        return b;
    }

    TempFolder dir;
    Bytes good;
};

}  // namespace

TEST_F(SampleFile, AFileAsWrittenIsSoundAndForeignBytesAreLeftToTheEngine)
{
    EXPECT_TRUE(sound(good));
    EXPECT_TRUE(CompoundFileCheck::IsSound(nullptr, 0));
    Bytes text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_TRUE(sound(text));
    Bytes headerOnly(good.begin(), good.begin() + 100);
    EXPECT_FALSE(sound(headerOnly));
}

TEST_F(SampleFile, ADirectoryTreeThatRunsInACircleIsRefused)
{
    uint32_t appId = 0, commId = 0;
    std::size_t app = Entry("appinfo", &appId);
    std::size_t comm = Entry("commdef", &commId);
    std::size_t cfg = Entry("CommCfgDef");

    Bytes b = good;
    put32(b, app + 72, appId);  // its own right sibling
    EXPECT_FALSE(sound(b));
    b = good;
    put32(b, app + 68, appId);  // its own left sibling
    EXPECT_FALSE(sound(b));
    b = good;
    put32(b, cfg + 68, commId);  // the storage's child leads back to the storage
    EXPECT_FALSE(sound(b));
    b = good;
    put32(b, comm + 76, 0);  // a child that is the root
    EXPECT_FALSE(sound(b));
    b = good;
    put32(b, Entry("Root Entry") + 76, 1000);  // beyond the directory
    EXPECT_FALSE(sound(b));
    b = good;
    b[app + 66] = 0;  // a reached entry that is unused
    EXPECT_FALSE(sound(b));
    b = good;
    b[Entry("Root Entry") + 66] = 1;  // the first entry is not the root
    EXPECT_FALSE(sound(b));
}

TEST_F(SampleFile, NamesMustBeTerminatedInsideTheirField)
{
    std::size_t app = Entry("appinfo");
    Bytes b = good;
    for (std::size_t c = 0; c < 32; ++c) put16(b, app + 2 * c, 'a');
    put16(b, app + 64, 64);
    EXPECT_FALSE(sound(b));
    b = good;
    put16(b, app + 64, 66);
    EXPECT_FALSE(sound(b));
    b = good;
    put16(b, app + 64, 0);
    EXPECT_FALSE(sound(b));
}

TEST_F(SampleFile, ChainsThatLoopOrLeaveTheFileAreRefused)
{
    uint32_t dirSector = get32(good, 48);
    Bytes b = good;
    put32(b, FatEntry(dirSector), dirSector);  // the directory's chain loops
    EXPECT_FALSE(sound(b));
    b = good;
    put32(b, 48, 5000);  // the directory lies beyond the end
    EXPECT_FALSE(sound(b));
    b = good;
    put32(b, 76, 5000);  // so does the allocation table
    EXPECT_FALSE(sound(b));

    // The small-block table: the appinfo stream's chain comes back to its start.
    std::size_t app = Entry("appinfo");
    uint32_t start = get32(good, app + 116);
    std::size_t miniFat = Sector(get32(good, 60));
    b = good;
    put32(b, miniFat + 4 * start, start);
    EXPECT_FALSE(sound(b));
    b = good;
    put32(b, app + 120, 1000);  // longer than its chain
    EXPECT_FALSE(sound(b));
    b = good;
    put32(b, app + 116, 4000);  // starts beyond the mini stream
    EXPECT_FALSE(sound(b));
    b = good;
    put32(b, Entry("Root Entry") + 120, 100000);  // a mini stream longer than its sectors
    EXPECT_FALSE(sound(b));
}

TEST_F(SampleFile, HeaderFieldsOutOfRangeAreRefused)
{
    struct Change {
        std::size_t at;
        int width;
        uint32_t value;
    };
    for (Change c : {Change{28, 2, 0xFEFF}, Change{30, 2, 10}, Change{32, 2, 7}, Change{56, 4, 2048},
                     Change{44, 4, 0}, Change{44, 4, 100000}, Change{72, 4, 1}, Change{72, 4, 0x7FFFFFFF},
                     Change{64, 4, 2}, Change{64, 4, 0x40710001}, Change{60, 4, 5000}}) {
        Bytes b = good;
        if (c.width == 2) put16(b, c.at, static_cast<uint16_t>(c.value));
        else put32(b, c.at, c.value);
        EXPECT_FALSE(sound(b)) << "offset " << c.at;
    }
}

TEST_F(SampleFile, ATruncatedFileIsRefused)
{
    // Every cut that loses a sector something refers to.
    for (std::size_t cut = 256; cut + 512 <= good.size(); cut += 256) {
        Bytes b(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_FALSE(sound(b)) << cut;
    }
    Bytes b(good.begin(), good.end() - 1);  // the last sector is no longer whole
    EXPECT_FALSE(sound(b));
}

TEST_F(SampleFile, TablesAreSizedByTheSectorsTheFileHasNotByWhatItClaims)
{
    // Taken at their word, the two tables would take as much as the file again.
    Bytes b = WithLargeTables();
    const std::size_t before = heapPeak = heapInUse.load();
    EXPECT_TRUE(sound(b));
    EXPECT_LT(heapPeak - before, b.size() / 10) << b.size();
}

TEST_F(SampleFile, AnAllocationTableListThatLoopsIsRefused)
{
    // More table sectors than the header lists, so the list continues in a chain of sectors;
    // the chain's sector points back at itself.
    Bytes b = good;
    const uint32_t tableSectors = 109 + 127 * 2 + 1;
    b.resize(Sector(tableSectors + 10), 0);
    uint32_t first = get32(good, 76);
    for (uint32_t i = 0; i < 109; ++i) put32(b, 76 + 4 * i, first);
    uint32_t listSector = tableSectors + 5;
    for (uint32_t i = 0; i < 127; ++i) put32(b, Sector(listSector) + 4 * i, first);
    put32(b, Sector(listSector) + 4 * 127, listSector);
    put32(b, 44, tableSectors);
    put32(b, 68, listSector);
    put32(b, 72, 3);
    EXPECT_FALSE(sound(b));
    put32(b, Sector(listSector) + 4 * 127, 0xFFFFFFFEu);  // ends instead: too few entries listed
    EXPECT_FALSE(sound(b));
}

TEST(CompoundFileCheck, LargerFilesWithManyElementsAreSound)
{
    TempFolder dir;
    std::string path = dir.File("large.def");
    {
        CompoundFile file;
        ASSERT_TRUE(file.Create(path.c_str()));
        SharedRef<StorageNode> root = file.Root();
        std::vector<char> big(80000, 'b');
        for (int i = 0; i < 30; ++i) {
            SharedRef<StorageNode> sub = root->CreateStorage("sub", i);
            ASSERT_TRUE(sub);
            uint32_t size = static_cast<uint32_t>(i * 2500);
            ASSERT_EQ(sub->CreateStream("data")->Write(big.data(), size), size);
            ASSERT_EQ(root->CreateStream("s", i)->Write(big.data(), size / 10), size / 10);
        }
    }
    Bytes b = readFile(path);
    EXPECT_GT(b.size(), 500000u);
    EXPECT_TRUE(sound(b));
    CompoundFile file;
    EXPECT_TRUE(file.OpenFile(path.c_str())) << file.ErrorText();
}

TEST_F(SampleFile, OpeningAnUnsoundFileFailsAtOnceAndLoadKeepsDefaults)
{
    uint32_t appId = 0;
    std::size_t app = Entry("appinfo", &appId);
    Bytes b = good;
    put32(b, app + 72, appId);
    std::string path = dir.File("loop.def");
    writeFile(path, b);

    CompoundFile file;
    EXPECT_FALSE(file.OpenFile(path.c_str()));
    EXPECT_EQ(std::string(file.ErrorText()).substr(0, 9), "80030109:") << file.ErrorText();

    SampleSettings::ExpectRefusedWithDefaults(path.c_str());
}

TEST_F(SampleFile, StreamsThatShareSectorsAreRefused)
{
    // Two streams in the mini stream: one starts where the other does.
    Bytes b = good;
    put32(b, Entry("CommCfgDef") + 116, get32(good, Entry("appinfo") + 116));
    EXPECT_FALSE(sound(b));

    // Crafted files: every stream on one long chain, against each on a chain of its own.
    EXPECT_TRUE(sound(SharedChainFile::Make(1 << 20, false)));
    EXPECT_FALSE(sound(SharedChainFile::Make(1 << 20, true)));
    EXPECT_TRUE(sound(SharedChainFile::Make(64 << 10, false)));
    EXPECT_FALSE(sound(SharedChainFile::Make(64 << 10, true)));

    // As the program meets one: the load keeps the defaults.
    std::string path = dir.File("shared.def");
    writeFile(path, SharedChainFile::Make(1 << 20, true));
    SampleSettings::ExpectRefusedWithDefaults(path.c_str());
}
