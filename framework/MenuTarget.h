// Target -1: a dialog's menu, addressed with the menu command id as the item.
#pragma once
#include <windows.h>
#include "framework/ValueTarget.h"

class MenuTarget : public ValueTarget {
public:
    explicit MenuTarget(HMENU menu) : menu_(menu) {}
    void setInt(int value, int item) override;  // item > 0: check (value != 0) or uncheck
    void enable(bool on, int item) override;    // item > 0: enable or grey
    HMENU menu() const { return menu_; }

private:
    HMENU menu_;
};
