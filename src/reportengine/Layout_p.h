#pragma once
// A layout as read from its file: plain data that the object model edits and a run reads. Units are twips
// (1/1440 inch). Field references and expressions are kept as formula text.

#include "runtime/Variant.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace reportengine {

enum class Area { ReportHeader, PageHeader, GroupHeader, Details, GroupFooter, ReportFooter, PageFooter };

// The kinds of report objects, as ReportObject::Kind reports them.
enum class ObjectKind { Field = 1, Text = 2, Line = 3, Box = 4, Subreport = 5 };

enum class ValueKind { Text, Number, Date, Boolean };

struct FontSpec {
    QString family = QStringLiteral("DejaVu Sans");
    double size = 9;  // points
    bool bold = false;
    bool italic = false;
};

struct LinkSpec {
    QString parent;  // a reference to the parent's record ("{CadPos.Auto}")
    QString child;   // the subreport's field it must equal ("{CadSeq.Posicao}")
};

struct ObjectSpec {
    ObjectKind kind = ObjectKind::Text;
    QString name;
    QRect box;       // x, y, width, height within the section
    QString text;    // a text object's text
    QString source;  // a field object's expression
    QString format;  // the runtime's Format pattern; empty: the value's default text
    FontSpec font;
    Qt::Alignment align = Qt::AlignLeft;
    bool canGrow = false;
    int lineWidth = 15;
    QString subreport;  // the subreport a subreport object shows
    std::vector<LinkSpec> links;
};

struct SectionSpec {
    Area area = Area::Details;
    int group = 0;  // 1-based group of a group header or footer
    QString name;
    int height = 0;
    bool suppress = false;
    bool newPageBefore = false;
    std::vector<ObjectSpec> objects;
};

// Where a table is read from, as SetLogOnInfo gives it.
struct LogOnSpec {
    QString server, database, user, password;
    bool given = false;
};

struct TableSpec {
    QString name;
    QString location;  // what the database calls it
    QStringList fields;
    LogOnSpec logOn;
};

struct JoinSpec {
    QString fromTable, fromField, toTable, toField;
    bool leftOuter = false;
};

struct ParameterSpec {
    QString name;
    ValueKind type = ValueKind::Text;
    QString prompt;
    std::optional<vb::Variant> defaultValue;
    std::vector<vb::Variant> currentValues;  // AddCurrentValue's, already of the parameter's type
};

struct NamedText {
    QString name;
    QString text;
};

struct SortSpec {
    QString field;  // a reference: "{Table.Field}", "{@formula}" or "{%sqlexpression}"
    int direction = 0;
};

struct PageSpec {
    int paperSize = 9;
    int width = 11906;  // portrait width and height of the paper
    int height = 16838;
    int orientation = 0;
    int left = 567, right = 567, top = 567, bottom = 567;
};

struct PrinterSpec {
    QString driver, device, port;
};

struct LayoutSpec {
    QString file;
    QString name;
    PageSpec page;
    PrinterSpec printer;
    std::vector<TableSpec> tables;
    std::vector<JoinSpec> joins;
    QString command;   // SQL text of a command table ("Command"), empty when the tables are joined
    QString sqlQuery;  // SQLQueryString: replaces the query the tables or the command make
    std::vector<ParameterSpec> parameters;
    std::vector<NamedText> formulas;
    std::vector<NamedText> sqlExpressions;
    QString selection;
    std::vector<SortSpec> sorts;
    std::vector<SortSpec> groups;
    int formulaSyntax = 0;
    // Shared so that a Section taken from the object model stays valid when DeleteGroup removes sections.
    std::vector<std::shared_ptr<SectionSpec>> sections;
    std::vector<std::shared_ptr<LayoutSpec>> subreports;
};

// The name of the table that stands for a layout's SQL command.
inline const QString CommandTable = QStringLiteral("Command");

}  // namespace reportengine

namespace reportengine {

// A value given to a parameter, converted to the parameter's type (Null stays Null).
vb::Variant parameterValue(const vb::Variant& value, ValueKind type);

// The paper's portrait size in twips for the codes the engine knows (9 A4, 1 Letter, 5 Legal); false for others.
bool paperDimensions(int paperSize, int& width, int& height);

}  // namespace reportengine
