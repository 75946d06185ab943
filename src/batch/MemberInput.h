#pragma once

#include "design/MemberRow.h"
#include "platform/NumberText.h"

// The batch program's names for the member rows, whose home is the design run's.
namespace tresol::batch {

using design::checkRow;
using design::Column;
using design::columnByName;
using design::columnName;
using design::InputRow;
using design::isRequired;
using design::kColumnCount;
using design::kindName;
using design::kLargestAggregateMm;
using design::kLargestLengthM;
using design::kLargestLinkMm;
using design::RawRow;
using design::RawValue;
using platform::appendShortest;
using platform::shortestText;

} // namespace tresol::batch
