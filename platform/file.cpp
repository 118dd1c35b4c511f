#include "platform/file.h"

#include "platform/errors.h"

namespace vandrel {

void IFile::Read(void* buffer, size_t count) {
  if (ReadSome(buffer, count) != count) throw InOutError(kErrReadBeyondEnd);
}

}  // namespace vandrel
