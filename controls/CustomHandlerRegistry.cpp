#include "controls/CustomHandlerRegistry.h"
#include "controls/CustomHandlerFactory.h"

// Zero-initialised before any static constructor runs, so registrations may come from them.
CustomHandlerRegistry::Entry CustomHandlerRegistry::entries_[CustomHandlerRegistry::Capacity];
int CustomHandlerRegistry::count_;

bool CustomHandlerRegistry::add(int controlId, CustomHandlerFactory* factory)
{
    if (!factory || count_ >= Capacity) return false;
    entries_[count_++] = Entry{controlId, factory};
    return true;
}

int CustomHandlerRegistry::count() { return count_; }

void CustomHandlerRegistry::clear()
{
    for (Entry& e : entries_) e = Entry{0, nullptr};
    count_ = 0;
}

CustomControlHandler* CustomHandlerRegistry::createHandler(int controlId, HWND window, void* createParams)
{
    for (int i = 0; i < count_; ++i) {
        if (entries_[i].controlId != controlId) continue;
        if (CustomControlHandler* h = entries_[i].factory->create(controlId, window, createParams)) return h;
    }
    return nullptr;
}
