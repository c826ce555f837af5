// Icon static: a number shows the icon with that resource id; the wrapper owns what it shows.
#pragma once
#include "controls/OwnedImage.h"
#include "framework/ControlWrapper.h"
#include "framework/UniqueHandle.h"

class StaticIconWrapper : public ControlWrapper {
public:
    // Icons kept loaded: a lamp switching between a few icons loads each once, not per switch.
    static constexpr int kKeptIcons = 4;

    StaticIconWrapper(DialogWindow* owner, HWND control, int id);
    ~StaticIconWrapper() override;

    // Shows icon (value & 0xFFFF) of the program's resources; one that does not load clears it.
    void setInt(int value, int item) override;

    HANDLE image() const { return shown_; }

private:
    struct Kept {
        int id = 0;
        UniqueIcon icon;
    };
    // The loaded icon for id, loading it into the slot of one not shown; null when it does not load.
    HICON iconFor(int id);

    Kept kept_[kKeptIcons];
    int nextSlot_ = 0;
    HANDLE shown_ = nullptr;
};
