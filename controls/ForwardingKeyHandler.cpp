#include "controls/ForwardingKeyHandler.h"
#include "framework/ControlWrapper.h"

ForwardingKeyHandler::ForwardingKeyHandler(ControlWrapper& owner, int id) : KeyHandler(id), owner_(owner) {}

KeyHandler* ForwardingKeyHandler::target() const
{
    KeyHandler* h = owner_.getKeyHandler();
    return h == this ? nullptr : h;
}

int ForwardingKeyHandler::getGridId()
{
    KeyHandler* h = target();
    return h ? h->getGridId() : KeyHandler::getGridId();
}

int ForwardingKeyHandler::getTopRow()
{
    KeyHandler* h = target();
    return h ? h->getTopRow() : KeyHandler::getTopRow();
}

int ForwardingKeyHandler::getVisibleRows()
{
    KeyHandler* h = target();
    return h ? h->getVisibleRows() : KeyHandler::getVisibleRows();
}

int ForwardingKeyHandler::getColumnCount()
{
    KeyHandler* h = target();
    return h ? h->getColumnCount() : KeyHandler::getColumnCount();
}

int ForwardingKeyHandler::getCellId(int n)
{
    KeyHandler* h = target();
    return h ? h->getCellId(n) : KeyHandler::getCellId(n);
}

bool ForwardingKeyHandler::onKey(int key, int id)
{
    KeyHandler* h = target();
    return h ? h->onKey(key, id) : false;
}

void ForwardingKeyHandler::onFocusGained(int id)
{
    if (KeyHandler* h = target()) h->onFocusGained(id);
}
