#include "serial/CommCfg.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include "framework/BoundedCopy.h"

const char* const CommCfg::kPortLabels[] = {"COM1", "COM2", "COM3", "COM4", nullptr};
const char* const CommCfg::kBaudLabels[] = {"1200",  "2400",  "4800", "9600",
                                            "19.2K", "38.4K", "57.6K", "115K", nullptr};
const int32_t CommCfg::kBaudValues[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
const char* const CommCfg::kDataBitLabels[] = {"4 Bits", "5 Bits", "6 Bits", "7 Bits", "8 Bits", nullptr};
const int32_t CommCfg::kDataBitValues[] = {4, 5, 6, 7, 8};
const char* const CommCfg::kParityLabels[] = {"None", "Odd", "Even", "Mark", "Space", nullptr};
const char* const CommCfg::kStopBitLabels[] = {"1 Bit", "1.5 Bits", "2 Bits", nullptr};
const char* const CommCfg::kStopBitShortLabels[] = {"1", "1.5", "2"};

CommCfg::CommCfg()
    : portName{},
      baudRate(kDefaultBaudRate),
      parity(kDefaultParity),
      dataBits(kDefaultDataBits),
      stopBits(kDefaultStopBits),
      rxTimeoutMs(kDefaultRxTimeoutMs)
{
    boundedCopy(portName, "COM1");
}

const char* CommCfg::Describe() const
{
    static char text[96];
    char name[kPortNameSize];
    // A damaged record may lack its terminator: never read past the field.
    std::memcpy(name, portName, sizeof name);
    name[sizeof name - 1] = '\0';
    char parityChar = IsParity(parity) ? kParityLabels[parity][0] : '?';
    const char* stop = IsStopBits(stopBits) ? kStopBitShortLabels[stopBits] : "?";
    std::snprintf(text, sizeof text, "%s  %d-%c-%01d-%s", name, int(baudRate), parityChar, int(dataBits), stop);
    return text;
}

const char* CommCfg::LabelFor(int32_t value, const int32_t* values, const char* const* labels)
{
    static char digits[16];
    for (int i = 0; labels[i]; ++i)
        if (values[i] == value) return labels[i];
    std::snprintf(digits, sizeof digits, "%d", int(value));
    return digits;
}

int32_t CommCfg::UsableBaudRate() const { return IsBaudRate(baudRate) ? baudRate : kDefaultBaudRate; }
int32_t CommCfg::UsableParity() const { return IsParity(parity) ? parity : kDefaultParity; }
int32_t CommCfg::UsableDataBits() const { return IsDataBits(dataBits) ? dataBits : kDefaultDataBits; }
int32_t CommCfg::UsableStopBits() const { return IsStopBits(stopBits) ? stopBits : kDefaultStopBits; }
int32_t CommCfg::UsableRxTimeoutMs() const
{
    return IsUsableTimeout(rxTimeoutMs) ? rxTimeoutMs : kDefaultRxTimeoutMs;
}

void CommCfg::ApplyTo(DCB& dcb) const
{
    dcb.BaudRate = DWORD(UsableBaudRate());
    dcb.ByteSize = BYTE(UsableDataBits());
    dcb.Parity = BYTE(UsableParity());
    dcb.StopBits = BYTE(UsableStopBits());
    dcb.fBinary = 1;
    dcb.fParity = dcb.Parity != NOPARITY ? 1 : 0;
    dcb.fOutxCtsFlow = 0;
    dcb.fOutxDsrFlow = 0;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = 0;
    dcb.fTXContinueOnXoff = 1;
    dcb.fOutX = 0;
    dcb.fInX = 0;
    dcb.fErrorChar = 0;
    dcb.fNull = 0;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = 0;
}

int32_t CommCfg::CharacterTimeMs() const
{
    // 11000 / rate rounded up, without overflowing near INT32_MAX.
    int32_t rate = UsableBaudRate();
    return int32_t((int64_t(rate) + 10999) / rate);
}

int32_t CommCfg::InputQueueBytes() const
{
    int64_t bytes = (int64_t(UsableBaudRate()) * UsableRxTimeoutMs() + 9999) / 10000;
    bytes = std::min<int64_t>(std::max<int64_t>(bytes, kMinInputQueue), kMaxInputQueue);
    return int32_t(bytes + (bytes & 1));
}

bool CommCfg::IsUsableTimeout(int32_t ms) { return ms >= 1 && ms <= kMaxRxTimeoutMs; }

bool CommCfg::Repair()
{
    bool changed = false;
    if (!std::memchr(portName, '\0', sizeof portName)) {
        portName[sizeof portName - 1] = '\0';
        changed = true;
    }
    auto fix = [&changed](int32_t& field, bool ok, int32_t def) {
        if (!ok) {
            field = def;
            changed = true;
        }
    };
    fix(baudRate, IsBaudRate(baudRate), kDefaultBaudRate);
    fix(parity, IsParity(parity), kDefaultParity);
    fix(dataBits, IsDataBits(dataBits), kDefaultDataBits);
    fix(stopBits, IsStopBits(stopBits), kDefaultStopBits);
    fix(rxTimeoutMs, IsUsableTimeout(rxTimeoutMs), kDefaultRxTimeoutMs);
    return changed;
}
