#pragma once
// The general routines every subsystem shares: the report of unexpected errors, number and duration texts,
// the program folder and text padding. The routines on windows are in desktop/WindowRoutines.h.

#include "runtime/Variant.h"

#include <QString>

namespace Modulo {

// The line break of the program's texts and files.
inline const QString vbCrLf = QStringLiteral("\r\n");

// Reports the pending vb::Err, if any: a critical message box, then an entry appended to Util/Erro.txt
// (a line of 139 "-", then "[mensagem CR LF]Erro: <number> - <description> - dd/mm/yyyy - hh:mm:ss"), and
// clears it. Returns false, doing nothing, when no error is pending. When the file cannot be written the
// user is told so in a second box; the error still counts as reported.
bool TrataErro(const QString& mensagem = {});

// The value as a Double when it is numeric in the workstation's format, else 0. Never fails.
double ValorNumerico(const vb::Variant& value);

// Minutes as a short duration: days ("2d") from 1440, hours ("1,5h") from 60, else minutes ("45m"), rounded
// to one decimal and written without a zero decimal.
QString FormataDuracao(double minutes);

// The program's folder without a trailing "/".
QString CaminhoApp();

// The text cut to the width, then aligned in it: 0 left (blanks after), 1 right (blanks before), 2 centred
// (half the missing blanks before, rounded halves to even, none after). Any other alignment gives "".
QString AlinhaTexto(const QString& texto, int largura, int alinhamento);

}  // namespace Modulo
