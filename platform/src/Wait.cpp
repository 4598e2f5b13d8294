#include "platform/Wait.h"

namespace platform {

DWORD WaitAnsweringSentMessages(HANDLE object, DWORD milliseconds) {
    const ULONGLONG end = milliseconds == INFINITE ? 0 : GetTickCount64() + milliseconds;
    for (;;) {
        DWORD left = INFINITE;
        if (milliseconds != INFINITE) {
            const ULONGLONG now = GetTickCount64();
            left = now < end ? static_cast<DWORD>(end - now) : 0;
        }
        DWORD woken = MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_SENDMESSAGE);
        if (woken != WAIT_OBJECT_0 + 1)
            return woken;
        // Looking at the queue delivers the sent messages.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

} // namespace platform
