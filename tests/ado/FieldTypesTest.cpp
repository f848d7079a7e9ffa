// Field types from declared column types, and the values a field takes when assigned.

#include "ado/AdoErrors.h"
#include "ado/Constants.h"
#include "ado/FieldTypes.h"

#include <gtest/gtest.h>

using namespace ADODB;

namespace {

void expectType(const char* declared, long type, long size)
{
    const FieldType t = fieldTypeOf(declared);
    EXPECT_EQ(type, t.type) << declared;
    EXPECT_EQ(size, t.definedSize) << declared;
}

TEST(FieldTypesTest, MapsDeclaredTypesToAdoCodes)
{
    expectType("int identity", adInteger, 4);
    expectType("SMALLINT", adSmallInt, 2);
    expectType("REAL", adSingle, 4);
    expectType("MONEY", adCurrency, 8);
    expectType("DECIMAL(18,6)", adNumeric, 19);
    expectType("CHAR(3)", adChar, 3);
    expectType("varchar(max)", adLongVarChar, 2147483647);
    expectType("NVARCHAR(40)", adVarWChar, 40);
    expectType("TEXT", adLongVarChar, 2147483647);  // SQL Server's long text
    expectType("TEXT(255)", adVarWChar, 255);       // Access's short text
}

TEST(FieldTypesTest, DecimalsAndMoneyCarryPrecisionAndScale)
{
    EXPECT_EQ(18, fieldTypeOf("DECIMAL(18,6)").precision);
    EXPECT_EQ(6, fieldTypeOf("DECIMAL(18,6)").numericScale);
    EXPECT_EQ(18, fieldTypeOf("numeric").precision);
    EXPECT_EQ(0, fieldTypeOf("numeric").numericScale);
    EXPECT_EQ(19, fieldTypeOf("MONEY").precision);
    EXPECT_EQ(4, fieldTypeOf("MONEY").numericScale);
}

TEST(FieldTypesTest, ExpressionsTakeTheirValuesType)
{
    EXPECT_EQ(adInteger, fieldTypeOf("", 5).type);
    EXPECT_EQ(adDouble, fieldTypeOf("", 2.5).type);
    EXPECT_EQ(adDBTimeStamp, fieldTypeOf("", vb::Date(45000)).type);
    EXPECT_EQ(adVarChar, fieldTypeOf("", vb::Variant::Null()).type);
}

TEST(FieldTypesTest, AssignedValuesTakeTheFieldsType)
{
    EXPECT_EQ(vb::Variant(12), valueForField("12", {adInteger, 4}));
    EXPECT_EQ(vb::Variant(std::int16_t(3)), valueForField(3.0, {adSmallInt, 2}));
    EXPECT_EQ(vb::Variant(true), valueForField(1, {adBoolean, 2}));
    EXPECT_EQ(vb::Variant(2.5), valueForField("2,5", {adDouble, 8}));  // the workstation's decimal comma
    EXPECT_EQ(vb::Variant("7"), valueForField(7, {adVarChar, 10}));
    EXPECT_TRUE(valueForField(vb::Variant(), {adInteger, 4}).isNull());
    EXPECT_TRUE(valueForField(vb::Variant::Null(), {adVarChar, 10}).isNull());

    for (const auto& [value, type] : std::vector<std::pair<vb::Variant, FieldType>>{
             {"abc", {adInteger, 4}}, {"abcdef", {adVarChar, 5}}, {"not a date", {adDBTimeStamp, 16}}}) {
        try {
            valueForField(value, type);
            FAIL() << value.toString().toStdString();
        } catch (const vb::VbError& e) {
            EXPECT_EQ(hresult::MultipleStepErrors, e.number());
        }
    }
}

}  // namespace
