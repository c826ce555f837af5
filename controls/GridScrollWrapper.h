// The wrapper of a grid's scroll bar: requests scroll the grid.
#pragma once
#include "framework/ControlWrapper.h"

class GridWrapper;

class GridScrollWrapper : public ControlWrapper {
public:
    GridScrollWrapper(DialogWindow* owner, HWND scrollBar, int id, GridWrapper* grid);
    void onCommand(int request, int position) override;

private:
    GridWrapper* grid_;
};
