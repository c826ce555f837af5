// Finding bound controls by id and measuring them in their parent.
#pragma once
#include <windows.h>

// The direct child of parent (id >= 1, bound) whose wrapper id equals id (all 32 bits); the
// pages a wrapper hosts are searched right after it. Null when none.
HWND findControl(HWND parent, int id);

// The window's rectangle in its parent's client coordinates; all zero without a parent.
RECT rectInParent(HWND window);
