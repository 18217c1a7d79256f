#pragma once

#include <cstdint>

namespace keyloom::platform {

// True when the process at the other end of the connected local socket
// `socketDescriptor` runs as the same user as this one. Both ends of
// keyloom's instance socket ask before they act on anything the other says.
bool PeerIsThisUser(intptr_t socketDescriptor);

}  // namespace keyloom::platform
