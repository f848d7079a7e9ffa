#include "sqlserver/Session.h"

namespace sqlserver {

ServerError::ServerError(long number, QString message)
    : m_number(number), m_message(std::move(message)), m_what(m_message.toUtf8())
{
}

}  // namespace sqlserver
