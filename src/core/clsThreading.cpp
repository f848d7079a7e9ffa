#include "core/clsThreading.h"

#include <semaphore.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <mutex>

// What the thread and its controller share; the thread keeps its own reference, so a detached thread can
// outlive the object.
struct clsThreading::Control {
    Control()
    {
        sem_init(&started, 0, 0);
        sem_init(&parked, 0, 0);
    }
    ~Control()
    {
        sem_destroy(&started);
        sem_destroy(&parked);
    }
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    std::function<void()> routine;
    std::atomic<bool> parkRequested{false};
    std::atomic<unsigned> parkRequests{0};  // suspends asked for so far
    std::atomic<unsigned> parkedFor{0};     // the request the thread last stood still for
    std::atomic<bool> finished{false};
    std::atomic<pid_t> threadId{0};
    sem_t started;  // posted once the thread knows its id
    sem_t parked;   // posted when parkedFor or finished changes
};

namespace {

using Control = clsThreading::Control;

thread_local Control* currentControl = nullptr;

int parkSignal()
{
    return SIGRTMIN + 5;
}

int wakeSignal()
{
    return SIGRTMIN + 6;
}

sigset_t signalSet(std::initializer_list<int> signals)
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : signals)
        sigaddset(&set, signal);
    return set;
}

timespec secondsFromNow(time_t seconds)
{
    timespec moment{};
    clock_gettime(CLOCK_REALTIME, &moment);
    moment.tv_sec += seconds;
    return moment;
}

// False once the deadline has passed.
bool waitUntil(sem_t& semaphore, const timespec& deadline)
{
    while (sem_timedwait(&semaphore, &deadline) == -1)
        if (errno != EINTR)
            return false;
    return true;
}

// Waits in sigsuspend until the park is lifted, telling the controller after every wake which park request
// it stands still for. The wake signal is kept blocked outside sigsuspend, so a wake sent before the wait
// stays pending and ends it at once.
void park(Control& control)
{
    const sigset_t wake = signalSet({wakeSignal()});
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &wake, &previous);
    sigset_t waiting = previous;
    sigdelset(&waiting, wakeSignal());
    while (control.parkRequested.load()) {
        control.parkedFor = control.parkRequests.load();
        sem_post(&control.parked);
        sigsuspend(&waiting);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

void onParkSignal(int)
{
    const int savedErrno = errno;
    if (currentControl)
        park(*currentControl);
    errno = savedErrno;
}

void onWakeSignal(int) {}

void installHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action{};
        action.sa_flags = SA_RESTART;
        action.sa_handler = onParkSignal;
        action.sa_mask = signalSet({wakeSignal()});
        sigaction(parkSignal(), &action, nullptr);
        action.sa_handler = onWakeSignal;
        sigemptyset(&action.sa_mask);
        sigaction(wakeSignal(), &action, nullptr);
    });
}

// The thread starts with both signals blocked (its creator's mask): a park sent before it knows its control
// stays pending until it does.
void* threadStart(void* argument)
{
    auto* handed = static_cast<std::shared_ptr<Control>*>(argument);
    const std::shared_ptr<Control> control = std::move(*handed);
    delete handed;
    currentControl = control.get();
    control->threadId = gettid();
    sem_post(&control->started);

    pthread_setcanceltype(PTHREAD_CANCEL_ASYNCHRONOUS, nullptr);
    park(*control);
    const sigset_t parkSet = signalSet({parkSignal()});
    pthread_sigmask(SIG_UNBLOCK, &parkSet, nullptr);
    control->routine();
    pthread_setcanceltype(PTHREAD_CANCEL_DEFERRED, nullptr);
    control->finished = true;
    sem_post(&control->parked);  // it stands still for good: a suspend waiting for it is over
    return nullptr;
}

}  // namespace

clsThreading::~clsThreading()
{
    if (m_active)
        TerminateCurrentThread();
}

void clsThreading::CreateNewThread(std::function<void()> Funcao, std::int32_t, bool cEnabled)
{
    if (m_active)
        return;
    installHandlers();
    auto control = std::make_shared<Control>();
    control->routine = std::move(Funcao);
    control->parkRequested = !cEnabled;

    const sigset_t both = signalSet({parkSignal(), wakeSignal()});
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &both, &previous);
    auto* handed = new std::shared_ptr<Control>(control);
    pthread_t handle{};
    const int failure = pthread_create(&handle, nullptr, threadStart, handed);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (failure) {
        delete handed;
        return;
    }

    waitUntil(control->started, secondsFromNow(5));
    m_control = std::move(control);
    m_handle = handle;
    m_threadId = m_control->threadId.load();
    m_active = true;
    m_suspended = !cEnabled;
    m_enabled = cEnabled;
}

void clsThreading::TerminateCurrentThread()
{
    if (m_active) {
        pthread_cancel(m_handle);
        const timespec deadline = secondsFromNow(5);
        if (pthread_timedjoin_np(m_handle, nullptr, &deadline) != 0)
            pthread_detach(m_handle);
        m_control.reset();
    }
    m_active = false;
    m_suspended = false;
}

std::int32_t clsThreading::Priority() const
{
    if (m_active) {
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, id_t(m_threadId));
        if (errno == 0)
            return nice;
    }
    return m_priority;
}

void clsThreading::setPriority(std::int32_t value)
{
    m_priority = value;
    if (m_active)
        setpriority(PRIO_PROCESS, id_t(m_threadId), value);
}

void clsThreading::setEnabled(bool value)
{
    m_enabled = value;
    if (value)
        resume();
    else
        suspend();
}

void clsThreading::suspend()
{
    if (!m_active || m_suspended)
        return;
    m_suspended = true;
    const unsigned request = ++m_control->parkRequests;
    m_control->parkRequested = true;
    if (m_control->finished.load() || pthread_kill(m_handle, parkSignal()) != 0)
        return;
    // Until the thread stands still, or has ended on its own; five seconds at most.
    const timespec deadline = secondsFromNow(5);
    while (m_control->parkedFor.load() != request && !m_control->finished.load()
           && waitUntil(m_control->parked, deadline)) {
    }
}

void clsThreading::resume()
{
    if (!m_active || !m_suspended)
        return;
    m_suspended = false;
    m_control->parkRequested = false;
    pthread_kill(m_handle, wakeSignal());
}
