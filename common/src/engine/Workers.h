// The worker and supervisor threads of a translation run, and what they share with the caller: the
// request of one run stays alive until its last thread lets go of it, so that a worker the user
// stopped may still deliver into it, harmlessly, after the caller has gone on.
#pragma once

#include "common/EngineClient.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

// Counts the workers of a direction still inside its engine.
struct WorkerTracker {
    std::mutex mutex;
    std::condition_variable idle;
    int running = 0;

    void Enter() {
        std::lock_guard<std::mutex> lock(mutex);
        ++running;
    }
    void Leave() {
        std::lock_guard<std::mutex> lock(mutex);
        if (--running == 0)
            idle.notify_all();
    }
    // Waits (at most a minute) until no worker is inside the engine.
    void WaitUntilIdle() {
        std::unique_lock<std::mutex> lock(mutex);
        idle.wait_for(lock, std::chrono::minutes(1), [this] { return running == 0; });
    }
};

struct RunRequest {
    RunRequest(IOvrinTranslator* engine, std::string bytes, DWORD dirId, std::shared_ptr<WorkerTracker> tracker)
        : translator(engine), text(std::move(bytes)), callback(dirId), workers(std::move(tracker)) {
        translator->AddRef();
    }
    ~RunRequest() {
        translator->Release();
        if (stopEvent != nullptr)
            CloseHandle(stopEvent);
    }
    RunRequest(const RunRequest&) = delete;
    RunRequest& operator=(const RunRequest&) = delete;

    IOvrinTranslator* translator;
    std::string text;
    OvrinTrdCallBack callback;
    std::shared_ptr<WorkerTracker> workers;
    HANDLE stopEvent = nullptr;             // "TransStopEvent" while a stop flag is registered
    std::atomic<HRESULT> code{S_OK};        // the engine's result
    std::atomic<bool> done{false};          // the engine has returned
    std::atomic<bool> stopRequested{false}; // the caller stopped waiting
};

// Starts the worker of request (1 MB stack reserved); null when no thread can be made.
HANDLE StartWorker(const std::shared_ptr<RunRequest>& request);
// Starts the supervisor, which starts the worker and waits on the stop event until the worker is done
// or the caller stops; null when no thread can be made.
HANDLE StartSupervisor(const std::shared_ptr<RunRequest>& request);
