#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "framework/BoundedCopy.h"
#include "serial/CommCfg.h"

namespace {

int countLabels(const char* const* labels)
{
    int n = 0;
    while (labels[n]) ++n;
    return n;
}

TEST(CommCfg, DefaultsDescribeThemselves)
{
    CommCfg c;
    EXPECT_STREQ(c.portName, "COM1");
    EXPECT_EQ(c.baudRate, 9600);
    EXPECT_EQ(c.parity, 0);
    EXPECT_EQ(c.dataBits, 8);
    EXPECT_EQ(c.stopBits, 0);
    EXPECT_EQ(c.rxTimeoutMs, 100);
    EXPECT_STREQ(c.Describe(), "COM1  9600-N-8-1");

    boundedCopy(c.portName, "COM3");
    c.baudRate = 19200;
    c.parity = EVENPARITY;
    c.dataBits = 7;
    c.stopBits = TWOSTOPBITS;
    EXPECT_STREQ(c.Describe(), "COM3  19200-E-7-2");
    c.parity = MARKPARITY;
    c.stopBits = ONE5STOPBITS;
    EXPECT_STREQ(c.Describe(), "COM3  19200-M-7-1.5");
    c.parity = ODDPARITY;
    EXPECT_EQ(c.Describe()[12], 'O');
    c.parity = SPACEPARITY;
    EXPECT_EQ(c.Describe()[12], 'S');
}

TEST(CommCfg, TablesAreNullTerminatedInOrder)
{
    EXPECT_EQ(countLabels(CommCfg::kPortLabels), 4);
    EXPECT_STREQ(CommCfg::kPortLabels[3], "COM4");
    ASSERT_EQ(countLabels(CommCfg::kBaudLabels), 8);
    const char* baud[] = {"1200", "2400", "4800", "9600", "19.2K", "38.4K", "57.6K", "115K"};
    const int32_t rates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    for (int i = 0; i < 8; ++i) {
        EXPECT_STREQ(CommCfg::kBaudLabels[i], baud[i]);
        EXPECT_EQ(CommCfg::kBaudValues[i], rates[i]);
    }
    ASSERT_EQ(countLabels(CommCfg::kDataBitLabels), 5);
    EXPECT_STREQ(CommCfg::kDataBitLabels[0], "4 Bits");
    EXPECT_EQ(CommCfg::kDataBitValues[4], 8);
    ASSERT_EQ(countLabels(CommCfg::kParityLabels), 5);
    EXPECT_STREQ(CommCfg::kParityLabels[4], "Space");
    ASSERT_EQ(countLabels(CommCfg::kStopBitLabels), 3);
    EXPECT_STREQ(CommCfg::kStopBitLabels[1], "1.5 Bits");
    EXPECT_STREQ(CommCfg::kStopBitShortLabels[1], "1.5");
}

TEST(CommCfg, LabelLookupFallsBackToDigits)
{
    EXPECT_STREQ(CommCfg::LabelFor(19200, CommCfg::kBaudValues, CommCfg::kBaudLabels), "19.2K");
    EXPECT_STREQ(CommCfg::LabelFor(1200, CommCfg::kBaudValues, CommCfg::kBaudLabels), "1200");
    EXPECT_STREQ(CommCfg::LabelFor(14400, CommCfg::kBaudValues, CommCfg::kBaudLabels), "14400");
    EXPECT_STREQ(CommCfg::LabelFor(8, CommCfg::kDataBitValues, CommCfg::kDataBitLabels), "8 Bits");
    EXPECT_STREQ(CommCfg::LabelFor(-3, CommCfg::kDataBitValues, CommCfg::kDataBitLabels), "-3");

    CommCfg c;
    c.baudRate = 14400;
    EXPECT_STREQ(c.Describe(), "COM1  14400-N-8-1");
    EXPECT_FALSE(c.Repair()) << "a rate in no table row is kept";
    EXPECT_EQ(c.baudRate, 14400);
}

TEST(CommCfg, PortNameIsCutTo39Characters)
{
    CommCfg c;
    std::string n39(39, 'P');
    boundedCopy(c.portName, n39.c_str());
    EXPECT_EQ(std::string(c.portName), n39);
    boundedCopy(c.portName, (n39 + "XYZ").c_str());
    EXPECT_EQ(std::string(c.portName), n39);
    EXPECT_EQ(std::string(c.Describe()), n39 + "  9600-N-8-1");
}

TEST(CommCfg, CopiesWholeRecord)
{
    CommCfg a;
    boundedCopy(a.portName, "\\\\.\\COM12");
    a.baudRate = 57600;
    a.rxTimeoutMs = 250;
    CommCfg b = a;
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_EQ(sizeof a, 60u);
}

TEST(CommCfg, MapsOntoDeviceControlBlock)
{
    DCB dcb;
    std::memset(&dcb, 0xA5, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    const DCB before = dcb;
    CommCfg c;
    c.baudRate = 38400;
    c.parity = MARKPARITY;
    c.dataBits = 7;
    c.stopBits = TWOSTOPBITS;
    c.ApplyTo(dcb);
    EXPECT_EQ(dcb.BaudRate, 38400u);
    EXPECT_EQ(dcb.ByteSize, 7);
    EXPECT_EQ(dcb.Parity, MARKPARITY);
    EXPECT_EQ(dcb.StopBits, TWOSTOPBITS);
    EXPECT_EQ(dcb.fBinary, 1u);
    EXPECT_EQ(dcb.fParity, 1u);
    EXPECT_EQ(dcb.fOutxCtsFlow, 0u);
    EXPECT_EQ(dcb.fOutxDsrFlow, 0u);
    EXPECT_EQ(dcb.fDtrControl, unsigned(DTR_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fDsrSensitivity, 0u);
    EXPECT_EQ(dcb.fTXContinueOnXoff, 1u);
    EXPECT_EQ(dcb.fOutX, 0u);
    EXPECT_EQ(dcb.fInX, 0u);
    EXPECT_EQ(dcb.fErrorChar, 0u);
    EXPECT_EQ(dcb.fNull, 0u);
    EXPECT_EQ(dcb.fRtsControl, unsigned(RTS_CONTROL_ENABLE));
    EXPECT_EQ(dcb.fAbortOnError, 0u);
    // Members outside the mapping keep what the device reported.
    EXPECT_EQ(dcb.DCBlength, before.DCBlength);
    EXPECT_EQ(dcb.XonLim, before.XonLim);
    EXPECT_EQ(dcb.XoffLim, before.XoffLim);
    EXPECT_EQ(dcb.XonChar, before.XonChar);
    EXPECT_EQ(dcb.ErrorChar, before.ErrorChar);
    EXPECT_EQ(dcb.EofChar, before.EofChar);
    EXPECT_EQ(dcb.EvtChar, before.EvtChar);
    EXPECT_EQ(dcb.fDummy2, before.fDummy2);

    c.parity = NOPARITY;
    c.ApplyTo(dcb);
    EXPECT_EQ(dcb.fParity, 0u);
}

TEST(CommCfg, CharacterTimeRoundsUp)
{
    CommCfg c;
    EXPECT_EQ(c.CharacterTimeMs(), 2);
    c.baudRate = 115200;
    EXPECT_EQ(c.CharacterTimeMs(), 1);
    c.baudRate = 1200;
    EXPECT_EQ(c.CharacterTimeMs(), 10);
    c.baudRate = 11000;
    EXPECT_EQ(c.CharacterTimeMs(), 1);
    c.baudRate = 10999;
    EXPECT_EQ(c.CharacterTimeMs(), 2);
    c.baudRate = 0x7FFFFFFF;
    EXPECT_EQ(c.CharacterTimeMs(), 1);
}

TEST(CommCfg, InputQueueHoldsOneTimeOutOfTraffic)
{
    CommCfg c;
    c.baudRate = 921600;
    EXPECT_EQ(c.InputQueueBytes(), 9216);  // 92160 bytes a second for 100 ms
    c.baudRate = 115200;
    c.rxTimeoutMs = 403;
    EXPECT_EQ(c.InputQueueBytes(), 4644);  // 4642.6 rounded up to whole and even bytes
    c.baudRate = 921600;
    c.rxTimeoutMs = CommCfg::kMaxRxTimeoutMs;
    EXPECT_EQ(c.InputQueueBytes(), CommCfg::kMaxInputQueue);
    c.baudRate = 9600;
    c.rxTimeoutMs = 0;  // unusable: the default 100 ms
    EXPECT_EQ(c.InputQueueBytes(), CommCfg::kMinInputQueue);
}

TEST(CommCfg, DamagedRecordNeverIndexesPastTablesOrDividesByZero)
{
    CommCfg c;
    c.parity = 5;
    c.stopBits = 3;
    c.dataBits = 12;
    c.baudRate = 0;
    EXPECT_STREQ(c.Describe(), "COM1  0-?-12-?");
    c.parity = -1;
    c.stopBits = -7;
    c.baudRate = -9600;
    EXPECT_STREQ(c.Describe(), "COM1  -9600-?-12-?");
    EXPECT_EQ(c.CharacterTimeMs(), 2) << "an unusable rate times as the default 9600";

    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    c.ApplyTo(dcb);
    EXPECT_EQ(dcb.BaudRate, 9600u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, NOPARITY);
    EXPECT_EQ(dcb.fParity, 0u);
    EXPECT_EQ(dcb.StopBits, ONESTOPBIT);

    // A name without its terminator is described from its 39 first characters only.
    std::memset(c.portName, 'Q', sizeof c.portName);
    EXPECT_EQ(std::string(c.Describe()), std::string(39, 'Q') + "  -9600-?-12-?");
}

TEST(CommCfg, UsableTimeoutsAreOneToSixtyThousand)
{
    EXPECT_FALSE(CommCfg::IsUsableTimeout(0));
    EXPECT_FALSE(CommCfg::IsUsableTimeout(-1));
    EXPECT_TRUE(CommCfg::IsUsableTimeout(1));
    EXPECT_TRUE(CommCfg::IsUsableTimeout(60000));
    EXPECT_FALSE(CommCfg::IsUsableTimeout(60001));
    EXPECT_FALSE(CommCfg::IsUsableTimeout(int32_t(0x80000002u)));

    CommCfg c;
    c.rxTimeoutMs = int32_t(0x80000002u);
    EXPECT_EQ(c.UsableRxTimeoutMs(), 100);
    c.rxTimeoutMs = 30;
    EXPECT_EQ(c.UsableRxTimeoutMs(), 30);
}

TEST(CommCfg, RepairRestoresDefaultsOfDamagedFieldsOnly)
{
    CommCfg good;
    boundedCopy(good.portName, "COM12");
    good.baudRate = 14400;
    good.parity = SPACEPARITY;
    good.dataBits = 4;
    good.stopBits = TWOSTOPBITS;
    good.rxTimeoutMs = 60000;
    CommCfg copy = good;
    EXPECT_FALSE(copy.Repair());
    EXPECT_EQ(std::memcmp(&copy, &good, sizeof good), 0);

    CommCfg bad;
    std::memset(bad.portName, 'Z', sizeof bad.portName);
    bad.baudRate = 0;
    bad.parity = 9;
    bad.dataBits = 3;
    bad.stopBits = 3;
    bad.rxTimeoutMs = int32_t(0x80000002u);
    EXPECT_TRUE(bad.Repair());
    EXPECT_EQ(std::string(bad.portName), std::string(39, 'Z'));
    EXPECT_EQ(bad.baudRate, 9600);
    EXPECT_EQ(bad.parity, 0);
    EXPECT_EQ(bad.dataBits, 8);
    EXPECT_EQ(bad.stopBits, 0);
    EXPECT_EQ(bad.rxTimeoutMs, 100);
    EXPECT_FALSE(bad.Repair());

    CommCfg one;
    one.dataBits = 9;
    EXPECT_TRUE(one.Repair());
    EXPECT_EQ(one.dataBits, 8);
    one.rxTimeoutMs = 0;
    EXPECT_TRUE(one.Repair());
    EXPECT_EQ(one.rxTimeoutMs, 100);
}

}  // namespace
