#include "settings/CompoundFile.h"
#include <cstdio>
#include <vector>
#include "serial/SysErrorText.h"
#include "settings/CompoundFileCheck.h"

CompoundFile::CompoundFile() : fileName_{}, open_(false), errorText_{}
{
}

CompoundFile::~CompoundFile()
{
    CloseFile();
}

bool CompoundFile::Fail(HRESULT status)
{
    status_ = status;
    SysErrorText text(static_cast<DWORD>(status));
    std::snprintf(errorText_, sizeof errorText_, "%lx:%s", static_cast<unsigned long>(status), text.Text());
    return false;
}

bool CompoundFile::TakePath(const char* path)
{
    fileName_[0] = L'\0';
    // An empty name would make the system create a temporary file instead.
    if (!path || !path[0] || !MultiByteToWideChar(CP_ACP, 0, path, -1, fileName_, 260)) {
        fileName_[0] = L'\0';
        return Fail(STG_E_INVALIDNAME);
    }
    return true;
}

bool CompoundFile::Create(const char* path)
{
    CloseFile();
    if (!TakePath(path)) return false;
    HRESULT hr = StgCreateDocfile(fileName_, StorageNode::kCreateMode, 0, root_.put());
    if (FAILED(hr) || !root_) {
        root_.reset();
        return Fail(FAILED(hr) ? hr : E_POINTER);
    }
    open_ = true;
    return true;
}

bool CompoundFile::OpenFile(const char* path)
{
    CloseFile();
    if (!TakePath(path)) return false;
    // A damaged structure can keep the engine busy for ever; such a file is refused first.
    // What cannot be read here is left to the engine, which reports it in its own terms.
    std::vector<uint8_t> bytes;
    bool tooLarge = false;
    bool read = CompoundFileCheck::ReadWhole(path, bytes, tooLarge);
    if (tooLarge || (read && !CompoundFileCheck::IsSound(bytes.data(), bytes.size()))) return Fail(STG_E_DOCFILECORRUPT);
    HRESULT hr = StgOpenStorage(fileName_, nullptr, StorageNode::kOpenMode, nullptr, 0, root_.put());
    if (FAILED(hr) || !root_) {
        root_.reset();
        return Fail(FAILED(hr) ? hr : E_POINTER);
    }
    open_ = true;
    return true;
}

void CompoundFile::CloseFile()
{
    root_.reset();
    open_ = false;
}

SharedRef<StorageNode> CompoundFile::Root()
{
    if (!open_) return {};
    return makeShared<StorageNode>(root_);  // the node takes a reference of its own
}

const char* CompoundFile::ErrorText() const
{
    return errorText_;
}
