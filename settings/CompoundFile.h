// A compound file (structured storage) opened or created by ANSI path, with its root storage.
#pragma once
#include "framework/UniqueHandle.h"
#include "settings/SharedRef.h"
#include "settings/StorageNode.h"

class CompoundFile {
public:
    CompoundFile();
    virtual ~CompoundFile();
    // Creates the file, replacing one of that name. On failure ErrorText is "%x:%s": the status
    // code in lower-case hex and the system's text for it.
    virtual bool Create(const char* path);
    // Opens an existing file for reading and writing, shared with nobody.
    virtual bool OpenFile(const char* path);
    virtual void CloseFile();
    // The root storage; a null holder when no file is open.
    virtual SharedRef<StorageNode> Root();
    virtual const char* ErrorText() const;

    bool IsOpen() const { return open_; }
    // The status code of the last failure; S_OK before any.
    HRESULT Status() const { return status_; }

private:
    // Takes the path into fileName_; false (with the error text) when it is empty or too long.
    bool TakePath(const char* path);
    bool Fail(HRESULT status);

    wchar_t fileName_[260];
    ComRef<IStorage> root_;
    bool open_;
    char errorText_[83];
    HRESULT status_ = S_OK;
};
