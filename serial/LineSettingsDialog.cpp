#include "serial/LineSettingsDialog.h"

#include <cstdio>
#include <cstring>
#include "framework/BoundedCopy.h"
#include "framework/ListItems.h"
#include "framework/Value.h"
#include "resources/resource.h"

namespace {

const ListItems kPortList(IDC_LS_PORT, CommCfg::kPortLabels, 0);
const ListItems kBaudList(IDC_LS_BAUD, CommCfg::kBaudLabels, 0);
const ListItems kDataBitList(IDC_LS_DATA_BITS, CommCfg::kDataBitLabels, 0);
const ListItems kParityList(IDC_LS_PARITY, CommCfg::kParityLabels, 0);
const ListItems kStopBitList(IDC_LS_STOP_BITS, CommCfg::kStopBitLabels, 0);

// Number of entries of a null-terminated label list.
int LabelCount(const char* const* labels)
{
    int n = 0;
    while (labels[n]) ++n;
    return n;
}

}  // namespace

const ControlDescriptor* const LineSettingsDialog::kDescriptors[] = {
    &kPortList, &kBaudList, &kDataBitList, &kParityList, &kStopBitList, nullptr,
};

bool LineSettingsDialog::Run(CommCfg& live, Dialog& owner)
{
    uint8_t result = 0;
    {
        LineSettingsDialog dialog(live, &result, owner);
        dialog.runModal();
    }
    return result != 0;
}

LineSettingsDialog::LineSettingsDialog(CommCfg& live, uint8_t* result, Dialog& owner)
    : Dialog(IDD_LINE_SETTINGS, kDescriptors, &owner, true, false), live_(&live), result_(result)
{
    working_ = live;
    // The dialog shows, and OK stores, the values the device would get: the rule of loading.
    working_.Repair();

    setText(IDC_LS_PORT, working_.portName, -1);
    setText(IDC_LS_BAUD, CommCfg::LabelFor(working_.baudRate, CommCfg::kBaudValues, CommCfg::kBaudLabels), -1);
    setText(IDC_LS_DATA_BITS,
            CommCfg::LabelFor(working_.dataBits, CommCfg::kDataBitValues, CommCfg::kDataBitLabels), -1);
    setInt(IDC_LS_PARITY, working_.parity, -1);
    setInt(IDC_LS_STOP_BITS, working_.stopBits, -1);
    ShowTimeout();
}

void LineSettingsDialog::ShowTimeout()
{
    setInt(IDC_LS_TIMEOUT, working_.rxTimeoutMs, -1);
}

bool LineSettingsDialog::commandIssued(int id)
{
    if (id == IDOK) {
        working_.Repair();
        *live_ = working_;  // all 60 bytes
        if (result_) *result_ = 1;
        close();
    }
    return false;
}

bool LineSettingsDialog::valueChanged(int id, const Value& value, int)
{
    if (id == IDC_LS_PORT) {
        boundedCopy(working_.portName, value.text());
    } else if (id == IDC_LS_TIMEOUT) {
        // An empty, zero, "Auto" or oversized time-out becomes the default, and the field says so.
        int ms = value.asInt();
        working_.rxTimeoutMs = CommCfg::IsUsableTimeout(ms) ? ms : CommCfg::kDefaultRxTimeoutMs;
        char shown[16];
        std::snprintf(shown, sizeof shown, "%d", int(working_.rxTimeoutMs));
        if (std::strcmp(shown, value.text()) != 0) ShowTimeout();
    }
    return true;
}

bool LineSettingsDialog::selectionChanged(int id, int index, int)
{
    if (index < 0) return true;
    switch (id) {
    case IDC_LS_BAUD:
        if (index < LabelCount(CommCfg::kBaudLabels)) working_.baudRate = CommCfg::kBaudValues[index];
        break;
    case IDC_LS_DATA_BITS:
        if (index < LabelCount(CommCfg::kDataBitLabels)) working_.dataBits = CommCfg::kDataBitValues[index];
        break;
    case IDC_LS_PARITY:
        if (CommCfg::IsParity(index)) working_.parity = index;
        break;
    case IDC_LS_STOP_BITS:
        if (CommCfg::IsStopBits(index)) working_.stopBits = index;
        break;
    default:
        break;
    }
    return true;
}
