// CSimpleLocker: clears an int flag when it goes, on every way out of a scope (the panel's refresh
// guard).
#pragma once

class CSimpleLocker {
public:
    explicit CSimpleLocker(int* flag) : m_flag(flag) {}
    ~CSimpleLocker() {
        if (m_flag != nullptr)
            *m_flag = 0;
    }
    CSimpleLocker(const CSimpleLocker&) = delete;
    CSimpleLocker& operator=(const CSimpleLocker&) = delete;

private:
    int* m_flag;
};
