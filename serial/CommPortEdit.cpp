// The port's settings edit: the line settings dialog on the live settings.
#include "serial/CommPort.h"
#include "serial/LineSettingsDialog.h"

bool CommPort::EditSettings(Dialog& owner)
{
    if (!LineSettingsDialog::Run(settings_, owner)) return false;
    // The next open applies the new settings.
    Close();
    return true;
}
