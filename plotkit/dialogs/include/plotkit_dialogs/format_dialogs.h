#pragma once
// The format dialogs of the 5 degree display objects (Qt Widgets). Each
// edits its object's record in place, lets Preview redraw the page, and
// returns 1 for OK (record kept) or 0 (record restored).
//
// The display objects reach these through the registry of
// plotkit/format_dialog_registry.h: a GUI program calls
// InstallFormatDialogs() once at start-up, after which OnFormat opens them.
#include "plotkit/gbcd_structure.h"
#include "plotkit/ipf_structure.h"
#include "plotkit/legend_map.h"
#include "plotkit/odf_structure.h"
#include "plotkit/pf_structure.h"
#include "plotkit/scan_line.h"

namespace plotkit {

// Registers every dialog below under its display type code.
void InstallFormatDialogs();

int PoleFigureFormatDialog(CPFStructure& pf);
int OdfFormatDialog(CODFStructure& odf);
int InversePoleFigureFormatDialog(CIPFStructure& ipf);
int LegendFormatDialog(CLegendMap& legend);
// Deleting a line takes effect at once; CScanLine::OnFormat restores the
// data when the dialog is cancelled, so call it through OnFormat.
int ScanLineFormatDialog(CScanLine& line);
int GbcdFormatDialog(CGBCDStructure& gbcd);

} // namespace plotkit
