#pragma once
// The plant's schedule belongs to one rescheduling at a time: two runs on one database (two workstations, or
// the program started twice) would book operations twice and drop work orders. A run holds the server's
// application lock "Vorna.Programacao" with its connection's session as the owner, so that the server lets
// it go when the session or the process ends, however it ends.

class DBFunc;

namespace scheduling {

class ScheduleLock {
public:
    // Takes the lock on the connection without waiting. When another run holds it, says so in one message box; when the server
    // refuses the request, its failure was reported by the data-access object.
    explicit ScheduleLock(DBFunc& banco);
    // Releases the lock when it was taken.
    ~ScheduleLock();
    ScheduleLock(const ScheduleLock&) = delete;
    ScheduleLock& operator=(const ScheduleLock&) = delete;

    bool taken() const { return m_taken; }

private:
    DBFunc& m_banco;
    bool m_taken = false;
};

}  // namespace scheduling
