#pragma once

#include "platform/Money.h"

#include <vector>

// The lines of a total in whole cents that add up to their exact sum rounded
// half away from zero: each line is cut down to its cent, and the cents the
// cuts left over go one each to the lines that lost the most (the earlier line
// first when two lost the same). Each line so differs from its exact amount
// by less than a cent, and a column of lines foots to the total printed under
// it.
std::vector<Money> LinesInCentsKeepingTotal(const std::vector<Money> &lines);
