#include "app/base/Codes.h"

#include <algorithm>

namespace {

constexpr bool inRange(std::int32_t n, std::int32_t low, std::int32_t high)
{
    return n >= low && n <= high;
}

} // namespace

bool IsCategory6(std::int32_t catNo) { return catNo == 6; }
bool IsCategory7(std::int32_t catNo) { return catNo == 7; }
bool IsPaperCategory(std::int32_t catNo) { return inRange(catNo, 101, 199); }
bool IsCategory105(std::int32_t catNo) { return catNo == 105; }
bool IsCategory113To116(std::int32_t catNo) { return inRange(catNo, 113, 116); }
bool IsPaperCategoryNot113To116(std::int32_t catNo) { return IsPaperCategory(catNo) && !IsCategory113To116(catNo); }
bool IsPressCategory(std::int32_t catNo) { return inRange(catNo, 201, 299); }
bool IsDigitalCategory(std::int32_t catNo) { return inRange(catNo, 301, 399); }
bool IsPrintingCategory(std::int32_t catNo) { return IsPressCategory(catNo) || IsDigitalCategory(catNo); }
bool IsCategory999(std::int32_t catNo) { return catNo == 999; }

bool IsListImage48To59(std::int32_t image) { return inRange(image, 48, 59); }
bool IsListImage60To71(std::int32_t image) { return inRange(image, 60, 71) || image == 96 || image == 99; }
bool IsListImage84To95(std::int32_t image) { return inRange(image, 84, 95) || image == 98 || image == 101; }
bool IsListImage48To95(std::int32_t image) { return inRange(image, 48, 95); }
bool IsListImage96To98(std::int32_t image) { return inRange(image, 96, 98); }
bool IsListImage99To101(std::int32_t image) { return inRange(image, 99, 101); }
bool IsListImage48To101(std::int32_t image) { return inRange(image, 48, 101); }
bool IsListImage139To145(std::int32_t image) { return inRange(image, 139, 145) || IsListImage60To71(image); }
bool IsCodeGroup24To35(std::int32_t code) { return inRange(code, 24, 35); }
bool IsCategory213Or214(std::int32_t image) { return image == 213 || image == 214; }
bool IsCategory215Or216(std::int32_t image) { return image == 215 || image == 216; }
bool IsCategory216(std::int32_t image) { return image == 216; }
bool IsCategory221(std::int32_t image) { return image == 221; }
bool IsCategory222(std::int32_t image) { return image == 222; }
bool IsCategory221Or222(std::int32_t image) { return image == 221 || image == 222; }

int GetInkCount(std::uint8_t sideColors)
{
    return sideColors <= 5 ? sideColors : sideColors - 5;
}

int GetTotalInkCount(std::uint8_t side1, std::uint8_t side2)
{
    return GetInkCount(side1) + GetInkCount(side2);
}

int GetSidesPrinted(std::uint8_t side1, std::uint8_t side2)
{
    return (side1 != 0 ? 1 : 0) + (side2 != 0 ? 1 : 0);
}

int GetHowSidesPrinted(std::uint8_t side1, std::uint8_t side2)
{
    const std::uint8_t a = std::max(side1, side2);
    const std::uint8_t b = std::min(side1, side2);
    if (a == 0)
        return 0;
    if (a == 1 && b == 1)
        return 2;
    if (a > 1 && b == 0)
        return 3;
    if (a > 1 && b == 1)
        return 4;
    if (a > 1 && b > 1)
        return 5;
    return 1;
}

std::uint8_t GetInkImageIndex(std::uint8_t sideColors)
{
    switch (sideColors) {
    case 0: return 239;
    case 1: return 240;
    case 2: case 3: return 241;
    case 6: case 7: case 8: return 242;
    default: return 243;
    }
}

std::uint8_t GetSidesImageIndex(std::uint8_t side1, std::uint8_t side2)
{
    switch (GetSidesPrinted(side1, side2)) {
    case 1: return 244;
    case 2: return 245;
    default: return 239;
    }
}

std::uint8_t GetUnitImageIndex(std::uint8_t quantityUnit)
{
    switch (quantityUnit) {
    case 2: return 248;
    case 7: return 247;
    default: return 246;
    }
}
