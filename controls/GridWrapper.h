// A group box turned into a scrolling grid: the controls inside it are the first row, copies
// of them the further rows; scrolling renumbers the cells (row in the high 16 bits of the id)
// and asks the Dialog to refill them.
#pragma once
#include <windows.h>
#include <memory>
#include "framework/ControlWrapper.h"
#include "framework/KeyHandler.h"

class ControlDescriptor;
class GridHeaderWrapper;
class GridScrollWrapper;

class GridWrapper : public ControlWrapper, public KeyHandler {
public:
    static constexpr int RowPitch = 26;
    static constexpr int CellHeight = 24;
    static constexpr int HeaderId = 2001;
    static constexpr int AuxiliaryId = 9900;
    static constexpr int CaptionWidth = 10;  // pixels per caption character
    static constexpr int CellCapacity = 400;

    GridWrapper(DialogWindow* owner, HWND groupBox, int id, const ControlDescriptor* descriptor);
    ~GridWrapper() override;

    // Rows that fit an inner height, with columnCount columns: at least the template row, and
    // never more cells than the capacity.
    static int rowsFor(int innerHeight, int columnCount);

    // Event interface.
    int onChildWindow(HWND child) override;  // template collection
    void onScrollFocus() override;           // refresh request

    // ValueTarget: item -1 scrollTo, -10 setRowCount, -11 setCurrentRow.
    void setInt(int value, int item) override;
    KeyHandler* getKeyHandler() override;

    // The grid's KeyHandler, installed into every cell.
    int getGridId() override;
    int getTopRow() override;
    int getVisibleRows() override;
    int getColumnCount() override;
    int getCellId(int n) override;
    bool onKey(int key, int cellId) override;
    void onFocusGained(int cellId) override;
    void release() override;  // the cells do not own the grid

    // The focused cell commits its typed text under its row before the cells are renumbered.
    bool scrollTo(int row);
    bool setRowCount(int count);
    void setCurrentRow(int row);
    // A scroll-bar request (SB_...) with the thumb position.
    void scrollRequest(int request, int position);
    // Places the cells under the header items.
    void layoutColumns();

    const RECT& innerRect() const { return innerRect_; }
    HWND headerWindow() const { return headerWindow_; }
    HWND scrollBarWindow() const { return scrollBarWindow_; }
    int columnCount() const { return columnCount_; }
    int visibleRows() const { return visibleRows_; }
    int topRow() const { return topRow_; }
    int lastRow() const { return lastRow_; }
    int currentRow() const { return currentRow_; }
    // Cell of column i in visible row j, or null.
    HWND cell(int column, int row) const;

private:
    void buildRows(HWND parent);
    void createHeader(HWND parent, HFONT font, int fontHeight, const ControlDescriptor* descriptor);
    void createScrollBar(HWND parent);
    // The wrapper of the cell holding the focus (itself or through a child), or null.
    ControlWrapper* focusedCell() const;
    void reportRowFocused(int row);
    void reportScrolled();
    ControlWrapper* cellWrapper(int n) const;
    HWND container() const;

    RECT innerRect_{};
    HWND headerWindow_ = nullptr;
    HWND scrollBarWindow_ = nullptr;
    std::unique_ptr<GridHeaderWrapper> headerWrapper_;
    std::unique_ptr<GridScrollWrapper> scrollBarWrapper_;
    HWND cells_[CellCapacity] = {};
    int columnCount_ = 0;
    int visibleRows_ = 1;
    int topRow_ = 0;
    int lastRow_ = 0;
    int currentRow_ = -1;
    int scrollBarWidth_ = 0;
    RECT boxRect_{};  // the group box in its parent, for template collection
};
