#include "app/options.h"

namespace vandrel {

TOptions Options;

}  // namespace vandrel
