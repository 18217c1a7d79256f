#include "platform/LocalPeer.h"

#include <sys/socket.h>
#include <unistd.h>

namespace keyloom::platform {

bool PeerIsThisUser(intptr_t socketDescriptor) {
  if (socketDescriptor < 0) return false;
  // The kernel records the peer's credentials when the connection is made
  // (for a listening socket, when it began to listen); they cannot be faked.
  ucred peer{};
  socklen_t size = sizeof peer;
  if (getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0) return false;
  return size == sizeof peer && peer.uid == geteuid();
}

}  // namespace keyloom::platform
