#include "plotkit/format_dialog_registry.h"
#include "plotkit_dialogs/format_dialogs.h"

void plotkit::InstallFormatDialogs() {
    RegisterFormatDialog(kDisplayPF, &PoleFigureFormatDialog);
    RegisterFormatDialog(kDisplayODF, &OdfFormatDialog);
    RegisterFormatDialog(kDisplayIPF, &InversePoleFigureFormatDialog);
    RegisterFormatDialog(kDisplayLegend, &LegendFormatDialog);
    RegisterFormatDialog(kDisplayLine, &ScanLineFormatDialog);
    RegisterFormatDialog(kDisplayGBCD, &GbcdFormatDialog);
}
