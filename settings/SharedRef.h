// Reference-counted holder through which storage wrappers (and plain buffers) are handed out.
#pragma once
#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

// A null holder means "no object". Copies share one count; the last one destroys an owned object
// (delete for objects, delete[] for T[] buffers) and frees the holder.
template <class T>
class SharedRef {
public:
    using Element = std::remove_extent_t<T>;

    SharedRef() noexcept = default;
    // Takes ownership; an empty pointer gives a null holder.
    explicit SharedRef(std::unique_ptr<T> object)
    {
        if (object) {
            holder_ = new Holder{1, true, object.get()};
            object.release();
        }
    }
    // Refers to an object that someone else keeps alive; never destroys it.
    static SharedRef Borrowed(Element* object)
    {
        SharedRef r;
        if (object) r.holder_ = new Holder{1, false, object};
        return r;
    }
    SharedRef(const SharedRef& o) noexcept : holder_(o.holder_)
    {
        if (holder_) ++holder_->refs;
    }
    SharedRef(SharedRef&& o) noexcept : holder_(std::exchange(o.holder_, nullptr)) {}
    SharedRef& operator=(SharedRef o) noexcept
    {
        std::swap(holder_, o.holder_);
        return *this;
    }
    ~SharedRef() { reset(); }

    void reset() noexcept
    {
        if (Holder* h = std::exchange(holder_, nullptr)) Drop(h);
    }

    Element* get() const noexcept { return holder_ ? holder_->object : nullptr; }
    Element* operator->() const noexcept { return get(); }
    Element& operator*() const noexcept { return *get(); }
    explicit operator bool() const noexcept { return holder_ != nullptr; }
    // Number of holders sharing the object; 0 for a null holder.
    int32_t useCount() const noexcept { return holder_ ? holder_->refs : 0; }
    bool owns() const noexcept { return holder_ && holder_->owns; }

private:
    struct Holder {
        int32_t refs;
        bool owns;
        Element* object;
    };
    // Out of line: inlined, the compiler loses track of the count across copies and warns of
    // a use after free that cannot happen.
    [[gnu::noinline]] static void Drop(Holder* h) noexcept
    {
        if (--h->refs > 0) return;
        if (h->owns) std::default_delete<T>()(h->object);
        delete h;
    }

    Holder* holder_ = nullptr;
};

// Builds an owned object in a new holder.
template <class T, class... Args>
SharedRef<T> makeShared(Args&&... args)
{
    return SharedRef<T>(std::make_unique<T>(std::forward<Args>(args)...));
}
