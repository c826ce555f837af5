// What the application addresses by id: controls, the dialog itself, its menu and scroll bars.
// item selects a sub-item: -1 the control itself, the command id for the menu.
#pragma once
#include <windows.h>
#include "framework/ColorTriple.h"

class KeyHandler;

class ValueTarget {
public:
    virtual void setColors(const ColorTriple& colors);                 // 0
    virtual void setInt(int value, int item);                          // 1
    virtual void setReal(double value, int item);                      // 2
    virtual void setText(const char* text, int item);                  // 3
    virtual void setColorScheme(int scheme, int item);                 // 4
    virtual void setFont(int unused1, int height, int style, int unused2);  // 5
    virtual void enable(bool on, int item);                            // 6
    virtual void show(bool on, int item);                              // 7
    virtual void clear(int item);                                      // 8
    virtual void select(int item);                                     // 9
    virtual KeyHandler* getKeyHandler();                               // 10
    virtual int getWidth();                                            // 11
    virtual int getHeight();                                           // 12
    virtual int getLeft(int unused);                                   // 13
    virtual int getTop(int unused);                                    // 14
    virtual void* getExtension(int which);                             // 15

protected:
    ValueTarget() = default;
    ValueTarget(const ValueTarget&) = default;
    ValueTarget& operator=(const ValueTarget&) = default;
    ~ValueTarget() = default;  // never deleted through this interface
};
