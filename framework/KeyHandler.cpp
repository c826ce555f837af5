#include "framework/KeyHandler.h"

KeyHandler::KeyHandler(int id) : id_(id) {}
KeyHandler::~KeyHandler() = default;

int KeyHandler::getGridId() { return id_; }
int KeyHandler::getTopRow() { return 0; }
int KeyHandler::getVisibleRows() { return 1; }
int KeyHandler::getColumnCount() { return 1; }
int KeyHandler::getCellId(int) { return id_; }
bool KeyHandler::onKey(int, int) { return false; }
void KeyHandler::onFocusGained(int) {}

void KeyHandler::release()
{
    delete this;  // the base handler is allocated for its one control and owns itself
}
