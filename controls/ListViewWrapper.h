// A list view filled by rows of tab-separated text, with icon, overlay and state image packed
// into one number; selection changes, label edits and double clicks go to the Dialog.
#pragma once
#include <windows.h>
#include "framework/ControlWrapper.h"
#include "framework/UniqueImageList.h"

class ControlDescriptor;

class ListViewWrapper : public ControlWrapper {
public:
    // Packed image flags of setInt.
    static constexpr int ApplyIcon = 0x1000000;
    static constexpr int ApplyOverlay = 0x4000000;
    static constexpr int ApplyState = 0x8000000;
    // Row arguments.
    static constexpr int LastRow = -1;
    static constexpr int NewRow = -2;
    static constexpr int AllRows = -3;

    ListViewWrapper(DialogWindow* owner, HWND list, int id, const ControlDescriptor* descriptor);
    ~ListViewWrapper() override;

    // Fills a row from a tab-separated text, creating missing rows; the number of fields.
    int fillRow(const char* text, int item);
    // Sets a row's images from packed flags, creating missing rows.
    void setImages(int flags, int item);

    void setText(const char* text, int item) override;  // fillRow
    void setInt(int flags, int item) override;          // setImages
    void enable(bool ignored, int item) override;       // scrolls the row into view
    void clear(int item) override;                      // negative: every row
    void select(int item) override;                     // -1 last, -3 every row

    LRESULT onNotify(NMHDR* header) override;

    int iconCount() const { return iconCount_; }
    int overlayCount() const { return overlayCount_; }
    int stateCount() const { return stateCount_; }

private:
    void buildImageLists(int iconSize, const int* iconIds, const int* overlayIds, const int* stateIds);
    void insertColumns(const char* captions);
    int rowCount() const;
    // -1 the last row (0 when empty), -2 the row count; other values unchanged.
    int resolve(int item) const;
    bool isSelected(int row) const;
    void deleteRow(int row);

    int iconCount_ = 0;
    int overlayCount_ = 0;
    int stateCount_ = 0;
    bool deleting_ = false;  // our own deletions report the selection themselves
    UniqueImageList large_;
    UniqueImageList small_;
    UniqueImageList state_;
};
