// VBScript's constants, by name without regard to case.

#include "scripting/Routines_p.h"

#include <QHash>

namespace scripting {

namespace {

using vb::Variant;

const QHash<QString, std::pair<QString, Variant>>& constantIndex()
{
    static const QHash<QString, std::pair<QString, Variant>> index = [] {
        const std::pair<const char*, Variant> constants[] = {
            // Texts.
            {"vbCrLf", "\r\n"},
            {"vbCr", "\r"},
            {"vbLf", "\n"},
            {"vbNewLine", "\r\n"},
            {"vbTab", "\t"},
            {"vbNullString", ""},
            {"vbNullChar", QString(QChar(0))},
            {"vbFormFeed", "\f"},
            {"vbVerticalTab", "\v"},
            {"vbBack", "\b"},
            // Errors and tristates.
            {"vbObjectError", -2147221504},
            {"vbUseDefault", -2},
            {"vbTrue", -1},
            {"vbFalse", 0},
            // Comparisons.
            {"vbBinaryCompare", 0},
            {"vbTextCompare", 1},
            {"vbDatabaseCompare", 2},
            // Colours.
            {"vbBlack", 0x000000},
            {"vbRed", 0x0000FF},
            {"vbGreen", 0x00FF00},
            {"vbYellow", 0x00FFFF},
            {"vbBlue", 0xFF0000},
            {"vbMagenta", 0xFF00FF},
            {"vbCyan", 0xFFFF00},
            {"vbWhite", 0xFFFFFF},
            // Days and weeks.
            {"vbUseSystemDayOfWeek", 0},
            {"vbSunday", 1},
            {"vbMonday", 2},
            {"vbTuesday", 3},
            {"vbWednesday", 4},
            {"vbThursday", 5},
            {"vbFriday", 6},
            {"vbSaturday", 7},
            {"vbUseSystem", 0},
            {"vbFirstJan1", 1},
            {"vbFirstFourDays", 2},
            {"vbFirstFullWeek", 3},
            // Date formats.
            {"vbGeneralDate", 0},
            {"vbLongDate", 1},
            {"vbShortDate", 2},
            {"vbLongTime", 3},
            {"vbShortTime", 4},
            // Message boxes: buttons, icons, defaults, modality, answers.
            {"vbOKOnly", 0},
            {"vbOKCancel", 1},
            {"vbAbortRetryIgnore", 2},
            {"vbYesNoCancel", 3},
            {"vbYesNo", 4},
            {"vbRetryCancel", 5},
            {"vbCritical", 16},
            {"vbQuestion", 32},
            {"vbExclamation", 48},
            {"vbInformation", 64},
            {"vbDefaultButton1", 0},
            {"vbDefaultButton2", 256},
            {"vbDefaultButton3", 512},
            {"vbDefaultButton4", 768},
            {"vbApplicationModal", 0},
            {"vbSystemModal", 4096},
            {"vbMsgBoxHelpButton", 16384},
            {"vbMsgBoxSetForeground", 65536},
            {"vbMsgBoxRight", 524288},
            {"vbMsgBoxRtlReading", 1048576},
            {"vbOK", 1},
            {"vbCancel", 2},
            {"vbAbort", 3},
            {"vbRetry", 4},
            {"vbIgnore", 5},
            {"vbYes", 6},
            {"vbNo", 7},
            // VarType codes.
            {"vbEmpty", 0},
            {"vbNull", 1},
            {"vbInteger", 2},
            {"vbLong", 3},
            {"vbSingle", 4},
            {"vbDouble", 5},
            {"vbCurrency", 6},
            {"vbDate", 7},
            {"vbString", 8},
            {"vbObject", 9},
            {"vbError", 10},
            {"vbBoolean", 11},
            {"vbVariant", 12},
            {"vbDataObject", 13},
            {"vbDecimal", 14},
            {"vbByte", 17},
            {"vbArray", 8192},
        };
        QHash<QString, std::pair<QString, Variant>> h;
        for (const auto& [name, value] : constants)
            h.insert(QString::fromLatin1(name).toLower(), {QString::fromLatin1(name), value});
        return h;
    }();
    return index;
}

}  // namespace

std::optional<Variant> findConstant(const QString& name)
{
    const auto it = constantIndex().constFind(name.toLower());
    if (it == constantIndex().cend())
        return std::nullopt;
    return it->second;
}

QStringList constantNames()
{
    QStringList names;
    for (const auto& entry : constantIndex())
        names << entry.first;
    return names;
}

}  // namespace scripting
