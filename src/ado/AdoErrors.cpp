#include "ado/AdoErrors.h"

namespace ADODB {

QString adoErrorText(long number)
{
    switch (number) {
    case adErrInvalidArgument:
        return QStringLiteral(
            "Arguments are of the wrong type, are out of acceptable range, or are in conflict "
            "with one another.");
    case adErrWriteFile:
        return QStringLiteral("Write to file failed.");
    case adErrNoCurrentRecord:
        return QStringLiteral(
            "Either BOF or EOF is True, or the current record has been deleted. Requested "
            "operation requires a current record.");
    case adErrIllegalOperation:
        return QStringLiteral("Operation is not allowed in this context.");
    case adErrInTransaction:
        return QStringLiteral("Connection object cannot be explicitly closed while in a transaction.");
    case adErrFeatureNotAvailable:
        return QStringLiteral("Object or provider is not capable of performing requested operation.");
    case adErrItemNotFound:
        return QStringLiteral(
            "Item cannot be found in the collection corresponding to the requested name or "
            "ordinal.");
    case adErrObjectClosed:
        return QStringLiteral("Operation is not allowed when the object is closed.");
    case adErrObjectOpen:
        return QStringLiteral("Operation is not allowed when the object is open.");
    case adErrInvalidConnection:
        return QStringLiteral(
            "The connection cannot be used to perform this operation. It is either closed or "
            "invalid in this context.");
    case hresult::MultipleStepErrors:
        return QStringLiteral("Multiple-step operation generated errors. Check each status value.");
    case hresult::BadInitString:
        return QStringLiteral(
            "Format of the initialization string does not conform to the OLE DB "
            "specification.");
    case hresult::CannotFetchBackward:
        return QStringLiteral("Rowset does not support fetching backward.");
    case hresult::RowNotFound:
        return QStringLiteral(
            "Row cannot be located for updating. Some values may have been changed since it "
            "was last read.");
    case hresult::Timeout:
        return QStringLiteral("Query timeout expired");
    case hresult::DatabaseExists:
        return QStringLiteral("Database already exists.");
    case hresult::NoTransaction:
        return QStringLiteral("No transaction is active.");
    case hresult::TransactionExists:
        return QStringLiteral("Only one transaction can be active on this session.");
    default:
        return vb::errorText(number);
    }
}

void raiseAdo(long number, const QString& source, const QString& description)
{
    throw vb::VbError(number, source, description.isEmpty() ? adoErrorText(number) : description);
}

ProviderError::ProviderError(long number, QString source, QString description, long nativeError, QString sqlState)
    : vb::VbError(number, std::move(source), std::move(description)),
      m_nativeError(nativeError),
      m_sqlState(std::move(sqlState))
{}

}  // namespace ADODB
