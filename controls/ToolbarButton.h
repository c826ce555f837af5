// One button of a ToolbarSetup: its type, image and (push buttons) the command it reports.
#pragma once

struct ToolbarButton {
    static constexpr int End = 0;         // ends the array
    static constexpr int Push = 1;        // reports commandIssued(target)
    static constexpr int Check = 2;       // reports its checked state
    static constexpr int RadioGroup = 3;  // one of the group is checked at a time
    static constexpr int OwnId = -1;      // target: the toolbar's own id

    int type;
    int imageIndex;
    int target;  // push buttons only
};
