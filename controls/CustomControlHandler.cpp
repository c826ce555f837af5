#include "controls/CustomControlHandler.h"
#include "framework/ControlLookup.h"

CustomControlHandler::CustomControlHandler(HWND window) : window_(window) {}
CustomControlHandler::~CustomControlHandler() = default;

void CustomControlHandler::attach(Dialog*, void*) {}
void CustomControlHandler::onDestroy(HWND) {}
void CustomControlHandler::onSetText(const char*) {}

int CustomControlHandler::onGetText(char* buffer, int maxLength)
{
    if (buffer && maxLength > 0) buffer[0] = '\0';
    return 0;
}

void CustomControlHandler::onPaint(HDC) {}
void CustomControlHandler::onKeyDown(int) {}
void CustomControlHandler::onChar(int) {}
void CustomControlHandler::onSetFocus(HWND, HWND) {}
void CustomControlHandler::onKillFocus(HWND, HWND) {}
void CustomControlHandler::onMouse(int, int, int, int, int) {}
void CustomControlHandler::onCommand(int, int) {}
void CustomControlHandler::onUserMessage(UINT, WPARAM, LPARAM) {}
bool CustomControlHandler::filterMessage(LRESULT*, UINT, WPARAM, LPARAM) { return false; }
void CustomControlHandler::setInt(int, int) {}
void CustomControlHandler::setReal(double, int) {}
void CustomControlHandler::setText(const char*, int) {}
void CustomControlHandler::enable(bool, int) {}

void CustomControlHandler::show(bool on, int)
{
    ShowWindow(window_, on ? SW_SHOW : SW_HIDE);
}

void CustomControlHandler::clear(int) {}
void CustomControlHandler::select(int) {}

int CustomControlHandler::getLeft(int)
{
    return rectInParent(window_).left;
}

void* CustomControlHandler::getExtension(int) { return nullptr; }
