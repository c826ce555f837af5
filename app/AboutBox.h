// The About box (resource 141): a plain modal dialog over the monitor window.
#pragma once
#include "framework/Dialog.h"

class AboutBox : public Dialog {
public:
    // Builds the box as a window owned by owner.
    explicit AboutBox(Dialog& owner);

    // Help > About: shows the box modally (owner disabled meanwhile) and destroys it when closed.
    static void Show(Dialog& owner);
};
