#pragma once
#include <memory>

#include "platform/registry.h"

namespace vandrel::win32 {

std::unique_ptr<IRegistry> MakeRegistry();

}  // namespace vandrel::win32
