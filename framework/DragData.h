// What a drag source hands to DialogWindow::beginDrag; drop targets receive a pointer to it.
#pragma once

struct DragData {
    int data1 = 0;
    int data2 = 0;
};
