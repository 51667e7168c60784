#include "calcjobs/job_common.h"

namespace calcjobs {

ProfileKey ResultProfileKey(int kind) {
    switch (kind) {
    case kResultODF:
        return {"ODFCalculation", "ODFFileName"};
    case kResultPoleFigure:
        return {"PFCalculation", "PFFileName"};
    case kResultInversePoleFigure:
        return {"IPFCalculation", "IPFFileName"};
    case kResultGBCD:
        return {"GBCDCalculation", "GBCDFileName"};
    case kResultMagnetic:
        return {"MagCalculation", "MagFileName"};
    case kResultGBCDFiber:
        return {"GBCDFiber", "GBCDFileName"};
    case kResultGBCDInODF:
        return {"GBCDInODF", "GBCDFileName"};
    default:
        return {nullptr, nullptr};
    }
}

} // namespace calcjobs
