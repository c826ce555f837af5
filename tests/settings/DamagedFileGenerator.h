// Settings files damaged in every way a disk, an old version or a foreign program could leave
// them, each with what a load must give. Used by the tests and, through main's
// --write-damaged mode, to fill a folder for loading with the real program.
#pragma once
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>
#include "serial/CommCfg.h"

enum class Damage : int {
    TruncatedStreams,   // streams shorter than 260 / 60 bytes
    OverlongStreams,    // streams longer than 260 / 60 bytes
    RandomStreams,      // random bytes of random length in the streams
    FieldsOutOfRange,   // whole streams, but fields outside their ranges or unterminated
    WrongKinds,         // elements missing, of the wrong kind, or foreign ones beside them
    NotCompound,        // files that are no compound file at all
    ZeroLength,         // an empty file
    TruncatedFile,      // a good settings file cut short
    CorruptedFile,      // a good settings file with bytes overwritten
    Count
};

class DamagedFileGenerator {
public:
    // What a load of the file gives. When exact is false the system's reader decides what it
    // can still read; then only the safety rules can be checked.
    struct Outcome {
        bool exact = true;
        bool opens = true;  // the file opens as a compound file (when exact)
        std::string logPath;
        int32_t displayFormat = 0;
        CommCfg cfg;
    };

    explicit DamagedFileGenerator(uint32_t seed);

    static const char* Name(Damage damage);
    // How many different cases a kind has (ZeroLength has one); others are unbounded.
    static int CaseLimit(Damage damage);

    // Writes case index of the kind to path and tells what a load must give; false when the
    // file could not be written.
    bool Write(Damage damage, int index, const std::string& path, Outcome& outcome);

    // Writes perKind cases of every kind into folder (ending with a backslash) with a manifest
    // "manifest.txt" of expected outcomes; the number of files written.
    int WriteFolder(const std::string& folder, int perKind);

private:
    enum class Kind { Absent, Stream, Storage };
    struct Layout {
        Kind appInfo = Kind::Stream;
        std::vector<uint8_t> appBytes;
        Kind commDef = Kind::Storage;
        std::vector<uint8_t> commDefBytes;  // when commdef is a stream
        Kind cfgDef = Kind::Stream;
        std::vector<uint8_t> cfgBytes;
        std::vector<std::pair<std::string, std::vector<uint8_t>>> foreign;  // further root streams
    };

    static bool WriteLayout(const Layout& layout, const std::string& path);
    static bool WriteBytes(const std::vector<uint8_t>& bytes, const std::string& path);
    static bool ReadBytes(const std::string& path, std::vector<uint8_t>& bytes);
    // What the settings file's load gives for a layout, worked out independently of it.
    static Outcome Expect(const Layout& layout);

    // A sound settings file: a terminated log path with garbage after it, a format in range,
    // line settings in range.
    static Layout GoodLayout(std::mt19937& rng);

    uint32_t seed_;
};
