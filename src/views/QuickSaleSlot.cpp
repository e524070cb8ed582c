#include "views/QuickSaleSlot.h"

QuickSaleRunner &quickSaleRunner()
{
    static QuickSaleRunner runner;
    return runner;
}
