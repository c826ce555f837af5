#include "app/AboutBox.h"
#include "resources/resource.h"

AboutBox::AboutBox(Dialog& owner) : Dialog(IDD_ABOUT, nullptr, &owner, true, false) {}

void AboutBox::Show(Dialog& owner)
{
    AboutBox box(owner);
    box.runModal();
}
