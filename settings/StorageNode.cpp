#include "settings/StorageNode.h"
#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>
#include "settings/EmptyNameList.h"
#include "settings/FullNameList.h"
#include "settings/NamePattern.h"

namespace {

constexpr int kNameChars = 260;

// The element name: name, or name_index with index >= 0. False when it does not fit.
bool elementName(const char* name, int32_t index, wchar_t (&out)[kNameChars])
{
    out[0] = L'\0';
    if (!name) name = "";
    if (!MultiByteToWideChar(CP_ACP, 0, name, -1, out, kNameChars)) return false;
    if (index < 0) return true;
    char digits[16];
    int n = std::snprintf(digits, sizeof digits, "_%d", static_cast<int>(index));
    std::size_t used = std::wcslen(out);
    if (n <= 0 || used + static_cast<std::size_t>(n) >= kNameChars) return false;
    for (int i = 0; i <= n; ++i) out[used + i] = static_cast<wchar_t>(digits[i]);  // with the NUL
    return true;
}

struct TaskMemFree {
    void operator()(wchar_t* p) const { CoTaskMemFree(p); }
};

// Takes the next element from the enumerator; false when it has no more.
bool nextElement(IEnumSTATSTG* elements, DWORD& type, std::unique_ptr<wchar_t, TaskMemFree>& name)
{
    STATSTG stat{};
    ULONG fetched = 0;
    HRESULT hr = elements->Next(1, &stat, &fetched);
    name.reset(stat.pwcsName);  // owned from here on, whatever the result
    if (hr != S_OK || fetched != 1) return false;
    type = stat.type;
    return true;
}

std::string toAnsi(const wchar_t* wide)
{
    if (!wide) return std::string();
    int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, &text[0], n, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(n) - 1);
    return text;
}

std::vector<wchar_t> toWide(const char* text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    return wide;
}

}  // namespace

StorageNode::StorageNode(ComRef<IStorage> storage) : storage_(std::move(storage)), errorText_{}
{
}

StorageNode::~StorageNode() = default;

void StorageNode::Fail(HRESULT status)
{
    std::snprintf(errorText_, sizeof errorText_, "%lx", static_cast<unsigned long>(status));
}

const char* StorageNode::Name() const
{
    return "";
}

SharedRef<NameList> StorageNode::ListStorages(const char* pattern)
{
    return List(STGTY_STORAGE, pattern);
}

SharedRef<NameList> StorageNode::ListStreams(const char* pattern)
{
    return List(STGTY_STREAM, pattern);
}

SharedRef<NameList> StorageNode::List(DWORD wantedType, const char* pattern)
{
    ComRef<IEnumSTATSTG> elements;
    if (!storage_ || FAILED(storage_->EnumElements(0, nullptr, 0, elements.put())) || !elements)
        return SharedRef<NameList>(std::make_unique<EmptyNameList>());

    std::vector<wchar_t> widePattern;
    if (pattern) widePattern = toWide(pattern);
    NamePattern matcher(pattern ? widePattern.data() : nullptr, true);

    // First pass: how many names, and how many bytes they take as ANSI texts.
    int32_t count = 0;
    std::size_t total = 0;
    DWORD type = 0;
    std::unique_ptr<wchar_t, TaskMemFree> name;
    while (nextElement(elements.get(), type, name)) {
        if (type != wantedType || !matcher.Matches(name.get())) continue;
        ++count;
        total += toAnsi(name.get()).size() + 1;
    }

    // Second pass: the names themselves; a list that ends early keeps what was taken.
    auto list = std::make_unique<FullNameList>(count, total);
    elements->Reset();
    while (list->Count() < count && nextElement(elements.get(), type, name)) {
        if (type != wantedType || !matcher.Matches(name.get())) continue;
        std::string ansi = toAnsi(name.get());
        if (!list->Add(ansi.c_str(), ansi.size())) break;
    }
    return SharedRef<NameList>(std::move(list));
}

bool StorageNode::Reserved5(const char*, int32_t)
{
    return false;
}

SharedRef<StorageNode> StorageNode::OpenStorage(const char* name, int32_t index)
{
    wchar_t element[kNameChars];
    if (!storage_ || !elementName(name, index, element)) {
        Fail(storage_ ? STG_E_INVALIDNAME : E_POINTER);
        return {};
    }
    ComRef<IStorage> child;
    HRESULT hr = storage_->OpenStorage(element, nullptr, kOpenMode, nullptr, 0, child.put());
    if (FAILED(hr) || !child) {
        Fail(FAILED(hr) ? hr : E_POINTER);
        return {};
    }
    return makeShared<StorageNode>(std::move(child));
}

SharedRef<StorageNode> StorageNode::CreateStorage(const char* name, int32_t index)
{
    wchar_t element[kNameChars];
    if (!storage_ || !elementName(name, index, element)) {
        Fail(storage_ ? STG_E_INVALIDNAME : E_POINTER);
        return {};
    }
    ComRef<IStorage> child;
    HRESULT hr = storage_->CreateStorage(element, kCreateMode, 0, 0, child.put());
    if (FAILED(hr) || !child) {
        Fail(FAILED(hr) ? hr : E_POINTER);
        return {};
    }
    return makeShared<StorageNode>(std::move(child));
}

void StorageNode::Reserved8()
{
}

bool StorageNode::Reserved9(const char*, int32_t)
{
    return true;
}

SharedRef<StreamNode> StorageNode::CreateStream(const char* name, int32_t index)
{
    wchar_t element[kNameChars];
    if (!storage_ || !elementName(name, index, element)) {
        Fail(storage_ ? STG_E_INVALIDNAME : E_POINTER);
        return {};
    }
    ComRef<IStream> stream;
    HRESULT hr = storage_->CreateStream(element, kCreateMode, 0, 0, stream.put());
    if (FAILED(hr) || !stream) {
        Fail(FAILED(hr) ? hr : E_POINTER);
        return {};
    }
    return makeShared<StreamNode>(std::move(stream));
}

SharedRef<StreamNode> StorageNode::OpenStream(const char* name, int32_t index)
{
    wchar_t element[kNameChars];
    if (!storage_ || !elementName(name, index, element)) {
        Fail(storage_ ? STG_E_INVALIDNAME : E_POINTER);
        return {};
    }
    ComRef<IStream> stream;
    HRESULT hr = storage_->OpenStream(element, nullptr, kOpenMode, 0, stream.put());
    if (FAILED(hr) || !stream) {
        Fail(FAILED(hr) ? hr : E_POINTER);
        return {};
    }
    return makeShared<StreamNode>(std::move(stream));
}

bool StorageNode::Reserved12(const char*, int32_t)
{
    return true;
}

const char* StorageNode::ErrorText() const
{
    return errorText_;
}
