// The worker thread that calls the engine's translate for each run of a text, and the supervisor that
// watches the stop event.
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

struct WorkerStart {
    std::shared_ptr<WorkerTracker> tracker;
    std::shared_ptr<WorkerTracker::Worker> worker;
};

// Runs one request. The worker is free for the next request before the caller hears of this one,
// and lets go of the request before the engine may be unloaded (it may hold the engine's last
// reference).
void RunRequestNow(std::shared_ptr<RunRequest> request, WorkerTracker& tracker, WorkerTracker::Worker& worker) {
    request->TranslateAll();
    {
        std::lock_guard<std::mutex> lock(tracker.mutex);
        worker.busy = false;
    }
    if (request->stopEvent)
        SetEvent(request->stopEvent.Get());
    SetEvent(request->finished.Get());
    request.reset();
}

DWORD WINAPI WorkerMain(void* parameter) {
    std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(parameter));
    WorkerTracker& tracker = *start->tracker;
    WorkerTracker::Worker& worker = *start->worker;
    for (;;) {
        WaitForSingleObject(worker.wake.Get(), INFINITE);
        std::shared_ptr<RunRequest> request;
        {
            std::lock_guard<std::mutex> lock(tracker.mutex);
            request = std::move(worker.pending);
            if (request == nullptr && worker.quit)
                break;
        }
        if (request != nullptr)
            RunRequestNow(std::move(request), tracker, worker);
        std::lock_guard<std::mutex> lock(tracker.mutex);
        if (worker.quit && worker.pending == nullptr)
            break;
    }
    return 0;
}

DWORD WINAPI SupervisorMain(void* parameter) {
    std::unique_ptr<std::shared_ptr<RunRequest>> owned(static_cast<std::shared_ptr<RunRequest>*>(parameter));
    RunRequest& request = **owned;
    if (!request.workers->Submit(*owned)) {
        request.Fail(E_OUTOFMEMORY);
        return 0;
    }
    // The event is named: a stopped worker of an earlier run may still signal it when it finishes.
    // Only this run's end or the caller's stop ends the watch.
    for (;;) {
        if (WaitForSingleObject(request.stopEvent.Get(), kWaitStep) == WAIT_OBJECT_0 &&
            (request.done || request.stopRequested))
            break;
        if (request.done)
            break;
    }
    return 0;
}

} // namespace

void RunRequest::TranslateAll() {
    HRESULT last = S_OK;
    bool ended = false; // stopped, or the engine's E_ABORT: nothing after that run
    for (const Run& run : runs) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (abandoned)
                break;
            output += run.before;
            reached = run.start;
            // The flag belongs to the caller: it is read only while the caller still waits. A run
            // left out in the middle would make the output look whole with lines missing.
            if (stopFlag != nullptr && *static_cast<volatile int*>(stopFlag) != 0) {
                last = TextCode(last, E_ABORT);
                ended = true;
                break;
            }
        }
        OvrinTrdCallBack callback(dirId, run.text, run.bytes);
        HRESULT result = translator->Translate(run.bytes.c_str(), &callback);
        std::lock_guard<std::mutex> lock(mutex);
        if (abandoned)
            break;
        last = TextCode(last, result);
        if (result == E_ABORT) { // what the engine gave of a run it gave up is not its translation
            ended = true;
            break;
        }
        output += callback.TakeResult();
        reached = run.end;
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (!abandoned) {
        if (!ended) {
            output += tail;
            reached = textLength;
        }
        code = last;
    }
    done = true;
}

void RunRequest::Fail(HRESULT failure) {
    std::lock_guard<std::mutex> lock(mutex);
    code = failure;
    done = true;
}

HRESULT RunRequest::Collect(std::wstring& out, std::size_t& translated) {
    std::lock_guard<std::mutex> lock(mutex);
    out += std::move(output);
    output.clear();
    translated = reached;
    if (!done) {
        abandoned = true;
        return E_ABORT;
    }
    return code;
}

bool WorkerTracker::Submit(const std::shared_ptr<RunRequest>& request) {
    std::lock_guard<std::mutex> lock(mutex);
    if (worker == nullptr || worker->busy) {
        if (worker != nullptr) { // stuck in a stopped run: it ends when the engine lets it go
            worker->quit = true;
            workerThread.Reset();
            worker = nullptr;
        }
        auto fresh = std::make_shared<Worker>();
        fresh->wake.Reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        if (!fresh->wake)
            return false;
        auto* start = new WorkerStart{shared_from_this(), fresh};
        HANDLE thread =
            CreateThread(nullptr, kThreadStack, WorkerMain, start, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
        if (thread == nullptr) {
            delete start;
            return false;
        }
        worker = fresh;
        workerThread.Reset(thread);
    }
    worker->pending = request;
    worker->busy = true;
    SetEvent(worker->wake.Get());
    return true;
}

void WorkerTracker::Shutdown() {
    CHandle thread;
    bool busy = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (worker == nullptr)
            return;
        worker->quit = true;
        busy = worker->busy;
        SetEvent(worker->wake.Get());
        thread = std::move(workerThread);
        worker = nullptr;
    }
    if (thread && !busy)
        WaitForSingleObject(thread.Get(), 60000);
}

HANDLE StartSupervisor(const std::shared_ptr<RunRequest>& request) {
    return StartThread(SupervisorMain, request);
}
