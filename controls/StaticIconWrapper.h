// Icon static: a number shows the icon with that resource id; the wrapper owns what it shows.
// Icons are loaded once and kept while the wrapper lives: an activity lamp switches icons many
// times a second, and loading an icon from the resources costs milliseconds under Wine.
#pragma once
#include <memory>
#include <vector>
#include "controls/OwnedImage.h"
#include "framework/ControlWrapper.h"

class StaticIconWrapper : public ControlWrapper {
public:
    static constexpr size_t kKeptIcons = 16;  // distinct icons kept; further ones are loaded each time

    StaticIconWrapper(DialogWindow* owner, HWND control, int id);
    ~StaticIconWrapper() override;

    // Shows icon (value & 0xFFFF) of the program's resources; one that does not load clears it.
    void setInt(int value, int item) override;

    HANDLE image() const { return shown_; }

private:
    struct KeptIcon {
        int value;
        OwnedImage image;
    };
    // The icon for value, loaded now or kept from before; null when it does not load.
    HANDLE icon(int value);

    std::vector<std::unique_ptr<KeptIcon>> kept_;
    OwnedImage unkept_;  // the icon shown when kKeptIcons are taken
    HANDLE shown_ = nullptr;
};
