// Wrapper of a toolbar ("ToolbarWindow32"): buttons and images from a ToolbarSetup; clicks are
// reported as commands (push), check states (check) or group selections (radio group).
#pragma once
#include <memory>
#include "framework/ControlWrapper.h"
#include "framework/UniqueImageList.h"

class ControlDescriptor;
struct ToolbarButton;

class ToolbarWrapper : public ControlWrapper {
public:
    ToolbarWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);
    ~ToolbarWrapper() override;

    // Checks (value non-zero) or unchecks button item, reporting the change.
    void setInt(int value, int item) override;
    // (notification code, command id) of a button click.
    void onCommand(int code, int commandId) override;

    int buttonCount() const { return buttonCount_; }
    int activeRadio() const { return activeRadio_; }
    HIMAGELIST images() const { return images_.get(); }
    // The command id of button index.
    int commandId(int index) const { return (id_ & 0xFFFF) + index; }

    static std::unique_ptr<ControlWrapper> create(DialogWindow& owner, HWND control, int id, LONG style,
                                                  const ControlDescriptor* descriptor);

private:
    bool isChecked(int index) const;
    void check(int index, bool on);

    const ToolbarButton* buttons_ = nullptr;
    int buttonCount_ = 0;
    int activeRadio_ = -1;
    UniqueImageList images_;  // the strip's images; the toolbar only borrows the list
};
