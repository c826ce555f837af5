#include "controls/CustomControlWrapper.h"
#include "controls/CustomControlClass.h"
#include "controls/CustomControlHandler.h"
#include "controls/CustomControlParam.h"
#include "framework/ControlFactory.h"

namespace {

std::unique_ptr<ControlWrapper> createCustom(DialogWindow& owner, HWND control, int id, LONG,
                                             const ControlDescriptor* descriptor)
{
    return std::make_unique<CustomControlWrapper>(&owner, control, id, descriptor);
}

const ControlFactory::Registration registration(ClassCustom, &createCustom);

}  // namespace

CustomControlWrapper::CustomControlWrapper(DialogWindow* owner, HWND control, int id, const ControlDescriptor* descriptor)
    : ControlWrapper(owner, control, id), handler_(CustomControlClass::handlerOf(control))
{
    if (!handler_) return;
    handler_->setWrapper(this);
    void* param = nullptr;
    if (descriptor && descriptor->isKind(CustomControlParam::Kind))
        param = static_cast<const CustomControlParam*>(descriptor)->param;
    handler_->attach(dialog(), param);
}

CustomControlWrapper::~CustomControlWrapper()
{
    if (handler_ && handler_->wrapper() == this) handler_->setWrapper(nullptr);
}

void CustomControlWrapper::setInt(int value, int item)
{
    if (handler_) handler_->setInt(value, item);
}

void CustomControlWrapper::setReal(double value, int item)
{
    if (handler_) handler_->setReal(value, item);
}

void CustomControlWrapper::setText(const char* text, int item)
{
    if (handler_) handler_->setText(text, item);
}

void CustomControlWrapper::enable(bool on, int item)
{
    if (handler_) handler_->enable(on, item);
}

void CustomControlWrapper::show(bool on, int item)
{
    if (handler_) handler_->show(on, item);
}

void CustomControlWrapper::clear(int item)
{
    if (handler_) handler_->clear(item);
}

void CustomControlWrapper::select(int item)
{
    if (handler_) handler_->select(item);
}

int CustomControlWrapper::getLeft(int arg)
{
    return handler_ ? handler_->getLeft(arg) : 0;
}

void* CustomControlWrapper::getExtension(int which)
{
    return handler_ ? handler_->getExtension(which) : nullptr;
}
