#include "framework/MenuTarget.h"

void MenuTarget::setInt(int value, int item)
{
    if (item > 0 && menu_) CheckMenuItem(menu_, item, MF_BYCOMMAND | (value ? MF_CHECKED : MF_UNCHECKED));
}

void MenuTarget::enable(bool on, int item)
{
    if (item > 0 && menu_) EnableMenuItem(menu_, item, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}
