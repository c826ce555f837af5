#include "framework/ValueTarget.h"

void ValueTarget::setColors(const ColorTriple&) {}
void ValueTarget::setInt(int, int) {}
void ValueTarget::setReal(double, int) {}
void ValueTarget::setText(const char*, int) {}
void ValueTarget::setColorScheme(int, int) {}
void ValueTarget::setFont(int, int, int, int) {}
void ValueTarget::enable(bool, int) {}
void ValueTarget::show(bool, int) {}
void ValueTarget::clear(int) {}
void ValueTarget::select(int) {}
KeyHandler* ValueTarget::getKeyHandler() { return nullptr; }
int ValueTarget::getWidth() { return 0; }
int ValueTarget::getHeight() { return 0; }
int ValueTarget::getLeft(int) { return 0; }
int ValueTarget::getTop(int) { return 0; }
void* ValueTarget::getExtension(int) { return nullptr; }
