// The hooks behind PlanWriteFault and TotalBytesRead, installed when the process starts.
#include "IoFaults.h"

#include "FileIo.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace cfb::detail {

namespace {

class FaultHooks : public IoHooks {
public:
    FaultHooks() { SetIoHooks(this); }
    ~FaultHooks() override { SetIoHooks(nullptr); }

    void Plan(std::int64_t bytesBeforeFault, bool endProcess) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_bytesLeft = bytesBeforeFault;
        m_endProcess = endProcess;
    }
    std::uint64_t BytesRead() const { return m_bytesRead.load(); }

    std::size_t WritableBytes(std::size_t size) override {
        std::lock_guard<std::mutex> guard(m_lock);
        m_cutShortEndsProcess = m_endProcess;
        if (m_bytesLeft < 0)
            return size;
        if (static_cast<std::uint64_t>(m_bytesLeft) >= size) {
            m_bytesLeft -= static_cast<std::int64_t>(size);
            return size;
        }
        std::size_t allowed = static_cast<std::size_t>(m_bytesLeft);
        m_bytesLeft = -1;
        return allowed;
    }
    void AfterShortWrite() override {
        bool endProcess = false;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            endProcess = m_cutShortEndsProcess;
        }
        if (!endProcess)
            return;
#ifdef _WIN32
        TerminateProcess(GetCurrentProcess(), 3);
#else
        ::_exit(3);
#endif
    }
    void Read(std::uint64_t bytes) override {
        m_bytesRead += bytes;
    }

private:
    std::mutex m_lock;
    std::int64_t m_bytesLeft = -1;
    bool m_endProcess = false;
    bool m_cutShortEndsProcess = false;
    std::atomic<std::uint64_t> m_bytesRead{0};
};

FaultHooks& Hooks() {
    static FaultHooks hooks;
    return hooks;
}

// Counting starts with the process, before any test asks for the count.
[[maybe_unused]] const bool g_installed = (Hooks(), true);

} // namespace

void PlanWriteFault(std::int64_t bytesBeforeFault, bool endProcess) {
    Hooks().Plan(bytesBeforeFault, endProcess);
}

std::uint64_t TotalBytesRead() {
    return Hooks().BytesRead();
}

} // namespace cfb::detail
