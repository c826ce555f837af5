#include "controls/GridHeaderWrapper.h"
#include "controls/GridWrapper.h"

GridHeaderWrapper::GridHeaderWrapper(DialogWindow* owner, HWND header, int id, GridWrapper* grid)
    : ControlWrapper(owner, header, id), grid_(grid)
{
}

LRESULT GridHeaderWrapper::onNotify(NMHDR* header)
{
    // The layout reads no text, so either character set of the notification will do.
    if (header && (header->code == HDN_ITEMCHANGEDA || header->code == HDN_ITEMCHANGEDW) && grid_)
        grid_->layoutColumns();
    return 0;
}
