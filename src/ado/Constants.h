#pragma once
// ADO's enumerations with ADO's own values, as the program passes them to Open, Execute and friends. Plain
// longs, as the platform has them, so that options combine with |.

namespace ADODB {

// CursorTypeEnum
inline constexpr long adOpenUnspecified = -1;
inline constexpr long adOpenForwardOnly = 0;
inline constexpr long adOpenKeyset = 1;
inline constexpr long adOpenDynamic = 2;
inline constexpr long adOpenStatic = 3;

// LockTypeEnum
inline constexpr long adLockUnspecified = -1;
inline constexpr long adLockReadOnly = 1;
inline constexpr long adLockPessimistic = 2;
inline constexpr long adLockOptimistic = 3;
inline constexpr long adLockBatchOptimistic = 4;

// CommandTypeEnum
inline constexpr long adCmdUnspecified = -1;
inline constexpr long adCmdText = 1;
inline constexpr long adCmdTable = 2;
inline constexpr long adCmdStoredProc = 4;
inline constexpr long adCmdUnknown = 8;
inline constexpr long adCmdTableDirect = 512;

// ExecuteOptionEnum
inline constexpr long adExecuteNoRecords = 128;

// CursorLocationEnum
inline constexpr long adUseNone = 1;
inline constexpr long adUseServer = 2;
inline constexpr long adUseClient = 3;

// ObjectStateEnum
inline constexpr long adStateClosed = 0;
inline constexpr long adStateOpen = 1;

// EditModeEnum
inline constexpr long adEditNone = 0;
inline constexpr long adEditInProgress = 1;
inline constexpr long adEditAdd = 2;

// PositionEnum
inline constexpr long adPosUnknown = -1;
inline constexpr long adPosBOF = -2;
inline constexpr long adPosEOF = -3;

// SearchDirectionEnum
inline constexpr long adSearchBackward = -1;
inline constexpr long adSearchForward = 1;

// GetRowsOptionEnum
inline constexpr long adGetRowsRest = -1;

// StreamTypeEnum
inline constexpr long adTypeBinary = 1;
inline constexpr long adTypeText = 2;

// SaveOptionsEnum
inline constexpr long adSaveCreateNotExist = 1;
inline constexpr long adSaveCreateOverWrite = 2;

// DataTypeEnum
inline constexpr long adEmpty = 0;
inline constexpr long adSmallInt = 2;
inline constexpr long adInteger = 3;
inline constexpr long adSingle = 4;
inline constexpr long adDouble = 5;
inline constexpr long adCurrency = 6;
inline constexpr long adDate = 7;
inline constexpr long adBSTR = 8;
inline constexpr long adBoolean = 11;
inline constexpr long adVariant = 12;
inline constexpr long adDecimal = 14;
inline constexpr long adTinyInt = 16;
inline constexpr long adUnsignedTinyInt = 17;
inline constexpr long adUnsignedSmallInt = 18;
inline constexpr long adUnsignedInt = 19;
inline constexpr long adBigInt = 20;
inline constexpr long adUnsignedBigInt = 21;
inline constexpr long adGUID = 72;
inline constexpr long adBinary = 128;
inline constexpr long adChar = 129;
inline constexpr long adWChar = 130;
inline constexpr long adNumeric = 131;
inline constexpr long adDBDate = 133;
inline constexpr long adDBTime = 134;
inline constexpr long adDBTimeStamp = 135;
inline constexpr long adVarNumeric = 139;
inline constexpr long adVarChar = 200;
inline constexpr long adLongVarChar = 201;
inline constexpr long adVarWChar = 202;
inline constexpr long adLongVarWChar = 203;
inline constexpr long adVarBinary = 204;
inline constexpr long adLongVarBinary = 205;

}  // namespace ADODB

namespace ADOX {

// SortOrderEnum
inline constexpr long adSortAscending = 1;
inline constexpr long adSortDescending = 2;

}  // namespace ADOX
