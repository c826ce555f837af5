// The port's two settings-file operations: its live line settings as the stream "CommCfgDef".
#include "serial/CommPort.h"
#include "settings/StorageNode.h"

namespace {

constexpr const char* kCommCfgDef = "CommCfgDef";

}  // namespace

bool CommPort::SaveSettings(StorageNode& storage)
{
    SharedRef<StreamNode> stream = storage.CreateStream(kCommCfgDef);
    if (!stream) return false;
    return stream->Write(&Settings(), sizeof(CommCfg)) == sizeof(CommCfg);
}

bool CommPort::LoadSettings(StorageNode& storage)
{
    SharedRef<StreamNode> stream = storage.OpenStream(kCommCfgDef);
    if (!stream) return false;
    // A short stream leaves the rest of the record as it was; the file is not trusted.
    CommCfg& cfg = Settings();
    stream->Read(&cfg, sizeof cfg);
    cfg.Repair();
    return true;
}
