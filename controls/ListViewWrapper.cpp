#include "controls/ListViewWrapper.h"
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>
#include "controls/ListViewSetup.h"
#include "controls/SplitCaptions.h"
#include "framework/Application.h"
#include "framework/ControlFactory.h"
#include "framework/TextValue.h"

namespace {

std::unique_ptr<ControlWrapper> createListView(DialogWindow& owner, HWND control, int id, LONG,
                                               const ControlDescriptor* descriptor)
{
    return std::make_unique<ListViewWrapper>(&owner, control, id, descriptor);
}

const ControlFactory::Registration registration(ClassListView, &createListView);

// A transparent icon, standing in for one that does not load so later indexes stay in place.
HICON blankIcon(int width, int height)
{
    int rowBytes = ((width + 15) / 16) * 2;
    std::vector<BYTE> andMask(static_cast<size_t>(rowBytes) * height, 0xFF);
    std::vector<BYTE> xorMask(andMask.size(), 0);
    return CreateIcon(Application::get().instance(), width, height, 1, 1, andMask.data(), xorMask.data());
}

UniqueIcon loadIcon(int id, int width, int height)
{
    HANDLE icon = LoadImageA(Application::get().instance(), MAKEINTRESOURCEA(id & 0xFFFF), IMAGE_ICON, width, height,
                             LR_DEFAULTCOLOR);
    return UniqueIcon(icon ? static_cast<HICON>(icon) : blankIcon(width, height));
}

int countIds(const int* ids)
{
    int n = 0;
    while (ids && ids[n]) ++n;
    return n;
}

}  // namespace

ListViewWrapper::ListViewWrapper(DialogWindow* owner, HWND list, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, list, id)
{
    if (!descriptor || !descriptor->isKind(ListViewSetup::Kind)) return;
    auto* setup = static_cast<const ListViewSetup*>(descriptor);
    if (setup->iconIds) buildImageLists(setup->iconSize, setup->iconIds, setup->overlayIds, setup->stateIds);
    insertColumns(setup->captions);
}

void ListViewWrapper::buildImageLists(int iconSize, const int* iconIds, const int* overlayIds, const int* stateIds)
{
    int large = iconSize > 0 ? iconSize : GetSystemMetrics(SM_CXICON);
    int small = GetSystemMetrics(SM_CXSMICON);
    int stateHeight = large;
    int stateWidth = GetSystemMetrics(SM_CXICONSPACING) - 32;
    if (stateWidth <= 0) stateWidth = stateHeight;
    large_.reset(ImageList_Create(large, large, ILC_MASK, 1, 5));
    small_.reset(ImageList_Create(small, small, ILC_MASK, 1, 5));
    state_.reset(ImageList_Create(stateWidth, stateHeight, ILC_MASK, 1, 5));

    iconCount_ = countIds(iconIds);
    for (int i = 0; i < iconCount_; ++i) {
        UniqueIcon icon = loadIcon(iconIds[i], large, large);
        ImageList_AddIcon(large_.get(), icon.get());
        ImageList_AddIcon(small_.get(), icon.get());
    }
    overlayCount_ = countIds(overlayIds);
    for (int j = 0; j < overlayCount_; ++j) {
        UniqueIcon icon = loadIcon(overlayIds[j], large, large);
        ImageList_AddIcon(large_.get(), icon.get());
        ImageList_SetOverlayImage(large_.get(), iconCount_ + j, j + 1);
        ImageList_AddIcon(small_.get(), icon.get());
        ImageList_SetOverlayImage(small_.get(), iconCount_ + j, j + 1);
    }
    stateCount_ = countIds(stateIds);
    for (int k = 0; k < stateCount_; ++k) {
        UniqueIcon icon = loadIcon(stateIds[k], stateWidth, stateHeight);
        ImageList_AddIcon(state_.get(), icon.get());
    }

    // Without LVS_SHAREIMAGELISTS the control destroys the lists it was given.
    bool shared = (GetWindowLongA(hwnd_, GWL_STYLE) & LVS_SHAREIMAGELISTS) != 0;
    if (iconCount_ > 0) {
        SendMessageA(hwnd_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(large_.get()));
        SendMessageA(hwnd_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(small_.get()));
        if (!shared) {
            (void)large_.release();
            (void)small_.release();
        }
    }
    if (stateCount_ > 0) {
        SendMessageA(hwnd_, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(state_.get()));
        if (!shared) (void)state_.release();
    }
}

ListViewWrapper::~ListViewWrapper()
{
    // Shared lists we still own must not stay attached once destroyed.
    if (!hwnd_ || !IsWindow(hwnd_)) return;
    const struct {
        int which;
        HIMAGELIST list;
    } lists[] = {{LVSIL_NORMAL, large_.get()}, {LVSIL_SMALL, small_.get()}, {LVSIL_STATE, state_.get()}};
    for (const auto& l : lists) {
        if (l.list && reinterpret_cast<HIMAGELIST>(SendMessageA(hwnd_, LVM_GETIMAGELIST, l.which, 0)) == l.list)
            SendMessageA(hwnd_, LVM_SETIMAGELIST, l.which, 0);
    }
}

void ListViewWrapper::insertColumns(const char* captions)
{
    SplitCaptions list = splitCaptions(captions);
    for (int i = 0; i < list.count(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = 10 * list.length(i);
        column.pszText = const_cast<char*>(list.item(i));
        column.iSubItem = i;
        SendMessageA(hwnd_, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
}

int ListViewWrapper::rowCount() const
{
    return static_cast<int>(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0));
}

int ListViewWrapper::resolve(int item) const
{
    if (item == LastRow) return std::max(rowCount() - 1, 0);
    if (item == NewRow) return rowCount();
    return item;
}

bool ListViewWrapper::isSelected(int row) const
{
    return (SendMessageA(hwnd_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int ListViewWrapper::fillRow(const char* text, int item)
{
    SplitCaptions fields = splitCaptions(text);
    int row = resolve(item);
    if (row < 0 || row > INT_MAX - 10) return 0;  // not a row
    int count = rowCount();
    LVITEMA first{};
    first.mask = LVIF_TEXT;
    first.iItem = row;
    first.pszText = const_cast<char*>(fields.item(0));
    if (row < count) {
        SendMessageA(hwnd_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&first));
    } else {
        SendMessageA(hwnd_, LVM_SETITEMCOUNT, row + 10, 0);
        for (int r = count; r < row; ++r) {
            LVITEMA empty{};
            empty.mask = LVIF_TEXT;
            empty.iItem = r;
            empty.pszText = const_cast<char*>("");
            SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&empty));
        }
        SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&first));
    }
    for (int k = 1; k < fields.count(); ++k) {
        LVITEMA sub{};
        sub.mask = LVIF_TEXT;
        sub.iItem = row;
        sub.iSubItem = k;
        sub.pszText = const_cast<char*>(fields.item(k));
        SendMessageA(hwnd_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&sub));
    }
    return fields.count();
}

void ListViewWrapper::setImages(int flags, int item)
{
    int row = resolve(item);
    if (row < 0 || row > INT_MAX - 10) return;
    LVITEMA images{};
    if (flags & ApplyIcon) {
        images.mask |= LVIF_IMAGE;
        images.iImage = iconCount_ > 0 ? (flags & 0xFFF) % iconCount_ : 0;
    }
    unsigned overlay = static_cast<unsigned>((flags >> 16) & 0xF) % static_cast<unsigned>(overlayCount_ + 1);
    unsigned stateImage = static_cast<unsigned>((flags >> 20) & 0xF) % static_cast<unsigned>(stateCount_ + 1);
    if (flags & ApplyOverlay) {
        images.mask |= LVIF_STATE;
        images.stateMask |= LVIS_OVERLAYMASK;
    }
    if (flags & ApplyState) {
        images.mask |= LVIF_STATE;
        images.stateMask |= LVIS_STATEIMAGEMASK;
    }
    images.state = (overlay | stateImage << 4) << 8;
    int count = rowCount();
    if (row < count) {
        images.iItem = row;
        SendMessageA(hwnd_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&images));
        return;
    }
    SendMessageA(hwnd_, LVM_SETITEMCOUNT, row + 10, 0);
    for (int r = count; r <= row; ++r) {
        LVITEMA empty{};
        empty.iItem = r;
        int at = static_cast<int>(SendMessageA(hwnd_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&empty)));
        // Set after the insertion: an inserted row does not take every state bit.
        images.iItem = at >= 0 ? at : r;
        SendMessageA(hwnd_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&images));
    }
}

void ListViewWrapper::setText(const char* text, int item)
{
    fillRow(text, item);
}

void ListViewWrapper::setInt(int flags, int item)
{
    setImages(flags, item);
}

void ListViewWrapper::enable(bool, int item)
{
    SendMessageA(hwnd_, LVM_ENSUREVISIBLE, resolve(item), TRUE);
}

void ListViewWrapper::deleteRow(int row)
{
    if (isSelected(row)) reportSelection(row, 0);
    // The control may report the deselection of the row it deletes: it was reported above.
    deleting_ = true;
    SendMessageA(hwnd_, LVM_DELETEITEM, row, 0);
    deleting_ = false;
}

void ListViewWrapper::clear(int item)
{
    int count = rowCount();
    if (item >= 0) {
        if (item < count) deleteRow(item);
        return;
    }
    for (int r = 0; r < count; ++r) {
        if (isSelected(r)) reportSelection(r, 0);
    }
    deleting_ = true;
    SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0);
    deleting_ = false;
}

void ListViewWrapper::select(int item)
{
    SetFocus(hwnd_);
    int count = rowCount();
    int first = 0, last = -1;
    if (item == LastRow) {
        first = last = count - 1;
    } else if (item == AllRows) {
        last = count - 1;  // row by row: the control refuses to focus every row at once
    } else if (item >= 0 && item < count) {
        first = last = item;
    }
    for (int r = std::max(first, 0); r <= last; ++r) {
        LVITEMA state{};
        state.stateMask = 0xF;
        state.state = LVIS_FOCUSED | LVIS_SELECTED;
        SendMessageA(hwnd_, LVM_SETITEMSTATE, r, reinterpret_cast<LPARAM>(&state));
    }
}

LRESULT ListViewWrapper::onNotify(NMHDR* header)
{
    if (!header) return 0;
    switch (header->code) {
    case LVN_ENDLABELEDITA: {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
        const char* edited = info->item.pszText;
        if (!edited) return 0;  // cancelled
        // The value holds 255 characters: a longer label is offered and stored cut to that.
        TextValue value(edited);
        bool accepted = reportValue(value, info->item.iItem);
        if (accepted && std::strlen(edited) >= static_cast<size_t>(TextValue::Capacity)) {
            LVITEMA cut{};
            cut.iSubItem = 0;
            cut.pszText = const_cast<char*>(value.text());
            SendMessageA(hwnd_, LVM_SETITEMTEXTA, info->item.iItem, reinterpret_cast<LPARAM>(&cut));
            return FALSE;  // the control keeps the text set here, not the long one
        }
        return accepted ? TRUE : FALSE;
    }
    case LVN_ITEMCHANGED: {
        if (deleting_) return 0;
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        bool was = (change->uOldState & LVIS_SELECTED) != 0;
        bool now = (change->uNewState & LVIS_SELECTED) != 0;
        if (!was && now) reportSelection(change->iItem, 1);
        if (was && !now) reportSelection(change->iItem, 0);
        return 0;
    }
    case NM_DBLCLK:
        reportCommand();
        return 0;
    default:
        return 0;
    }
}
