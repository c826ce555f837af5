// A storage inside a compound file: its child storages and streams, opened, created and listed
// by ANSI name, handed out through shared holders; the last failure is kept as text.
#pragma once
#include <cstdint>
#include "framework/UniqueHandle.h"
#include "settings/NameList.h"
#include "settings/SharedRef.h"
#include "settings/StreamNode.h"

class StorageNode {
public:
    explicit StorageNode(ComRef<IStorage> storage);
    virtual ~StorageNode();

    // Always the empty text.
    virtual const char* Name() const;
    // Names of the child storages / streams that match pattern (every one when null), compared
    // without regard to the case of a to z; the empty list when the listing cannot start.
    virtual SharedRef<NameList> ListStorages(const char* pattern);
    virtual SharedRef<NameList> ListStreams(const char* pattern);
    // Kept for the interface's order; does nothing and answers false.
    virtual bool Reserved5(const char* first, int32_t second);
    // An element's name is name, or with index >= 0 name_index. A failure gives a null holder
    // and the status code in ErrorText.
    virtual SharedRef<StorageNode> OpenStorage(const char* name, int32_t index = -1);
    // Creates the storage, replacing one of that name.
    virtual SharedRef<StorageNode> CreateStorage(const char* name, int32_t index = -1);
    // Kept for the interface's order; does nothing.
    virtual void Reserved8();
    // Kept for the interface's order; does nothing and answers true.
    virtual bool Reserved9(const char* first, int32_t second);
    // Creates the stream, replacing one of that name.
    virtual SharedRef<StreamNode> CreateStream(const char* name, int32_t index = -1);
    virtual SharedRef<StreamNode> OpenStream(const char* name, int32_t index = -1);
    // Kept for the interface's order; does nothing and answers true.
    virtual bool Reserved12(const char* first, int32_t second);
    // The status code of the last failure as "%x"; empty before any failure.
    virtual const char* ErrorText() const;

    // Access modes of every create and every open (direct mode).
    static constexpr DWORD kCreateMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
    static constexpr DWORD kOpenMode = STGM_SHARE_EXCLUSIVE | STGM_READWRITE;

private:
    SharedRef<NameList> List(DWORD wantedType, const char* pattern);
    void Fail(HRESULT status);

    ComRef<IStorage> storage_;
    char errorText_[80];
};
