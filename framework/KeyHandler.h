// Keys and focus of a control, seen as one cell of a grid; the base describes a grid of one cell.
#pragma once

class KeyHandler {
public:
    explicit KeyHandler(int id);

    virtual int getGridId();            // the id
    virtual int getTopRow();            // 0
    virtual int getVisibleRows();       // 1
    virtual int getColumnCount();       // 1
    virtual int getCellId(int n);       // the id
    virtual bool onKey(int key, int id);  // true: the key is consumed; base false
    virtual void onFocusGained(int id);   // base nothing
    virtual void release();             // base deletes itself; a shared handler does nothing

    // Deleter for owners: gives the handler up through release.
    struct Releaser {
        void operator()(KeyHandler* handler) const
        {
            if (handler) handler->release();
        }
    };

protected:
    virtual ~KeyHandler();
    int id_;
};
