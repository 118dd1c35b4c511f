#pragma once
// Errors the archive model raises besides the file layer's.
#include "platform/errors.h"

namespace vandrel {

class RangeError : public AppError {
 public:
  RangeError() : AppError(L"Range check error") {}
};

class ConvertError : public AppError {
 public:
  explicit ConvertError(const std::wstring& text)
      : AppError(L"'" + text + L"' is not a valid integer value") {}
};

}  // namespace vandrel
