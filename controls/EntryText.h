// Reads one entry of a list box or combo box into a TextValue, cut to its 255 characters.
#pragma once
#include <windows.h>

class TextValue;

class EntryText {
public:
    // False (and an empty value) when there is no such entry.
    static bool readListBox(HWND control, int index, TextValue& value);
    static bool readComboBox(HWND control, int index, TextValue& value);

private:
    static bool read(HWND control, int index, UINT lengthMessage, UINT textMessage, TextValue& value);
};
