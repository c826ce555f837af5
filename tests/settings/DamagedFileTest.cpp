#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include "serial/CommPort.h"
#include "settings/SettingsFile.h"

#include "DamagedFileGenerator.h"
#include "TempFolder.h"

namespace {

// The seed and the number of rounds can be raised for a longer run (TAV_DAMAGE_SEED,
// TAV_DAMAGE_ROUNDS); the suite runs one round with a fixed seed.
uint32_t seed()
{
    const char* s = std::getenv("TAV_DAMAGE_SEED");
    return s ? static_cast<uint32_t>(std::strtoul(s, nullptr, 10)) : 20240u;
}

int rounds()
{
    const char* s = std::getenv("TAV_DAMAGE_ROUNDS");
    int n = s ? std::atoi(s) : 1;
    return n > 0 ? n : 1;
}

std::vector<char> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every generated file loads without a crash or a hang, and what comes back is safe to use: the
// values the file decides exactly when it still reads as a settings file, the defaults otherwise.
void loadsSafely(Damage damage, int count)
{
    TempFolder dir;
    std::string path = dir.File("case.def");
    DamagedFileGenerator generator(seed());
    CommPort port;
    int exactCases = 0;
    count = std::min(count * rounds(), DamagedFileGenerator::CaseLimit(damage));
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(std::string(DamagedFileGenerator::Name(damage)) + " case " + std::to_string(i) + " seed " +
                     std::to_string(seed()));
        DamagedFileGenerator::Outcome want;
        ASSERT_TRUE(generator.Write(damage, i, path, want));
        std::vector<char> before = fileBytes(path);

        char logPath[256];
        std::memset(logPath, 'Q', sizeof logPath);
        int32_t format = 77;
        port.Settings() = CommCfg();
        bool opened = SettingsFile::Load(path.c_str(), logPath, format, port);

        const CommCfg& got = port.Settings();
        ASSERT_NE(std::memchr(logPath, 0, sizeof logPath), nullptr);
        ASSERT_GE(format, 0);
        ASSERT_LE(format, 3);
        ASSERT_NE(std::memchr(got.portName, 0, sizeof got.portName), nullptr);
        ASSERT_GT(got.baudRate, 0);
        ASSERT_GE(got.parity, 0);
        ASSERT_LE(got.parity, 4);
        ASSERT_GE(got.dataBits, 4);
        ASSERT_LE(got.dataBits, 8);
        ASSERT_GE(got.stopBits, 0);
        ASSERT_LE(got.stopBits, 2);
        ASSERT_TRUE(CommCfg::IsUsableTimeout(got.rxTimeoutMs)) << got.rxTimeoutMs;
        if (want.exact) {
            ++exactCases;
            ASSERT_EQ(opened, want.opens);
            ASSERT_EQ(std::string(logPath), want.logPath);
            ASSERT_EQ(format, want.displayFormat);
            ASSERT_EQ(std::memcmp(&got, &want.cfg, sizeof got), 0)
                << got.portName << ' ' << got.baudRate << ' ' << got.parity << ' ' << got.dataBits << ' '
                << got.stopBits << ' ' << got.rxTimeoutMs;
        }
        // Loading reads only: the file is as it was.
        ASSERT_EQ(fileBytes(path), before);
    }
    if (damage != Damage::TruncatedFile && damage != Damage::CorruptedFile) {
        EXPECT_GT(exactCases, 0);
    }
}

}  // namespace

TEST(DamagedFile, TruncatedStreams) { loadsSafely(Damage::TruncatedStreams, 520); }
TEST(DamagedFile, OverlongStreams) { loadsSafely(Damage::OverlongStreams, 240); }
TEST(DamagedFile, RandomStreams) { loadsSafely(Damage::RandomStreams, 400); }
TEST(DamagedFile, FieldsOutOfRange) { loadsSafely(Damage::FieldsOutOfRange, 450); }
TEST(DamagedFile, WrongKinds) { loadsSafely(Damage::WrongKinds, 160); }
TEST(DamagedFile, NotCompound) { loadsSafely(Damage::NotCompound, 200); }
TEST(DamagedFile, ZeroLength) { loadsSafely(Damage::ZeroLength, 1); }
TEST(DamagedFile, TruncatedFile) { loadsSafely(Damage::TruncatedFile, 400); }
TEST(DamagedFile, CorruptedFile) { loadsSafely(Damage::CorruptedFile, 800); }

TEST(DamagedFileGenerator, FillsAFolderWithFilesAndAManifest)
{
    TempFolder dir;
    int written = DamagedFileGenerator(5).WriteFolder(dir.Folder(), 3);
    EXPECT_EQ(written, 8 * 3 + 1);  // ZeroLength has one case
    std::ifstream manifest(dir.File("manifest.txt"));
    std::string line;
    int rows = 0;
    while (std::getline(manifest, line)) {
        if (line.empty() || line[0] == '#') continue;
        ++rows;
        std::string name = line.substr(0, line.find('\t'));
        EXPECT_NE(GetFileAttributesA(dir.File(name.c_str()).c_str()), INVALID_FILE_ATTRIBUTES) << name;
    }
    EXPECT_EQ(rows, written);
    EXPECT_NE(GetFileAttributesA(dir.File("ZeroLength-0000.def").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(DamagedFileGenerator, SameSeedGivesTheSameFiles)
{
    TempFolder dir;
    DamagedFileGenerator a(9), b(9);
    DamagedFileGenerator::Outcome oa, ob;
    ASSERT_TRUE(a.Write(Damage::RandomStreams, 17, dir.File("a.def"), oa));
    ASSERT_TRUE(b.Write(Damage::RandomStreams, 17, dir.File("b.def"), ob));
    EXPECT_EQ(oa.logPath, ob.logPath);
    EXPECT_EQ(std::memcmp(&oa.cfg, &ob.cfg, sizeof oa.cfg), 0);
    ASSERT_TRUE(b.Write(Damage::CorruptedFile, 3, dir.File("c.def"), ob));
    ASSERT_TRUE(a.Write(Damage::CorruptedFile, 3, dir.File("d.def"), oa));
    EXPECT_EQ(fileBytes(dir.File("c.def")), fileBytes(dir.File("d.def")));
}
