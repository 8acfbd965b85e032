#pragma once
// Programs made to differ in known parameters, for the window's tests of comparisons.

#include "ProgramParameters.h"
#include "parameters/ParameterDifferenceList.h"

#include <QTableWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

struct CShownChange {
    std::string section;
    std::string name;
    std::string before;
    std::string after;
};

// Sets the parameter `name` of `section` to another value of its range (the next one, or
// the one before at the top) and tells its shown texts before and after.
inline CShownChange ChangeParameter(unsigned char* data, ParamSection section, const char* name)
{
    const CParameter* parameter = FindParameter(section, name);
    EXPECT_NE(parameter, nullptr) << name;
    if (parameter == nullptr)
        return {};
    CShownChange change{SectionName(section), name, std::string(ShownText(*parameter, data)), {}};
    int low = 0, high = 0;
    Range(*parameter, data, low, high);
    const int value = Value(*parameter, data);
    EXPECT_TRUE(SetValue(*parameter, data, value < high ? value + 1 : value - 1)) << name;
    change.after = std::string(ShownText(*parameter, data));
    return change;
}

// A row of a parameter list: section, parameter, first value, second value.
using CDifferenceRow = std::vector<std::string>;

inline CDifferenceRow Row(const CShownChange& change)
{
    return {change.section, change.name, change.before, change.after};
}

// The rows a parameter list shows.
inline std::vector<CDifferenceRow> ShownRows(const CParameterDifferenceList& list)
{
    std::vector<CDifferenceRow> rows;
    const QTableWidget& table = *list.Table();
    for (int row = 0; row < table.rowCount(); ++row) {
        rows.emplace_back();
        for (int column = 0; column < table.columnCount(); ++column)
            rows.back().push_back(table.item(row, column)->text().toStdString());
    }
    return rows;
}
