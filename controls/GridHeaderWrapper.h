// The wrapper of a grid's header control: a column width change lays the cells out again.
#pragma once
#include "framework/ControlWrapper.h"

class GridWrapper;

class GridHeaderWrapper : public ControlWrapper {
public:
    GridHeaderWrapper(DialogWindow* owner, HWND header, int id, GridWrapper* grid);
    LRESULT onNotify(NMHDR* header) override;

private:
    GridWrapper* grid_;
};
