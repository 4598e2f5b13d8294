// The worker and supervisor threads of a translation run, and what they share with the caller: the
// request of one run stays alive until its last thread lets go of it, so that a worker the user
// stopped may still deliver into it, harmlessly, after the caller has gone on.
#pragma once

#include "common/EngineClient.h"

#include <atomic>
#include <condition_variable>
#include <mutex>

struct RunRequest;

// The worker threads of a direction: one thread runs the requests handed to it one after another, so
// that a text of many runs does not pay for a thread per run. A worker still inside the engine after
// the user stopped its run is retired (it ends when the engine returns) and a fresh one takes over.
// Also counts the requests still inside the engine, which must leave before the engine goes.
struct WorkerTracker : std::enable_shared_from_this<WorkerTracker> {
    struct Worker {
        ~Worker() {
            if (wake != nullptr)
                CloseHandle(wake);
        }
        HANDLE wake = nullptr; // auto-reset: a request is pending or the worker is to end
        std::shared_ptr<RunRequest> pending;
        bool busy = false;
        bool quit = false;
    };

    std::mutex mutex;
    std::condition_variable idle;
    int running = 0;
    std::shared_ptr<Worker> worker;
    HANDLE workerThread = nullptr;

    ~WorkerTracker() {
        if (workerThread != nullptr)
            CloseHandle(workerThread);
    }
    void Leave() {
        std::lock_guard<std::mutex> lock(mutex);
        if (--running == 0)
            idle.notify_all();
    }
    // Waits (at most a minute) until no request is inside the engine.
    void WaitUntilIdle() {
        std::unique_lock<std::mutex> lock(mutex);
        idle.wait_for(lock, std::chrono::minutes(1), [this] { return running == 0; });
    }
    // Hands request to the worker (starting one, 1 MB stack reserved, when there is none free); false
    // when no thread can be made. request->finished is set when the engine has returned.
    bool Submit(const std::shared_ptr<RunRequest>& request);
    // Ends the idle worker and waits for it.
    void Shutdown();
};

struct RunRequest {
    RunRequest(IOvrinTranslator* engine, std::string bytes, DWORD dirId, std::shared_ptr<WorkerTracker> tracker)
        : translator(engine), text(std::move(bytes)), callback(dirId), workers(std::move(tracker)) {
        translator->AddRef();
        finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~RunRequest() {
        translator->Release();
        if (finished != nullptr)
            CloseHandle(finished);
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
    HANDLE finished = nullptr;              // set when the engine has returned
    std::atomic<HRESULT> code{S_OK};        // the engine's result
    std::atomic<bool> done{false};          // the engine has returned
    std::atomic<bool> stopRequested{false}; // the caller stopped waiting
};

// Starts the supervisor, which hands the request to the worker and waits on the stop event until the worker is done
// or the caller stops; null when no thread can be made.
HANDLE StartSupervisor(const std::shared_ptr<RunRequest>& request);
