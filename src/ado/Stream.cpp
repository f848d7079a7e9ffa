#include "ado/Stream.h"

#include "ado/AdoErrors.h"

#include <QFile>
#include <QFileInfo>

namespace ADODB {

void Stream::setType(long type)
{
    if (type != adTypeBinary && type != adTypeText)
        raiseAdo(adErrInvalidArgument, source::Stream);
    if (m_open && !m_data.isEmpty())
        raiseAdo(adErrIllegalOperation, source::Stream);
    m_type = type;
}

long Stream::Size() const
{
    requireOpen();
    return long(m_data.size());
}

void Stream::Open()
{
    if (m_open)
        raiseAdo(adErrObjectOpen, source::Stream);
    m_open = true;
    m_data.clear();
}

void Stream::Close()
{
    requireOpen();
    m_open = false;
    m_data.clear();
}

void Stream::Write(const QByteArray& buffer)
{
    requireOpen();
    if (m_type != adTypeBinary)
        raiseAdo(adErrIllegalOperation, source::Stream);
    m_data += buffer;
}

void Stream::SaveToFile(const QString& fileName, long options)
{
    requireOpen();
    if (options != adSaveCreateNotExist && options != adSaveCreateOverWrite)
        raiseAdo(adErrInvalidArgument, source::Stream);
    if (options == adSaveCreateNotExist && QFileInfo::exists(fileName))
        raiseAdo(adErrWriteFile, source::Stream);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(m_data) != m_data.size())
        raiseAdo(adErrWriteFile, source::Stream);
}

void Stream::requireOpen() const
{
    if (!m_open)
        raiseAdo(adErrObjectClosed, source::Stream);
}

}  // namespace ADODB
