// Line settings of the monitored serial line: a 60-byte record stored byte for byte.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

class CommCfg {
public:
    static constexpr std::size_t kPortNameSize = 40;
    static constexpr int32_t kDefaultBaudRate = 9600;
    static constexpr int32_t kDefaultParity = NOPARITY;
    static constexpr int32_t kDefaultDataBits = 8;
    static constexpr int32_t kDefaultStopBits = ONESTOPBIT;
    static constexpr int32_t kDefaultRxTimeoutMs = 100;
    static constexpr int32_t kMaxRxTimeoutMs = 60000;

    // Label lists end with a null entry; value tables are parallel to their labels.
    static const char* const kPortLabels[];
    static const char* const kBaudLabels[];
    static const int32_t kBaudValues[];
    static const char* const kDataBitLabels[];
    static const int32_t kDataBitValues[];
    static const char* const kParityLabels[];
    static const char* const kStopBitLabels[];
    static const char* const kStopBitShortLabels[];  // indexed only, no null entry

    char portName[kPortNameSize];
    int32_t baudRate;
    int32_t parity;
    int32_t dataBits;
    int32_t stopBits;
    int32_t rxTimeoutMs;

    CommCfg();

    // "%s  %d-%c-%01d-%s"; a field out of range shows as '?'. Shared buffer, valid until the next call.
    const char* Describe() const;

    // Label of the first entry of values equal to value, else its decimal digits (shared buffer).
    static const char* LabelFor(int32_t value, const int32_t* values, const char* const* labels);

    // Applies the settings to a device-control block read from the device; out-of-range fields
    // give the device their defaults.
    void ApplyTo(DCB& dcb) const;

    // Milliseconds for eleven bit times at the (usable) baud rate, rounded up.
    int32_t CharacterTimeMs() const;

    // Input buffer to ask the driver for: one receive time-out of unbroken traffic at the baud
    // rate (ten bits a byte), even, at least kMinInputQueue and at most kMaxInputQueue bytes.
    static constexpr int32_t kMinInputQueue = 4096;
    static constexpr int32_t kMaxInputQueue = 1 << 20;
    int32_t InputQueueBytes() const;

    // The values the device gets: each out-of-range field replaced by its default.
    int32_t UsableBaudRate() const;
    int32_t UsableParity() const;
    int32_t UsableDataBits() const;
    int32_t UsableStopBits() const;
    int32_t UsableRxTimeoutMs() const;

    static bool IsUsableTimeout(int32_t ms);

    // Terminates portName and sets out-of-range fields to their defaults; true when anything changed.
    bool Repair();

    static bool IsParity(int32_t v) { return v >= NOPARITY && v <= SPACEPARITY; }
    static bool IsStopBits(int32_t v) { return v >= ONESTOPBIT && v <= TWOSTOPBITS; }
    static bool IsDataBits(int32_t v) { return v >= 4 && v <= 8; }
    static bool IsBaudRate(int32_t v) { return v > 0; }
};

static_assert(sizeof(CommCfg) == 60, "CommCfg is stored byte for byte: 60 bytes");
static_assert(offsetof(CommCfg, portName) == 0, "CommCfg layout");
static_assert(offsetof(CommCfg, baudRate) == 40, "CommCfg layout");
static_assert(offsetof(CommCfg, parity) == 44, "CommCfg layout");
static_assert(offsetof(CommCfg, dataBits) == 48, "CommCfg layout");
static_assert(offsetof(CommCfg, stopBits) == 52, "CommCfg layout");
static_assert(offsetof(CommCfg, rxTimeoutMs) == 56, "CommCfg layout");
