#include "DamagedFileGenerator.h"
#include <windows.h>
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include "settings/CompoundFile.h"

namespace {

constexpr std::size_t kAppInfoSize = 260;
constexpr std::size_t kCfgSize = sizeof(CommCfg);

int32_t uniform(std::mt19937& rng, int32_t lo, int32_t hi)
{
    return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
}

uint8_t randomByte(std::mt19937& rng)
{
    return static_cast<uint8_t>(uniform(rng, 0, 255));
}

std::vector<uint8_t> randomBytes(std::mt19937& rng, std::size_t n)
{
    std::vector<uint8_t> bytes(n);
    for (auto& b : bytes) b = randomByte(rng);
    return bytes;
}

void putInt(std::vector<uint8_t>& bytes, std::size_t offset, int32_t value)
{
    if (bytes.size() < offset + 4) bytes.resize(offset + 4);
    std::memcpy(bytes.data() + offset, &value, 4);
}

// A text of printable characters, terminated, with random bytes after it up to size.
void putText(std::vector<uint8_t>& bytes, std::size_t size, std::mt19937& rng, std::size_t maxLength)
{
    bytes.resize(std::max(bytes.size(), size));
    std::size_t length = static_cast<std::size_t>(uniform(rng, 0, static_cast<int32_t>(maxLength)));
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(uniform(rng, 32, 126));
    bytes[length] = 0;
    for (std::size_t i = length + 1; i < size; ++i) bytes[i] = randomByte(rng);
}

int32_t pick(std::mt19937& rng, std::initializer_list<int32_t> values)
{
    return *(values.begin() + uniform(rng, 0, static_cast<int32_t>(values.size()) - 1));
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

}  // namespace

DamagedFileGenerator::DamagedFileGenerator(uint32_t seed) : seed_(seed)
{
}

const char* DamagedFileGenerator::Name(Damage damage)
{
    switch (damage) {
    case Damage::TruncatedStreams: return "TruncatedStreams";
    case Damage::OverlongStreams: return "OverlongStreams";
    case Damage::RandomStreams: return "RandomStreams";
    case Damage::FieldsOutOfRange: return "FieldsOutOfRange";
    case Damage::WrongKinds: return "WrongKinds";
    case Damage::NotCompound: return "NotCompound";
    case Damage::ZeroLength: return "ZeroLength";
    case Damage::TruncatedFile: return "TruncatedFile";
    case Damage::CorruptedFile: return "CorruptedFile";
    case Damage::Count: break;
    }
    return "?";
}

int DamagedFileGenerator::CaseLimit(Damage damage)
{
    return damage == Damage::ZeroLength ? 1 : INT_MAX;
}

DamagedFileGenerator::Layout DamagedFileGenerator::GoodLayout(std::mt19937& rng)
{
    Layout l;
    putText(l.appBytes, 256, rng, 255);
    putInt(l.appBytes, 256, uniform(rng, 0, 3));
    putText(l.cfgBytes, 40, rng, 39);
    if (uniform(rng, 0, 1)) {  // most files name a real port
        char port[8];
        std::snprintf(port, sizeof port, "COM%d", uniform(rng, 1, 20));
        std::memcpy(l.cfgBytes.data(), port, std::strlen(port) + 1);
    }
    putInt(l.cfgBytes, 40, uniform(rng, 0, 1) ? pick(rng, {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
                                              : uniform(rng, 1, INT_MAX));
    putInt(l.cfgBytes, 44, uniform(rng, 0, 4));
    putInt(l.cfgBytes, 48, uniform(rng, 4, 8));
    putInt(l.cfgBytes, 52, uniform(rng, 0, 2));
    int32_t timeout;
    do {
        timeout = uniform(rng, 1, 60000);
    } while (!CommCfg::IsUsableTimeout(timeout));
    putInt(l.cfgBytes, 56, timeout);
    return l;
}

DamagedFileGenerator::Outcome DamagedFileGenerator::Expect(const Layout& l)
{
    Outcome o;
    if (l.appInfo == Kind::Stream) {
        std::size_t n = std::min<std::size_t>(l.appBytes.size(), 256);
        const uint8_t* b = l.appBytes.data();
        const void* nul = std::memchr(b, 0, n);
        std::size_t length = nul ? static_cast<std::size_t>(static_cast<const uint8_t*>(nul) - b) : std::min<std::size_t>(n, 255);
        o.logPath.assign(reinterpret_cast<const char*>(b), length);
        // A name with a control character names no file: the load gives the empty name.
        if (std::any_of(o.logPath.begin(), o.logPath.end(), [](char c) { return static_cast<unsigned char>(c) < 32 || c == 127; }))
            o.logPath.clear();
        int32_t format = 0;  // a part of the four bytes overwrites only its part
        if (l.appBytes.size() > 256)
            std::memcpy(&format, b + 256, std::min<std::size_t>(l.appBytes.size() - 256, 4));
        o.displayFormat = (format >= 0 && format <= 3) ? format : 0;
    }
    if (l.commDef == Kind::Storage && l.cfgDef == Kind::Stream) {
        CommCfg& c = o.cfg;
        std::memcpy(&c, l.cfgBytes.data(), std::min(l.cfgBytes.size(), kCfgSize));
        if (!std::memchr(c.portName, 0, sizeof c.portName)) c.portName[sizeof c.portName - 1] = 0;
        // A name with a control character names no device: the default port's instead.
        if (std::any_of(c.portName, c.portName + std::strlen(c.portName),
                        [](char ch) { return static_cast<unsigned char>(ch) < 32 || ch == 127; }))
            std::strcpy(c.portName, CommCfg().portName);
        CommCfg def;
        if (c.baudRate <= 0) c.baudRate = def.baudRate;
        if (c.parity < 0 || c.parity > 4) c.parity = def.parity;
        if (c.dataBits < 4 || c.dataBits > 8) c.dataBits = def.dataBits;
        if (c.stopBits < 0 || c.stopBits > 2) c.stopBits = def.stopBits;
        if (!CommCfg::IsUsableTimeout(c.rxTimeoutMs)) c.rxTimeoutMs = def.rxTimeoutMs;
    }
    return o;
}

bool DamagedFileGenerator::WriteBytes(const std::vector<uint8_t>& bytes, const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

bool DamagedFileGenerator::ReadBytes(const std::string& path, std::vector<uint8_t>& bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool DamagedFileGenerator::WriteLayout(const Layout& l, const std::string& path)
{
    CompoundFile file;
    if (!file.Create(path.c_str())) return false;
    SharedRef<StorageNode> root = file.Root();
    auto stream = [](StorageNode& node, const char* name, const std::vector<uint8_t>& bytes) {
        SharedRef<StreamNode> s = node.CreateStream(name);
        return s && s->Write(bytes.data(), static_cast<uint32_t>(bytes.size())) == bytes.size();
    };
    bool ok = true;
    for (const auto& f : l.foreign) ok = stream(*root, f.first.c_str(), f.second) && ok;
    if (l.appInfo == Kind::Stream) ok = stream(*root, "appinfo", l.appBytes) && ok;
    if (l.appInfo == Kind::Storage) ok = static_cast<bool>(root->CreateStorage("appinfo")) && ok;
    if (l.commDef == Kind::Stream) ok = stream(*root, "commdef", l.commDefBytes) && ok;
    if (l.commDef == Kind::Storage) {
        SharedRef<StorageNode> commDef = root->CreateStorage("commdef");
        ok = commDef && ok;
        if (commDef && l.cfgDef == Kind::Stream) ok = stream(*commDef, "CommCfgDef", l.cfgBytes) && ok;
        if (commDef && l.cfgDef == Kind::Storage) ok = static_cast<bool>(commDef->CreateStorage("CommCfgDef")) && ok;
    }
    return ok;
}

bool DamagedFileGenerator::Write(Damage damage, int index, const std::string& path, Outcome& outcome)
{
    // What was at path before must not shape the new file.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    std::seed_seq seq{seed_, static_cast<uint32_t>(damage), static_cast<uint32_t>(index)};
    std::mt19937 rng(seq);
    Layout l = GoodLayout(rng);
    auto fillText = [&](std::vector<uint8_t>& bytes, std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to && i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(uniform(rng, 33, 126));
    };

    switch (damage) {
    case Damage::TruncatedStreams: {
        // Every length once, then random ones; half the time texts run to the cut unterminated.
        std::size_t appLength = index < 260 ? static_cast<std::size_t>(index) : static_cast<std::size_t>(uniform(rng, 0, 259));
        std::size_t cfgLength = index < 260 ? static_cast<std::size_t>(index % 60) : static_cast<std::size_t>(uniform(rng, 0, 59));
        if (uniform(rng, 0, 1)) fillText(l.appBytes, 0, 256);
        if (uniform(rng, 0, 1)) fillText(l.cfgBytes, 0, 40);
        int which = index % 3;
        if (which != 1) l.appBytes.resize(appLength);
        if (which != 0) l.cfgBytes.resize(cfgLength);
        break;
    }
    case Damage::OverlongStreams: {
        int which = index % 3;
        auto extend = [&](std::vector<uint8_t>& bytes) {
            std::vector<uint8_t> tail = randomBytes(rng, static_cast<std::size_t>(uniform(rng, 1, 6000)));
            bytes.insert(bytes.end(), tail.begin(), tail.end());
        };
        if (which != 1) extend(l.appBytes);
        if (which != 0) extend(l.cfgBytes);
        break;
    }
    case Damage::RandomStreams: {
        auto length = [&](std::size_t whole) {
            int v = uniform(rng, 0, 3);
            return v == 0 ? whole : static_cast<std::size_t>(uniform(rng, 0, v == 1 ? static_cast<int32_t>(whole) * 2 : 600));
        };
        l.appBytes = randomBytes(rng, length(kAppInfoSize));
        l.cfgBytes = randomBytes(rng, length(kCfgSize));
        break;
    }
    case Damage::FieldsOutOfRange: {
        int field = index % 9;
        int round = index / 9;
        auto bad = [&](std::initializer_list<int32_t> values, int32_t lo, int32_t hi) {
            if (round < static_cast<int>(values.size())) return *(values.begin() + round);
            int32_t v;
            do {
                v = static_cast<int32_t>(rng());
            } while (v >= lo && v <= hi);
            return v;
        };
        int32_t timeout;
        switch (field) {
        case 0: fillText(l.appBytes, 0, 256); break;
        case 1: putInt(l.appBytes, 256, bad({-1, 4, 5, 255, 256, 0x01000000, INT_MIN, INT_MAX}, 0, 3)); break;
        case 2: fillText(l.cfgBytes, 0, 40); break;
        case 3: putInt(l.cfgBytes, 40, bad({0, -1, -9600, INT_MIN}, 1, INT_MAX)); break;
        case 4: putInt(l.cfgBytes, 44, bad({-1, 5, 6, 255, INT_MAX, INT_MIN}, 0, 4)); break;
        case 5: putInt(l.cfgBytes, 48, bad({0, 1, 3, 9, 16, -8, INT_MAX, INT_MIN}, 4, 8)); break;
        case 6: putInt(l.cfgBytes, 52, bad({-1, 3, 4, 255, INT_MIN, INT_MAX}, 0, 2)); break;
        case 7:
            do {
                timeout = round < 5 ? pick(rng, {0, -1, CommCfg::kMaxRxTimeoutMs + 1, INT_MAX, INT_MIN})
                                    : static_cast<int32_t>(rng());
            } while (CommCfg::IsUsableTimeout(timeout));
            putInt(l.cfgBytes, 56, timeout);
            break;
        default:  // everything at once
            fillText(l.appBytes, 0, 256);
            putInt(l.appBytes, 256, -7);
            fillText(l.cfgBytes, 0, 40);
            putInt(l.cfgBytes, 40, 0);
            putInt(l.cfgBytes, 44, 9);
            putInt(l.cfgBytes, 48, 99);
            putInt(l.cfgBytes, 52, -3);
            putInt(l.cfgBytes, 56, 0);
            break;
        }
        break;
    }
    case Damage::WrongKinds: {
        auto foreign = [&](const char* name) { l.foreign.emplace_back(name, randomBytes(rng, static_cast<std::size_t>(uniform(rng, 0, 300)))); };
        switch (index % 8) {
        case 0: l.appInfo = Kind::Absent; break;
        case 1: l.commDef = Kind::Absent; break;  // "appinfo" without "commdef"
        case 2: l.appInfo = Kind::Storage; break;
        case 3:
            l.commDef = Kind::Stream;  // a stream of that name is not the storage
            l.commDefBytes = l.cfgBytes;
            break;
        case 4: l.cfgDef = Kind::Storage; break;
        case 5: l.cfgDef = Kind::Absent; break;
        case 6:
            l.appInfo = l.commDef = Kind::Absent;
            foreign("Contents");
            foreign("\x05SummaryInformation");
            break;
        default:  // look-alikes beside the real elements are not taken for them
            foreign("CommCfgDef");
            foreign("appinfo_1");
            foreign("appinfo2");
            foreign("commdef_0");
            break;
        }
        break;
    }
    case Damage::NotCompound: {
        std::vector<uint8_t> bytes;
        switch (index % 4) {
        case 0: bytes = randomBytes(rng, static_cast<std::size_t>(uniform(rng, 1, 4000))); break;
        case 1: {
            std::string text = "[settings]\r\nport=COM" + std::to_string(uniform(rng, 1, 9)) + "\r\nbaud=9600\r\n";
            bytes.assign(text.begin(), text.end());
            break;
        }
        case 2:  // the signature of a compound file, then nothing that makes sense
            bytes = randomBytes(rng, static_cast<std::size_t>(uniform(rng, 8, 4000)));
            std::memcpy(bytes.data(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
            outcome = Outcome();
            outcome.exact = false;
            return WriteBytes(bytes, path);
        default: bytes.assign(static_cast<std::size_t>(uniform(rng, 1, 8)) * 512, 0); break;
        }
        outcome = Outcome();
        outcome.opens = false;
        return WriteBytes(bytes, path);
    }
    case Damage::ZeroLength:
        outcome = Outcome();
        outcome.opens = false;
        return WriteBytes({}, path);
    case Damage::TruncatedFile:
    case Damage::CorruptedFile: {
        std::vector<uint8_t> bytes;
        if (!WriteLayout(l, path) || !ReadBytes(path, bytes) || bytes.size() < 512) return false;
        if (damage == Damage::TruncatedFile) {
            bytes.resize(static_cast<std::size_t>(uniform(rng, 0, static_cast<int32_t>(bytes.size()) - 1)));
        } else {
            uint16_t shift = 9;
            uint32_t dirSector = 0;
            std::memcpy(&shift, bytes.data() + 30, 2);
            std::memcpy(&dirSector, bytes.data() + 48, 4);
            std::size_t dirOffset = shift == 9 ? (static_cast<std::size_t>(dirSector) + 1) * 512 : bytes.size();
            static const int kHeaderFields[] = {24, 26, 28, 30, 32, 40, 44, 48, 56, 60, 64, 68, 72, 76};
            static const int kEntryFields[] = {64, 66, 67, 68, 72, 76, 116, 120, 124};
            static const uint32_t kSpecial[] = {0, 1, 2, 3, 0xFFFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFFDu, 0x7FFFFFFFu, 0x1000, 4096};
            int changes = uniform(rng, 1, 6);
            for (int i = 0; i < changes; ++i) {
                std::size_t at;
                int mode = uniform(rng, 0, 2);
                if (mode == 0) {
                    at = static_cast<std::size_t>(uniform(rng, 0, static_cast<int32_t>(bytes.size()) - 1));
                } else if (mode == 1) {
                    at = static_cast<std::size_t>(kHeaderFields[uniform(rng, 0, 13)]);
                } else {
                    at = dirOffset + static_cast<std::size_t>(uniform(rng, 0, 3)) * 128 +
                         static_cast<std::size_t>(kEntryFields[uniform(rng, 0, 8)]);
                }
                uint32_t value = uniform(rng, 0, 1) ? kSpecial[uniform(rng, 0, 9)] : static_cast<uint32_t>(rng());
                for (int k = 0; k < 4 && at + static_cast<std::size_t>(k) < bytes.size(); ++k)
                    bytes[at + static_cast<std::size_t>(k)] = static_cast<uint8_t>(value >> (8 * k));
            }
        }
        outcome = Outcome();
        outcome.exact = false;
        return WriteBytes(bytes, path);
    }
    case Damage::Count:
        return false;
    }
    outcome = Expect(l);
    return WriteLayout(l, path);
}

int DamagedFileGenerator::WriteFolder(const std::string& folder, int perKind)
{
    std::ofstream manifest(folder + "manifest.txt", std::ios::trunc);
    manifest << "# file\tdamage\texact\topens\tdisplayFormat\tportName\tbaudRate\tparity\tdataBits\tstopBits"
                "\trxTimeoutMs\tlogPath (\\xNN escapes; inexact rows: the file decides, only the safety rules hold)\n";
    int written = 0;
    for (int d = 0; d < static_cast<int>(Damage::Count); ++d) {
        Damage damage = static_cast<Damage>(d);
        int count = std::min(perKind, CaseLimit(damage));
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "%s-%04d.def", Name(damage), i);
            Outcome o;
            if (!Write(damage, i, folder + name, o)) continue;
            ++written;
            manifest << name << '\t' << Name(damage) << '\t' << (o.exact ? 1 : 0) << '\t' << (o.opens ? 1 : 0);
            if (o.exact) {
                manifest << '\t' << o.displayFormat << '\t' << escaped(o.cfg.portName) << '\t' << o.cfg.baudRate << '\t'
                         << o.cfg.parity << '\t' << o.cfg.dataBits << '\t' << o.cfg.stopBits << '\t' << o.cfg.rxTimeoutMs
                         << '\t' << escaped(o.logPath);
            }
            manifest << '\n';
        }
    }
    return manifest ? written : 0;
}
