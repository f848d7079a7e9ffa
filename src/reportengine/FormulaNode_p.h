#pragma once
// The tree a formula parses to. Positions are 1-based character offsets in the formula's text.

#include "runtime/Variant.h"

#include <QString>
#include <memory>
#include <vector>

namespace reportengine {

struct FormulaNode {
    enum class Kind {
        Constant,       // value
        Field,          // {Table.Field}: name "table.field" in lower case
        Formula,        // {@name}: name in lower case
        Parameter,      // {?name}
        SqlExpression,  // {%name}
        Unary,          // op "-", "not"; args[0]
        Binary,         // op "+ - * / mod & = <> < > <= >= and or like startswith"; args[0], args[1]
        InList,         // args[0] in [args[1..]]; an item may be a range, a Binary "to"
        InRange,        // args[0] in args[1] to args[2]
        If,             // if args[0] then args[1] else args[2] (a Null constant when there is no else)
        Call,           // name in lower case; args
    };
    Kind kind = Kind::Constant;
    vb::Variant value;
    QString name;
    QString op;
    int position = 1;
    int height = 1;  // levels of the tree from this node down
    std::vector<std::unique_ptr<FormulaNode>> args;
    // The column or formula a reference was bound to when first evaluated; -1 until then.
    mutable int slot = -1;
};

using FormulaTree = std::unique_ptr<FormulaNode>;

}  // namespace reportengine
