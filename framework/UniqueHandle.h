// Owners for operating-system handles: move-only, released exactly once.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <utility>

// One owner template; a traits type says what "empty" is and how to release.
template <class Traits>
class UniqueAny {
public:
    using Type = typename Traits::Type;
    UniqueAny() noexcept : value_(Traits::empty()) {}
    explicit UniqueAny(Type v) noexcept : value_(v) {}
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& o) noexcept : value_(o.release()) {}
    UniqueAny& operator=(UniqueAny&& o) noexcept
    {
        if (this != &o) reset(o.release());
        return *this;
    }
    ~UniqueAny() { reset(); }

    Type get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::empty(); }
    Type release() noexcept { return std::exchange(value_, Traits::empty()); }
    void reset(Type v = Traits::empty()) noexcept
    {
        Type old = std::exchange(value_, v);
        if (old != Traits::empty()) Traits::close(old);
    }
    // For APIs that write a handle through a pointer: releases what is held first.
    Type* put() noexcept
    {
        reset();
        return &value_;
    }

private:
    Type value_;
};

struct HandleNullTraits {
    using Type = HANDLE;
    static Type empty() { return nullptr; }
    static void close(Type h) { CloseHandle(h); }
};
struct HandleInvalidTraits {
    using Type = HANDLE;
    static Type empty() { return INVALID_HANDLE_VALUE; }
    static void close(Type h) { CloseHandle(h); }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type empty() { return nullptr; }
    static void close(Type h) { FreeLibrary(h); }
};
struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type empty() { return nullptr; }
    static void close(Type h) { DeleteObject(h); }
};
struct IconTraits {
    using Type = HICON;
    static Type empty() { return nullptr; }
    static void close(Type h) { DestroyIcon(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type empty() { return nullptr; }
    static void close(Type h) { RegCloseKey(h); }
};
struct FindTraits {
    using Type = HANDLE;
    static Type empty() { return INVALID_HANDLE_VALUE; }
    static void close(Type h) { FindClose(h); }
};
struct LocalMemTraits {
    using Type = HLOCAL;
    static Type empty() { return nullptr; }
    static void close(Type h) { LocalFree(h); }
};

// Events, threads and other handles where null is empty.
using UniqueHandle = UniqueAny<HandleNullTraits>;
// Files and devices, where CreateFile's INVALID_HANDLE_VALUE is empty.
using UniqueFileHandle = UniqueAny<HandleInvalidTraits>;
using UniqueModule = UniqueAny<ModuleTraits>;
using UniqueGdiObject = UniqueAny<GdiObjectTraits>;
using UniqueIcon = UniqueAny<IconTraits>;
using UniqueRegKey = UniqueAny<RegKeyTraits>;
using UniqueLocalMem = UniqueAny<LocalMemTraits>;
// A listing of FindFirstFile.
using UniqueFind = UniqueAny<FindTraits>;

// Owner of one COM interface reference.
template <class T>
class ComRef {
public:
    ComRef() noexcept = default;
    explicit ComRef(T* p) noexcept : p_(p) {}  // adopts the reference
    ComRef(const ComRef& o) noexcept : p_(o.p_) { if (p_) p_->AddRef(); }
    ComRef(ComRef&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComRef& operator=(ComRef o) noexcept
    {
        std::swap(p_, o.p_);
        return *this;
    }
    ~ComRef() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset() noexcept
    {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    T** put() noexcept
    {
        reset();
        return &p_;
    }
    T* detach() noexcept { return std::exchange(p_, nullptr); }

private:
    T* p_ = nullptr;
};
