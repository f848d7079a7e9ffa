#pragma once
// Appending text files as the platform's "Open .. For Append" with "Print #": 8-bit text in the
// workstation's code page (Windows-1252), each line ended by CR LF. The file is created when missing; its
// folder is not (error 76 Path not found). Other failures raise 75 Path/File access error.

#include <QString>
#include <QStringList>

namespace vb {

qint64 AppendLines(const QString& path, const QStringList& lines);  // the file's size after

}  // namespace vb
