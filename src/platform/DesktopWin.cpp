#include "platform/Desktop.h"
#include "platform/Win32Desktop.h"

namespace veradex {

std::unique_ptr<Desktop> Desktop::CreateNative() { return std::make_unique<Win32Desktop>(); }

}  // namespace veradex
