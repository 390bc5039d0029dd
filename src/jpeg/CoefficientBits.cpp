#include "jpeg/CoefficientBits.h"

#include <algorithm>
#include <iterator>

bool everyCoefficientBitArrived(const int (&lowestBit)[64])
{
    return std::all_of(std::begin(lowestBit), std::end(lowestBit), [](int bit) { return bit == 0; });
}
