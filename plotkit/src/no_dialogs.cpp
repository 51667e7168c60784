// Builds without Qt have no format dialogs: OnFormat leaves the record as it
// is and reports that nothing was accepted.
#include "plotkit/plotkit.h"

int CPFStructure::OnFormat() {
    return 0;
}
int CODFStructure::OnFormat() {
    return 0;
}
int CIPFStructure::OnFormat() {
    return 0;
}
int CLegendMap::OnFormat() {
    return 0;
}
int CScanLine::OnFormat() {
    return 0;
}
int CGBCDStructure::OnFormat() {
    return 0;
}
