#pragma once

#include "card/ReadSummary.h"
#include "card/Workbook.h"

// The sheet "Summary" of an export's workbook: what the read's summary line sums up, as a table
// (rows, tags, record types, weights overall and per gate), and the spread of the weights as a
// chart.
void WriteSummarySheet(Workbook& book, const ReadSummary& summary);
