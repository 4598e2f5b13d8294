// The worker and supervisor threads of a translation, and what they share with the caller: the
// request of one translation stays alive until its last thread lets go of it, so that a worker the user
// stopped may still deliver into it, harmlessly, after the caller has gone on.
#pragma once

#include "common/EngineClient.h"
#include "platform/Handles.h"

#include <atomic>
#include <mutex>
#include <vector>

struct RunRequest;

// The worker threads of a direction: one thread runs the requests handed to it one after another, so
// that translations do not pay for a thread each. A worker still inside the engine after the user
// stopped its translation is retired (it ends when the engine returns) and a fresh one takes over.
struct WorkerTracker : std::enable_shared_from_this<WorkerTracker> {
    struct Worker {
        CHandle wake; // auto-reset: a request is pending or the worker is to end
        std::shared_ptr<RunRequest> pending;
        bool busy = false;
        bool quit = false;
    };

    std::mutex mutex;
    std::shared_ptr<Worker> worker;
    CHandle workerThread;

    // Hands request to the worker (starting one, 1 MB stack reserved, when there is none free); false
    // when no thread can be made. request->finished is set when the worker is done with it.
    bool Submit(const std::shared_ptr<RunRequest>& request);
    // Ends the worker: an idle one is waited for; one still inside the engine after a stop is only
    // told to end, and ends when the engine lets it go.
    void Shutdown();
};

// The code of a text made of several runs: the first failing run's code once a run has failed (a
// later run that succeeds must not make a text with a run missing look whole), else the last run's.
inline HRESULT TextCode(HRESULT sofar, HRESULT run) {
    return FAILED(sofar) ? sofar : run;
}

// The 8-bit runs of one translation, handed to the worker in one piece: it translates them in order,
// each with a fresh callback, and builds the output (the runs' translations between the breaks that
// separate them) here, under the lock, so that the caller can take what is done when it stops waiting.
struct RunRequest {
    // A run in the engine's coding, the breaks copied to the output before it, where the run begins
    // and ends in the caller's text, and the run as the caller wrote it.
    struct Run {
        std::wstring before;
        std::string bytes;
        std::size_t start = 0;
        std::size_t end = 0;
        std::wstring text;
    };

    // The request holds a reference of its own to the module the translator's code lies in: a worker
    // the user stopped may still run inside it after the direction has closed, and the module must not
    // be unloaded under it. The last holder of the request lets it go (worker or caller, whose code lies
    // in the program, so a plain FreeLibrary is enough).
    RunRequest(IOvrinTranslator* engine, DWORD direction, int* flag, std::shared_ptr<WorkerTracker> tracker)
        : translator(engine), dirId(direction), stopFlag(flag), workers(std::move(tracker)) {
        translator->AddRef();
        HMODULE module = nullptr;
        if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                               reinterpret_cast<LPCWSTR>(*reinterpret_cast<void**>(translator)), &module))
            engineModule.Reset(module);
        finished.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    }
    // The translator goes first, its module (a member) after it.
    ~RunRequest() { translator->Release(); }
    RunRequest(const RunRequest&) = delete;
    RunRequest& operator=(const RunRequest&) = delete;

    // Translates the runs in order (on the worker). A stop flag found set before a run ends the text
    // there (E_ABORT), and so does the engine's E_ABORT (that run's output is dropped). Nothing is
    // added once the caller has abandoned the request. The output is always the translation of the
    // caller's text up to `reached`: the stopped text's untranslated rest follows from there.
    void TranslateAll();
    // The output and the last run's code when the worker is done; otherwise (the caller stopped
    // waiting) the output so far, E_ABORT, and whatever the worker delivers later is dropped.
    // translated receives how much of the caller's text the output covers.
    HRESULT Collect(std::wstring& output, std::size_t& translated);
    // Ends the request unrun with code (no worker could take it).
    void Fail(HRESULT code);

    IOvrinTranslator* translator;
    CModuleHandle engineModule; // the translator's module, held while the request lives
    DWORD dirId;
    int* stopFlag; // read between runs while the caller waits; null for none
    std::vector<Run> runs;
    std::wstring tail;          // the breaks after the last run
    std::size_t textLength = 0; // the length of the caller's text
    std::shared_ptr<WorkerTracker> workers;
    CHandle stopEvent;                      // "TransStopEvent" while a stop flag is registered
    CHandle finished;                       // set when the worker is done with the runs
    std::atomic<bool> done{false};          // the worker is done with the runs
    std::atomic<bool> stopRequested{false}; // the caller stopped waiting

private:
    std::mutex mutex; // guards output, reached, code and abandoned
    std::wstring output;
    std::size_t reached = 0; // the output translates the caller's text up to here
    HRESULT code = S_OK;
    bool abandoned = false;
};

// Starts the supervisor, which hands the request to the worker and waits on the stop event until the
// worker is done or the caller stops; null when no thread can be made.
HANDLE StartSupervisor(const std::shared_ptr<RunRequest>& request);
