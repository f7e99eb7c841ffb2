#include "checkUpdateUtil.h"

checkUpdateUtil &checkUpdateUtil::sharedcheckUpdateUtil()
{
    static checkUpdateUtil instance;
    return instance;
}
