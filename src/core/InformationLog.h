#pragma once
// The information log: each refusal, warning and timing of the scheduler becomes an entry stamped with the
// server's clock, shown in the log window and appended to Log/Info.log under the program folder. The file is
// renamed to Log/Info<yyyymmdd-hhnnss>.log and started anew once it reaches 100000 bytes, by one process at a
// time (Log/Info.log.lock) when several share the folder.

#include <QString>

namespace Modulo {

// What the log window offers the log: each complete entry, newest shown on top.
class LogWindowSink {
public:
    virtual ~LogWindowSink() = default;
    virtual void AddTexto(const QString& texto) = 0;
};

// The window entries are shown in (the caller keeps it alive); null shows them nowhere.
void InstallLogWindow(LogWindowSink* window);

// Writes one entry: "Horario: dd/mm/yyyy hh:nn:ss", the text, an empty line, each line ended by CR LF, and
// one more line break in the file. Without a connection the server clock fails and the error reaches the
// caller; a file that cannot be written or rotated is passed over (a warning on the standard error), never
// stopping the caller.
void GravaLog(const QString& Texto);

}  // namespace Modulo
