#include "controls/TabWrapper.h"
#include "controls/SplitCaptions.h"
#include "controls/TabPages.h"
#include "framework/ControlFactory.h"
#include "framework/DialogWindow.h"

namespace {

ControlFactory::Registration registration(ClassTab, &TabWrapper::create);

}  // namespace

std::unique_ptr<ControlWrapper> TabWrapper::create(DialogWindow& owner, HWND control, int id, LONG,
                                                   const ControlDescriptor* descriptor)
{
    return std::make_unique<TabWrapper>(&owner, control, id, descriptor);
}

TabWrapper::TabWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id)
{
    if (!descriptor || !descriptor->isKind(TabPages::Kind)) return;
    const auto& setup = static_cast<const TabPages&>(*descriptor);

    SplitCaptions captions(setup.captions);
    for (int i = 0; i < captions.count(); ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_STATE;
        item.pszText = const_cast<char*>(captions.item(i));
        item.iImage = -1;
        SendMessageA(hwnd_, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    }

    // The display area in the coordinates of the window that the pages are children of.
    RECT area{};
    GetWindowRect(hwnd_, &area);
    SendMessageA(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    HWND host = owner ? owner->hwnd() : nullptr;
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&area), 2);

    pageCount_ = 0;
    currentPage_ = 0;
    for (const int* pageId = setup.pageIds; owner && pageId && *pageId && pageCount_ < MaxPages; ++pageId) {
        HWND page = owner->createChildDialog(*pageId);
        pages_[pageCount_] = page;
        if (page) {
            // A page whose resource is visible would otherwise show under the current one.
            UINT flags = SWP_NOACTIVATE | (pageCount_ == currentPage_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
            SetWindowPos(page, hwnd_, area.left, area.top, area.right - area.left, area.bottom - area.top, flags);
        }
        ++pageCount_;
    }
}

bool TabWrapper::getPages(int& count, const HWND*& pages)
{
    count = pageCount_;
    pages = pages_;
    return true;
}

int TabWrapper::tabCount() const
{
    return static_cast<int>(SendMessageA(hwnd_, TCM_GETITEMCOUNT, 0, 0));
}

void TabWrapper::setText(const char* text, int item)
{
    if (item < 0 || item >= tabCount()) return;
    TCITEMA tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = const_cast<char*>(text ? text : "");
    SendMessageA(hwnd_, TCM_SETITEMA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&tab));
}

void TabWrapper::select(int item)
{
    if (item < 0 || item >= tabCount()) return;
    int previous = static_cast<int>(SendMessageA(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(item), 0));
    if (previous != item) showPage(item);
}

LRESULT TabWrapper::onNotify(NMHDR* header)
{
    if (header && header->code == static_cast<UINT>(TCN_SELCHANGE))
        showPage(static_cast<int>(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0)));
    return 0;
}

void TabWrapper::showPage(int index)
{
    if (pageCount_ > 0 && index != currentPage_) {
        if (HWND current = page(currentPage_)) ShowWindow(current, SW_HIDE);
        if (HWND next = page(index)) ShowWindow(next, SW_SHOW);
        currentPage_ = index;
    }
    reportSelection(index, 1);
}
