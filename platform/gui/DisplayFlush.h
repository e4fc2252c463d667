#pragma once
// Requests the toolkit has made of the display server wait in the connection's buffer
// until the event loop runs again; a long piece of work on the window thread (a close
// that writes files) flushes them first, so that a window hidden before it leaves the
// screen at once.

namespace lfplat {

void FlushDisplay();

}  // namespace lfplat
