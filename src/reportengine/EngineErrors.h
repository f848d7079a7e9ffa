#pragma once
// How the report engine fails: vb::VbError with the engine's own numbers (HRESULT-style negative longs, as the
// platform's Err.Number shows them) and a text that names the file, the item or the formula concerned.

#include "runtime/Err.h"

#include <QString>

namespace reportengine {

namespace EngineError {
constexpr long LayoutNotFound = -2147206461;         // 0x80043AC3
constexpr long LayoutDamaged = -2147192831;          // 0x80047001: unreadable, foreign or of a newer version
constexpr long UnknownSection = -2147192830;         // 0x80047002
constexpr long UnknownGroup = -2147192829;           // 0x80047003
constexpr long UnknownParameter = -2147192828;       // 0x80047004
constexpr long UnknownSubreport = -2147192827;       // 0x80047005
constexpr long FormulaSyntax = -2147192826;          // 0x80047006: a formula that does not parse
constexpr long FormulaEvaluation = -2147192825;      // 0x80047007: a formula that parses but cannot be computed
constexpr long ExportFailed = -2147192824;           // 0x80047008: a file that cannot be written
constexpr long UnknownExportFormat = -2147192823;    // 0x80047009
constexpr long MissingParameterValue = -2147192822;  // 0x8004700A
constexpr long UnknownField = -2147192821;           // 0x8004700B
constexpr long NotLoggedOn = -2147192820;            // 0x8004700C: data asked for before SetLogOnInfo
constexpr long PrintFailed = -2147192819;            // 0x8004700D
constexpr long UnknownItem = -2147192818;            // 0x8004700E: an index past the end of a collection
}  // namespace EngineError

inline const QString EngineSource = QStringLiteral("Report Engine");

[[noreturn]] void raiseEngine(long number, const QString& description);

}  // namespace reportengine
