// Which of the three lamp icons a screen pixel at the lamp's centre belongs to.
#pragma once
#include <windows.h>

enum class Lamp { Dark, Bright, Active, Unknown };

// 103 dark green glass, 104 bright green glass, 105 cyan centre.
Lamp classifyLamp(COLORREF pixel);
const char* lampName(Lamp lamp);
