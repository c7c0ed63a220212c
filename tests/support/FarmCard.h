#pragma once

#include "tests/support/CardBuilder.h"

// A card as a farm fills it: the card and application items, a gate device, then drafts of
// animals with their weights, origins and receivers with groups of tags, and locations, until
// the end marker can stand at endAddress (or just after it).
CardBuilder FarmCard(std::int32_t endAddress);
