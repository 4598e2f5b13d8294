// The worker thread that calls the engine's translate, and the supervisor that watches the stop event.
#include "Workers.h"

namespace {

constexpr SIZE_T kThreadStack = 1 << 20;
constexpr DWORD kWaitStep = 500;

HANDLE StartThread(LPTHREAD_START_ROUTINE routine, const std::shared_ptr<RunRequest>& request) {
    auto* owned = new std::shared_ptr<RunRequest>(request);
    HANDLE thread = CreateThread(nullptr, kThreadStack, routine, owned, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr)
        delete owned;
    return thread;
}

DWORD WINAPI WorkerMain(void* parameter) {
    std::unique_ptr<std::shared_ptr<RunRequest>> owned(static_cast<std::shared_ptr<RunRequest>*>(parameter));
    RunRequest& request = **owned;
    HRESULT code = request.translator->Translate(request.text.c_str(), &request.callback);
    request.code = code;
    request.done = true;
    if (request.stopEvent != nullptr)
        SetEvent(request.stopEvent);
    // The request may hold the engine's last reference: it goes before the engine may be unloaded.
    std::shared_ptr<WorkerTracker> workers = request.workers;
    owned.reset();
    workers->Leave();
    return 0;
}

DWORD WINAPI SupervisorMain(void* parameter) {
    std::unique_ptr<std::shared_ptr<RunRequest>> owned(static_cast<std::shared_ptr<RunRequest>*>(parameter));
    RunRequest& request = **owned;
    HANDLE worker = StartWorker(*owned);
    if (worker == nullptr) {
        request.code = E_OUTOFMEMORY;
        request.done = true;
        return 0;
    }
    CloseHandle(worker);
    // The event is named: a stopped worker of an earlier run may still signal it when it finishes.
    // Only this run's end or the caller's stop ends the watch.
    for (;;) {
        if (WaitForSingleObject(request.stopEvent, kWaitStep) == WAIT_OBJECT_0 &&
            (request.done || request.stopRequested))
            break;
        if (request.done)
            break;
    }
    return 0;
}

} // namespace

HANDLE StartWorker(const std::shared_ptr<RunRequest>& request) {
    request->workers->Enter();
    HANDLE thread = StartThread(WorkerMain, request);
    if (thread == nullptr)
        request->workers->Leave();
    return thread;
}

HANDLE StartSupervisor(const std::shared_ptr<RunRequest>& request) {
    return StartThread(SupervisorMain, request);
}
