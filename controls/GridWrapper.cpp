#include "controls/GridWrapper.h"
#include <algorithm>
#include <vector>
#include "controls/EditWrapper.h"
#include "controls/GridColumns.h"
#include "controls/GridHeaderWrapper.h"
#include "controls/GridScrollWrapper.h"
#include "controls/SplitCaptions.h"
#include "framework/Application.h"
#include "framework/ControlFactory.h"
#include "framework/ControlLookup.h"
#include "framework/Dialog.h"
#include "framework/DialogWindow.h"

namespace {

// The signed row in the high 16 bits of a cell id.
int rowOf(int cellId)
{
    return static_cast<short>((static_cast<unsigned>(cellId) >> 16) & 0xFFFFu);
}

int cellIdOf(int row, int lowId)
{
    return static_cast<int>((static_cast<unsigned>(row) << 16) | (static_cast<unsigned>(lowId) & 0xFFFFu));
}

BOOL CALLBACK offerChild(HWND child, LPARAM grid)
{
    return reinterpret_cast<GridWrapper*>(grid)->onChildWindow(child) != 0;
}

std::unique_ptr<ControlWrapper> createGrid(DialogWindow& owner, HWND control, int id, LONG style,
                                           const ControlDescriptor* descriptor)
{
    if ((style & 0xF) != BS_GROUPBOX || !descriptor || !descriptor->isKind(GridColumns::Kind)) return nullptr;
    return std::make_unique<GridWrapper>(&owner, control, id, descriptor);
}

const ControlFactory::Registration registration(ClassButton, &createGrid);

}  // namespace

int GridWrapper::rowsFor(int innerHeight, int columnCount)
{
    int rows = (innerHeight - 20) / RowPitch;
    // The template row exists whatever the box's size.
    if (rows < 1) rows = 1;
    // Rows beyond the cell capacity cannot be held.
    if (columnCount > 0 && rows > CellCapacity / columnCount) rows = std::max(1, CellCapacity / columnCount);
    return rows;
}

GridWrapper::GridWrapper(DialogWindow* owner, HWND groupBox, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, groupBox, id), KeyHandler(id)
{
    scrollBarWidth_ = GetSystemMetrics(SM_CXVSCROLL);
    HWND parent = container();
    boxRect_ = rectInParent(groupBox);
    innerRect_ = boxRect_;

    // The header is sized for the box's own font, which it also gets.
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(groupBox, WM_GETFONT, 0, 0));
    TEXTMETRICA metrics{};
    if (HDC dc = GetDC(groupBox)) {
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        GetTextMetricsA(dc, &metrics);
        if (old) SelectObject(dc, old);
        ReleaseDC(groupBox, dc);
    }
    innerRect_.top += metrics.tmHeight;
    innerRect_.bottom -= 4;
    innerRect_.left += 4;
    innerRect_.right -= 4;

    if (parent) EnumChildWindows(parent, &offerChild, reinterpret_cast<LPARAM>(this));
    buildRows(parent);
    createHeader(parent, font, metrics.tmHeight, descriptor);
    createScrollBar(parent);
    layoutColumns();
}

GridWrapper::~GridWrapper()
{
    // Cells that outlive the grid get a handler of their own again.
    KeyHandler* self = this;
    for (int n = 0; n < columnCount_ * visibleRows_; ++n) {
        ControlWrapper* w = cellWrapper(n);
        if (w && w->getKeyHandler() == self) w->setKeyHandler(new KeyHandler(w->id()));
    }
    // The dialog's teardown deletes the header's wrapper when it reaches the header first.
    if (ControlWrapper::fromWindow(headerWindow_) != headerWrapper_.get()) (void)headerWrapper_.release();
}

HWND GridWrapper::container() const
{
    return GetParent(hwnd_);
}

ControlWrapper* GridWrapper::cellWrapper(int n) const
{
    if (n < 0 || n >= CellCapacity) return nullptr;
    return ControlWrapper::fromWindow(cells_[n]);
}

HWND GridWrapper::cell(int column, int row) const
{
    if (column < 0 || column >= columnCount_ || row < 0 || row >= visibleRows_) return nullptr;
    return cells_[column + row * columnCount_];
}

int GridWrapper::onChildWindow(HWND child)
{
    if (child == hwnd_ || GetParent(child) != container()) return 1;  // a combo box's edit is no column
    RECT r = rectInParent(child);
    RECT both;
    UnionRect(&both, &r, &boxRect_);
    if (!EqualRect(&both, &boxRect_)) return 1;
    if (columnCount_ >= CellCapacity) return 1;
    cells_[columnCount_++] = child;
    if (ControlWrapper* w = ControlWrapper::fromWindow(child)) w->setKeyHandler(this);
    return 1;
}

void GridWrapper::buildRows(HWND parent)
{
    visibleRows_ = rowsFor(innerRect_.bottom - innerRect_.top, columnCount_);
    if (!parent) return;
    HINSTANCE instance = Application::get().instance();
    for (int i = 0; i < columnCount_; ++i) {
        HWND t = cells_[i];
        char className[41];
        if (GetClassNameA(t, className, sizeof className) <= 0) continue;
        char text[129] = "";
        GetWindowTextA(t, text, sizeof text);
        int controlId = GetDlgCtrlID(t);
        ControlWrapper* w = ControlWrapper::fromWindow(t);
        LONG style = w ? w->getStyle() : GetWindowLongA(t, GWL_STYLE);
        LONG exStyle = w ? w->getExStyle() : GetWindowLongA(t, GWL_EXSTYLE);
        RECT size{};
        if (w)
            w->getRect(size);
        else
            GetWindowRect(t, &size);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(t, WM_GETFONT, 0, 0));
        RECT place = rectInParent(t);
        for (int r = 1; r < visibleRows_; ++r) {
            HWND c = CreateWindowExA(exStyle, className, text, style, place.left, place.bottom + 1 + RowPitch * (r - 1),
                                     size.right - size.left, size.bottom - size.top, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, nullptr);
            if (!c) continue;
            cells_[i + r * columnCount_] = c;
            SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            if (ControlWrapper* cw = ControlFactory::bind(c, *owner_, parent)) {
                cw->setIdHigh(r);
                cw->setKeyHandler(this);
            }
        }
    }
    if (columnCount_ == 0 || visibleRows_ < 2) return;
    // Copies follow the templates in the tab order, row by row.
    HWND previous = cells_[columnCount_ - 1];
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    HDWP batch = BeginDeferWindowPos(columnCount_ * (visibleRows_ - 1));
    for (int n = columnCount_; n < columnCount_ * visibleRows_; ++n) {
        HWND c = cells_[n];
        if (!c) continue;
        if (batch) batch = DeferWindowPos(batch, c, previous, 0, 0, 0, 0, flags);
        if (!batch) SetWindowPos(c, previous, 0, 0, 0, 0, flags);
        previous = c;
    }
    if (batch) EndDeferWindowPos(batch);
}

void GridWrapper::createHeader(HWND parent, HFONT font, int fontHeight, const ControlDescriptor* descriptor)
{
    if (!parent) return;
    headerWindow_ = CreateWindowExA(0, "SysHeader32", "WindowName", 0x50000002, innerRect_.left, innerRect_.top,
                                    innerRect_.right - innerRect_.left - scrollBarWidth_ - 2, fontHeight + 4, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(HeaderId)),
                                    Application::get().instance(), nullptr);
    if (!headerWindow_) return;
    SendMessageA(headerWindow_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    headerWrapper_ = std::make_unique<GridHeaderWrapper>(owner_, headerWindow_, AuxiliaryId, this);
    headerWrapper_->setRect(rectInParent(headerWindow_));
    if (!descriptor || !descriptor->isKind(GridColumns::Kind)) return;
    SplitCaptions captions = splitCaptions(static_cast<const GridColumns*>(descriptor)->captions);
    for (int i = 0; i < captions.count(); ++i) {
        HDITEMA item{};
        item.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
        item.cxy = CaptionWidth * captions.length(i);
        item.pszText = const_cast<char*>(captions.item(i));
        item.cchTextMax = captions.length(i);
        item.fmt = HDF_STRING;
        SendMessageA(headerWindow_, HDM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

void GridWrapper::createScrollBar(HWND parent)
{
    lastRow_ = visibleRows_ - 1;
    if (!parent) return;
    scrollBarWindow_ = CreateWindowExA(0, "SCROLLBAR", "WindowName", 0x50000005, innerRect_.left, innerRect_.top,
                                       innerRect_.right - innerRect_.left, innerRect_.bottom - innerRect_.top, parent,
                                       nullptr, Application::get().instance(), nullptr);
    if (!scrollBarWindow_) return;
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = visibleRows_ - 1;
    info.nPage = static_cast<UINT>(visibleRows_);
    info.nPos = 0;
    SetScrollInfo(scrollBarWindow_, SB_CTL, &info, TRUE);
    scrollBarWrapper_ = std::make_unique<GridScrollWrapper>(owner_, scrollBarWindow_, AuxiliaryId, this);
    scrollBarWrapper_->setRect(rectInParent(scrollBarWindow_));
}

void GridWrapper::layoutColumns()
{
    if (!headerWindow_) return;
    int items = static_cast<int>(SendMessageA(headerWindow_, HDM_GETITEMCOUNT, 0, 0));
    int n = std::min(items, columnCount_);
    if (n <= 0) return;
    // Item rectangles from the widths in display order: Wine reports HDN_ITEMCHANGED before
    // it updates the rectangles that HDM_GETITEMRECT answers with.
    std::vector<int> width(items, 0), order(items, 0);
    for (int k = 0; k < items; ++k) {
        HDITEMA item{};
        item.mask = HDI_WIDTH | HDI_ORDER;
        item.iOrder = k;
        SendMessageA(headerWindow_, HDM_GETITEMA, k, reinterpret_cast<LPARAM>(&item));
        width[k] = std::max(0, item.cxy);
        order[k] = item.iOrder;
    }
    RECT h = rectInParent(headerWindow_);
    HDWP batch = BeginDeferWindowPos(100);
    const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    for (int i = 0; i < n; ++i) {
        RECT item{};
        for (int k = 0; k < items; ++k) {
            if (order[k] < order[i]) item.left += width[k];
        }
        item.right = item.left + width[i];
        item.left += 2 + 1;
        item.right += -2 + 1;
        int x = std::min(static_cast<int>(h.right), static_cast<int>(item.left + h.left));
        int width = std::max(0, std::min(static_cast<int>(h.right - x), static_cast<int>(item.right - item.left)));
        int y = h.bottom + 1;
        for (int j = 0; j < visibleRows_; ++j, y += RowPitch) {
            HWND c = cells_[i + j * columnCount_];
            if (!c) continue;
            if (batch) batch = DeferWindowPos(batch, c, nullptr, x, y, width, CellHeight, flags);
            if (!batch) SetWindowPos(c, nullptr, x, y, width, CellHeight, flags);
            // The wrapper's rectangle follows, so a relayout starts from where the cell is.
            if (ControlWrapper* w = ControlWrapper::fromWindow(c)) w->setRect(RECT{x, y, x + width, y + CellHeight});
        }
    }
    if (batch) EndDeferWindowPos(batch);
}

void GridWrapper::reportRowFocused(int row)
{
    if (Dialog* d = dialog()) d->gridRowFocused(id(), row);
}

void GridWrapper::reportScrolled()
{
    // The interface itself is the grid's key handler (findTarget(id)->getKeyHandler()).
    if (Dialog* d = dialog()) d->gridScrolled(id(), topRow_);
}

ControlWrapper* GridWrapper::focusedCell() const
{
    // The focus may be in a child of the cell (a combo box's edit field).
    HWND stop = container();
    for (HWND h = GetFocus(); h && h != stop; h = GetParent(h)) {
        ControlWrapper* w = ControlWrapper::fromWindow(h);
        if (w && w->getKeyHandler() == static_cast<const KeyHandler*>(this)) return w;
    }
    return nullptr;
}

bool GridWrapper::scrollTo(int row)
{
    if (std::min(std::max(row, 0), lastRow_ - visibleRows_ + 1) == topRow_) return false;
    ControlWrapper* f = focusedCell();
    // Typed text goes to the dialog under the row it was typed in, before the cells show others.
    if (auto* edit = dynamic_cast<EditWrapper*>(f)) edit->commitPending();
    // The dialog's answer to the commit may have scrolled already.
    int t = std::min(std::max(row, 0), lastRow_ - visibleRows_ + 1);
    if (t == topRow_) return false;
    // What is still pending was refused under its row: it must not follow the cell to another.
    for (int n = 0; n < columnCount_ * visibleRows_; ++n) {
        if (auto* edit = dynamic_cast<EditWrapper*>(cellWrapper(n))) edit->dropPending();
    }

    f = focusedCell();
    int focusId = f ? f->id() : 0;
    bool hadFocus = f != nullptr;
    if (currentRow_ != -1) {
        reportRowFocused(-1);
        currentRow_ = std::min(std::max(currentRow_, t), t + visibleRows_ - 1);
    }
    topRow_ = t;
    for (int j = 0; j < visibleRows_; ++j) {
        for (int i = 0; i < columnCount_; ++i) {
            if (ControlWrapper* w = cellWrapper(i + j * columnCount_)) w->setIdHigh(t + j);
        }
    }
    reportScrolled();
    if (scrollBarWindow_) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS;
        info.nPos = topRow_;
        SetScrollInfo(scrollBarWindow_, SB_CTL, &info, TRUE);
    }
    if (hadFocus) {
        int r = std::min(std::max(rowOf(focusId), topRow_), topRow_ + visibleRows_ - 1);
        if (ControlWrapper* w = ControlWrapper::fromWindow(findControl(container(), cellIdOf(r, focusId))))
            w->activate();
    } else {
        reportRowFocused(currentRow_);
    }
    return true;
}

bool GridWrapper::setRowCount(int count)
{
    count = std::max(count, visibleRows_);
    if (count - 1 == lastRow_) return false;
    lastRow_ = count - 1;
    if (scrollBarWindow_) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        // Kept shown (disabled) when every row fits, as at creation.
        info.fMask = SIF_RANGE | SIF_DISABLENOSCROLL;
        info.nMin = 0;
        info.nMax = lastRow_;
        SetScrollInfo(scrollBarWindow_, SB_CTL, &info, TRUE);
    }
    scrollTo(std::min(topRow_, lastRow_ - visibleRows_ + 1));
    return true;
}

void GridWrapper::setCurrentRow(int row)
{
    if (currentRow_ != -1) reportRowFocused(-1);
    currentRow_ = -1;
    if (row < 0 || row > lastRow_) return;
    if (row < topRow_)
        scrollTo(row);
    else if (row >= topRow_ + visibleRows_)
        scrollTo(row - visibleRows_ + 1);
    currentRow_ = row;
    reportRowFocused(row);
}

void GridWrapper::scrollRequest(int request, int position)
{
    // A page moves one row less than the page, but at least one row.
    int page = std::max(visibleRows_ - 1, 1);
    int target;
    switch (request) {
    case SB_LINEUP: target = topRow_ - 1; break;
    case SB_LINEDOWN: target = topRow_ + 1; break;
    case SB_PAGEUP: target = topRow_ - page; break;
    case SB_PAGEDOWN: target = topRow_ + page; break;
    case SB_THUMBPOSITION: target = position; break;
    case SB_TOP: target = 0; break;
    case SB_BOTTOM: target = lastRow_ - visibleRows_ + 1; break;
    case SB_ENDSCROLL: target = topRow_; break;
    default: return;  // the grid scrolls when the thumb is released
    }
    scrollTo(target);
}

void GridWrapper::onScrollFocus()
{
    reportScrolled();
    ControlWrapper* f = focusedCell();
    if (!f) return;
    currentRow_ = rowOf(f->id());
    reportRowFocused(currentRow_);
}

void GridWrapper::setInt(int value, int item)
{
    switch (item) {
    case -1: scrollTo(value); break;
    case -10: setRowCount(value); break;
    case -11: setCurrentRow(value); break;
    default: break;
    }
}

KeyHandler* GridWrapper::getKeyHandler()
{
    return this;
}

int GridWrapper::getGridId() { return id(); }
int GridWrapper::getTopRow() { return topRow_; }
int GridWrapper::getVisibleRows() { return visibleRows_; }
int GridWrapper::getColumnCount() { return columnCount_; }

int GridWrapper::getCellId(int n)
{
    if (n < 0 || n >= columnCount_ * visibleRows_ || !cells_[n]) return 0;
    return GetDlgCtrlID(cells_[n]);
}

bool GridWrapper::onKey(int key, int cellId)
{
    int r = rowOf(cellId);
    if (key == VK_UP) {
        --r;
        if (r < topRow_) scrollTo(topRow_ - 1);
    } else if (key == VK_DOWN) {
        ++r;
        if (r > topRow_ + visibleRows_ - 1) scrollTo(topRow_ + 1);
    } else {
        return false;
    }
    if (ControlWrapper* w = ControlWrapper::fromWindow(findControl(container(), cellIdOf(r, cellId)))) w->activate();
    return true;  // consumed even when there is no row to go to
}

void GridWrapper::onFocusGained(int cellId)
{
    if (currentRow_ != -1) reportRowFocused(-1);
    currentRow_ = rowOf(cellId);
    reportRowFocused(currentRow_);
}

void GridWrapper::release() {}
