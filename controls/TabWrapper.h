// Wrapper of a tab control ("SysTabControl32"): one tab per caption, one child dialog per page
// over the display area, the selected tab's page shown; the pages are searched by findControl.
#pragma once
#include <memory>
#include "framework/ControlWrapper.h"

class ControlDescriptor;

class TabWrapper : public ControlWrapper {
public:
    static constexpr int MaxPages = 25;

    TabWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor);

    bool getPages(int& count, const HWND*& pages) override;  // all pages, true
    void setText(const char* text, int item) override;        // caption of tab item
    void select(int item) override;                           // selects tab item
    LRESULT onNotify(NMHDR* header) override;                 // TCN_SELCHANGE

    int pageCount() const { return pageCount_; }
    int currentPage() const { return currentPage_; }
    HWND page(int index) const { return index >= 0 && index < pageCount_ ? pages_[index] : nullptr; }

    static std::unique_ptr<ControlWrapper> create(DialogWindow& owner, HWND control, int id, LONG style,
                                                  const ControlDescriptor* descriptor);

private:
    // Hides the current page and shows page index (when they differ); always reports.
    void showPage(int index);
    int tabCount() const;

    HWND pages_[MaxPages] = {};
    int pageCount_ = 0;
    int currentPage_ = 0;
};
