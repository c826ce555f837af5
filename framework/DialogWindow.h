// The window of a Dialog: creates it from the resource, binds its controls, lays them out by
// anchors, routes messages to wrappers and to the Dialog. Also the target of id 0 and its own
// resource id (the caption and the window's size).
#pragma once
#include <windows.h>
#include <memory>
#include <vector>
#include "framework/DragData.h"
#include "framework/UniqueHandle.h"
#include "framework/UniqueImageList.h"
#include "framework/ValueTarget.h"

class ControlDescriptor;
class ControlWrapper;
class Dialog;
class MenuTarget;
class ScrollBarTarget;

class DialogWindow : public ValueTarget {
public:
    // Creates the window at once, sets the 50 ms timer and registers with the Application
    // (a window that could not be created is not registered).
    DialogWindow(Dialog* dialog, int resourceId, const ControlDescriptor* const* descriptors,
                 DialogWindow* owner, bool ownedByParent);
    // Clears the user-data slots, deletes the wrappers, destroys the window, unregisters.
    ~DialogWindow();
    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Target by id: 0 or the resource id the window, -1 the menu, -2/-3 the scroll bars,
    // otherwise the wrapper of the bound control; null when none.
    ValueTarget* findTarget(int id);
    // Closes owned windows, calls closing, unregisters, clears running.
    void closeWindow();
    // Starts a drag at a client point (the source has begun the image-list drag).
    void beginDrag(int x, int y, int data1, int data2);
    // A child dialog (page) of this window from a resource, routed through this object; its
    // controls are bound with this window as owner.
    HWND createChildDialog(int resourceId);
    // Stops the 50 ms timer, or starts it again (a new period from now).
    void runTimer(bool on);

    // ValueTarget of the window itself.
    void setText(const char* text, int item) override;  // caption
    KeyHandler* getKeyHandler() override;               // null
    int getWidth() override;                            // GetWindowRect
    int getHeight() override;
    int getLeft(int unused) override;
    int getTop(int unused) override;

    // The shared dialog procedure of all dialogs.
    static INT_PTR CALLBACK dialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    // The object of a dialog window (its user-data slot), or null.
    static DialogWindow* fromWindow(HWND hwnd);

    HWND hwnd() const { return hwnd_; }
    Dialog* dialog() const { return dialog_; }  // null once teardown has begun
    DialogWindow* owner() const { return owner_; }
    int resourceId() const { return resourceId_; }
    bool running() const { return running_; }
    void setRunning(bool on) { running_ = on; }
    const bool* runningFlag() const { return &running_; }
    HACCEL accelerators() const { return accelerators_; }
    MenuTarget* menu() const { return menu_.get(); }
    const ControlDescriptor* const* descriptors() const { return descriptors_; }
    const ControlDescriptor* findDescriptor(int id) const;
    bool dragging() const { return dragging_; }
    const DragData& dragData() const { return dragData_; }
    int clientWidth() const { return clientWidth_; }
    int clientHeight() const { return clientHeight_; }
    int minWidth() const { return minWidth_; }
    int minHeight() const { return minHeight_; }
    // Stops all routing to the Dialog: the window's user-data slot and the back pointer are
    // cleared, so messages get the default handling until the window is destroyed.
    void detachDialog();

    // Re-lays out the anchored controls for a new client size (WM_SIZE).
    void relayout(int width, int height);

private:
    void initialise(HWND hwnd);
    void forgetWindow();
    void unbindChildren(HWND parent);
    void endDrag(bool dropIt, int x, int y);
    void routeCommand(HWND hwnd, int id, int code, HWND sender);
    LRESULT routeNotify(HWND hwnd, NMHDR* header);
    void routeScroll(HWND hwnd, ScrollBarTarget* bar, int request, int position, HWND sender);
    HWND dropTarget(int x, int y) const;
    void dragMove(int x, int y);

    int resourceId_;
    bool running_ = true;
    std::unique_ptr<MenuTarget> menu_;
    std::unique_ptr<ScrollBarTarget> vScroll_;
    std::unique_ptr<ScrollBarTarget> hScroll_;
    HACCEL accelerators_ = nullptr;
    const ControlDescriptor* const* descriptors_;
    Dialog* dialog_;
    HWND hwnd_ = nullptr;
    DialogWindow* owner_;
    int clientWidth_ = 0, clientHeight_ = 0;
    int minWidth_ = 0, minHeight_ = 0;
    int createClientWidth_ = 0, createClientHeight_ = 0;  // layout never goes below these
    int clientOriginX_ = 0, clientOriginY_ = 0;  // client area's top-left within the window
    bool dragging_ = false;
    HWND hoverTarget_ = nullptr;
    DragData dragData_;
    UniqueImageList dragCursor_;  // the arrow shown while dragging
    std::vector<HWND> pages_;  // child dialogs made by createChildDialog
    UniqueIcon smallIcon_;     // the loaded small window icon (the big one is shared)
};
