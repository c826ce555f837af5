#include "framework/ScrollBarTarget.h"
#include "framework/DialogWindow.h"

ScrollBarTarget::ScrollBarTarget(int id, DialogWindow* owner)
    : id_(id), owner_(owner), bar_(id == -2 ? SB_VERT : SB_HORZ)
{
}

void ScrollBarTarget::setInt(int value, int)
{
    if (owner_ && owner_->hwnd()) SetScrollPos(owner_->hwnd(), bar_, value, TRUE);
}
