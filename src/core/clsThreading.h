#pragma once
// One operating-system thread (POSIX threads) running a start routine: created running or suspended,
// suspended and resumed from outside, terminated from outside. Nothing in the class synchronises with the
// routine; one controlling thread at a time calls its members.
//
// Priority is the thread's nice value (setpriority/getpriority on its kernel thread id): -20 .. 19, lower
// runs sooner. Threads of the normal scheduling policy have no other per-thread priority on Linux. Going
// below the process's nice value needs CAP_SYS_NICE; a refused write is ignored, as every error here.
//
// Suspending needs no help from the routine: the thread is sent a real-time signal whose handler parks it
// in sigsuspend until it is resumed. Terminating cancels it asynchronously (it may stop at any instruction)
// and waits up to five seconds for it to end.
//
// Because it may be stopped anywhere, a start routine may not, while it can be suspended or terminated:
// - hold a lock that any other thread takes: no mutex of ours, no information log, no error files, no DBFunc
//   or BancoAtual, no Qt object another thread uses, no stdio or iostreams, and no heap allocation (the
//   allocator's locks); a thread stopped inside one of these would block every other thread that needs it;
// - block the two signals SIGRTMIN+5 and SIGRTMIN+6 or disable its cancellation (it could then be neither
//   parked nor ended);
// - run code that must not be unwound halfway (a terminated routine's destructors run during the
//   cancellation, from wherever it stood).
// Working on its own memory and atomics, and sleeping, is what it may do. The class itself takes no lock:
// parking and resuming use atomics and semaphores only.

#include <pthread.h>

#include <cstdint>
#include <functional>
#include <memory>

class clsThreading {
public:
    clsThreading() = default;
    // Terminates the thread.
    ~clsThreading();
    clsThreading(const clsThreading&) = delete;
    clsThreading& operator=(const clsThreading&) = delete;

    // Starts a thread at Funcao, suspended unless cEnabled; nothing happens while a thread is active (even
    // one whose routine has returned). cPriority is accepted and not applied.
    void CreateNewThread(std::function<void()> Funcao, std::int32_t cPriority = 0, bool cEnabled = true);
    // Ends the thread, errors ignored; the object can then create another.
    void TerminateCurrentThread();

    // The thread's POSIX handle and kernel thread id; 0 before the first thread.
    pthread_t ThreadHandle() const { return m_handle; }
    std::int32_t ThreadID() const { return m_threadId; }

    // The thread's nice value as the system reports it (the last value written when it cannot).
    std::int32_t Priority() const;
    void setPriority(std::int32_t value);

    // The state last asked for, by CreateNewThread or a write (false before any). Writing false parks the
    // thread wherever it stands, true lets it go on.
    bool Enabled() const { return m_enabled; }
    void setEnabled(bool value);

    struct Control;

private:
    void suspend();
    void resume();

    std::shared_ptr<Control> m_control;
    pthread_t m_handle{};
    std::int32_t m_threadId = 0;
    std::int32_t m_priority = 0;
    bool m_enabled = false;
    bool m_active = false;
    bool m_suspended = false;
};
