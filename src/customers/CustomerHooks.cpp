#include "customers/CustomerHooks.h"

CustomerHooks &customerHooks()
{
    static CustomerHooks hooks;
    return hooks;
}
