#pragma once
// ADO's Stream as the program uses it: a binary buffer that is written and saved to a file.

#include "ado/Constants.h"
#include "runtime/Variant.h"

#include <QByteArray>
#include <QString>

namespace ADODB {

class Stream : public vb::Object {
public:
    long Type() const { return m_type; }
    void setType(long type);  // adTypeBinary or adTypeText (the default); only while closed or empty
    long State() const { return m_open ? adStateOpen : adStateClosed; }
    long Size() const;

    void Open();
    void Close();
    // Appends bytes; the stream must be open and binary.
    void Write(const QByteArray& buffer);
    // adSaveCreateNotExist fails on an existing file; adSaveCreateOverWrite replaces it. Error 3004 when the
    // file cannot be written.
    void SaveToFile(const QString& fileName, long options = adSaveCreateNotExist);

private:
    void requireOpen() const;

    long m_type = adTypeText;
    bool m_open = false;
    QByteArray m_data;
};

}  // namespace ADODB
