#include "settings/ConnectionSettings.h"

namespace quorvia {

TConnectionSettings ConnectionSettings;

} // namespace quorvia
