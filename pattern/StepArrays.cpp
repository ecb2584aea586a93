#include "pattern/StepArrays.h"

#include "pattern/PatternTable.h"
#include "pattern/StepValues.h"

int StageLeadingSteps(const PatternTable& table, StepArrays& arrays)
{
    std::array<double, 102>* const columns[] = {&arrays.StepTime, &arrays.StepVoltage, &arrays.StepCurrent};
    for (int n = 1; n <= MaxPatternSteps; ++n)
        for (int column = 1; column <= 3; ++column) {
            if (table.Cell(n, column).isEmpty())
                return n - 1;
            (*columns[column - 1])[n] = LeadingNumber(table.Cell(n, column));
        }
    return MaxPatternSteps;
}
