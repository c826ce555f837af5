#include "controls/GridScrollWrapper.h"
#include "controls/GridWrapper.h"

GridScrollWrapper::GridScrollWrapper(DialogWindow* owner, HWND scrollBar, int id, GridWrapper* grid)
    : ControlWrapper(owner, scrollBar, id), grid_(grid)
{
}

void GridScrollWrapper::onCommand(int request, int position)
{
    if (grid_) grid_->scrollRequest(request, position);
}
