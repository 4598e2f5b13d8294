// Waiting for a kernel object on a thread that owns windows or apartment objects, which other threads
// may call through sent messages meanwhile: a plain wait would deadlock on such a call.
#pragma once

#include <windows.h>

namespace platform {

// Waits until object is signalled or milliseconds (INFINITE: no limit) have passed, answering the
// messages sent to this thread meanwhile (posted messages stay queued). WAIT_OBJECT_0, WAIT_TIMEOUT or
// WAIT_FAILED.
DWORD WaitAnsweringSentMessages(HANDLE object, DWORD milliseconds);

} // namespace platform
