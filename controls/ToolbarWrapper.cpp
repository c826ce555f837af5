#include "controls/ToolbarWrapper.h"
#include <algorithm>
#include "controls/ToolbarButton.h"
#include "controls/ToolbarSetup.h"
#include "framework/Application.h"
#include "framework/ControlFactory.h"
#include "framework/Dialog.h"
#include "framework/UniqueHandle.h"

namespace {

ControlFactory::Registration registration(ClassToolbar, &ToolbarWrapper::create);

BYTE styleOf(int type)
{
    switch (type) {
    case ToolbarButton::Check: return TBSTYLE_CHECK;
    case ToolbarButton::RadioGroup: return TBSTYLE_CHECKGROUP;
    default: return TBSTYLE_BUTTON;
    }
}

}  // namespace

std::unique_ptr<ControlWrapper> ToolbarWrapper::create(DialogWindow& owner, HWND control, int id, LONG,
                                                       const ControlDescriptor* descriptor)
{
    return std::make_unique<ToolbarWrapper>(&owner, control, id, descriptor);
}

ToolbarWrapper::ToolbarWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id)
{
    if (!descriptor || !descriptor->isKind(ToolbarSetup::Kind)) return;
    const auto& setup = static_cast<const ToolbarSetup&>(*descriptor);
    buttons_ = setup.buttons;
    activeRadio_ = -1;
    SendMessageA(hwnd_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);

    if (setup.bitmapId > 0) {
        UniqueGdiObject strip(LoadBitmapA(Application::get().instance(), MAKEINTRESOURCEA(setup.bitmapId)));
        BITMAP info{};
        if (strip && GetObjectA(strip.get(), sizeof info, &info) == sizeof info) {
            // A count below one would divide by zero: the whole strip is then one image.
            int count = std::max(setup.imageCount, 1);
            int width = info.bmWidth / count;
            int height = info.bmHeight;
            images_.reset(ImageList_Create(width, height, ILC_COLOR24, count, 1));
            if (images_) ImageList_Add(images_.get(), static_cast<HBITMAP>(strip.get()), nullptr);
            SendMessageA(hwnd_, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
        }
        // The list holds copies of the images: the bitmap goes here.
        strip.reset();
        SendMessageA(hwnd_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
    } else {
        TBADDBITMAP standard{HINST_COMMCTRL, IDB_STD_LARGE_COLOR};
        SendMessageA(hwnd_, TB_ADDBITMAP, 15, reinterpret_cast<LPARAM>(&standard));
    }

    buttonCount_ = 0;
    for (const ToolbarButton* b = buttons_; b && b->type != ToolbarButton::End; ++b) {
        TBBUTTON button{};
        button.iBitmap = b->imageIndex;
        button.idCommand = commandId(buttonCount_);
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = styleOf(b->type);
        button.dwData = 0;
        button.iString = -1;  // no text
        SendMessageA(hwnd_, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
        ++buttonCount_;
    }
    // Fit the bar to the buttons' new size.
    SendMessageA(hwnd_, TB_AUTOSIZE, 0, 0);
}

ToolbarWrapper::~ToolbarWrapper()
{
    // The toolbar may outlive this wrapper: it must not keep the list about to be destroyed.
    if (images_ && IsWindow(hwnd_)) SendMessageA(hwnd_, TB_SETIMAGELIST, 0, 0);
}

bool ToolbarWrapper::isChecked(int index) const
{
    return SendMessageA(hwnd_, TB_ISBUTTONCHECKED, static_cast<WPARAM>(commandId(index)), 0) != 0;
}

void ToolbarWrapper::check(int index, bool on)
{
    SendMessageA(hwnd_, TB_CHECKBUTTON, static_cast<WPARAM>(commandId(index)), MAKELPARAM(on ? TRUE : FALSE, 0));
}

void ToolbarWrapper::onCommand(int code, int commandId)
{
    if (code != 0 || !buttons_) return;
    int i = commandId - (id_ & 0xFFFF);
    if (i < 0 || i >= buttonCount_) return;
    const ToolbarButton& b = buttons_[i];
    switch (b.type) {
    case ToolbarButton::Push:
        if (b.target == ToolbarButton::OwnId) {
            reportCommand();
        } else if (Dialog* d = dialog()) {
            d->commandIssued(b.target);
        }
        break;
    case ToolbarButton::Check:
        reportSelection(i, isChecked(i) ? 1 : 0);
        break;
    case ToolbarButton::RadioGroup:
        if (activeRadio_ != -1) reportSelection(activeRadio_, 0);
        reportSelection(i, 1);
        activeRadio_ = i;
        break;
    default:
        break;
    }
}

void ToolbarWrapper::setInt(int value, int item)
{
    if (!buttons_ || item < 0 || item >= buttonCount_) return;
    switch (buttons_[item].type) {
    case ToolbarButton::Check:
        if ((value != 0) != isChecked(item)) {
            check(item, value != 0);
            reportSelection(item, value);
        }
        break;
    case ToolbarButton::RadioGroup:
        if (value != 0) {
            if (item == activeRadio_) break;
            if (activeRadio_ != -1) reportSelection(activeRadio_, 0);
            reportSelection(item, 1);
            activeRadio_ = item;
            check(item, true);
        } else if (item == activeRadio_) {
            reportSelection(item, 0);
            check(item, false);
            activeRadio_ = -1;
        }
        break;
    default:
        break;
    }
}
