#pragma once
// How a display object's OnFormat reaches its format dialog without the
// display library linking Qt Widgets.
//
// The drawing code of every display library is GUI-free, so that quelta-cli
// and the figure renderer can draw figures without loading a widget toolkit.
// The dialogs live in a library of their own, and a registry keyed by display
// type code (GetType) connects the two. The rule for every display library:
//   - the display class implements OnFormat() as OpenFormatDialog(*this);
//     work that must be undone when the dialog is cancelled and that the
//     record copy does not cover (data the dialog may change) stays in
//     OnFormat, around that call;
//   - its dialogs go in a separate `<library>_dialogs` target, which exports
//     one Install...Dialogs() function registering one dialog per type code
//     it owns;
//   - a program with a GUI calls the Install function of every dialog
//     library it links at start-up, before any OnFormat; dialog tests do the
//     same.
// A type with no registered dialog leaves the record alone: OnFormat gives 0.
//
// The registry is process-wide because OnFormat takes no arguments through
// which a window could hand over its own choice; it is filled once at
// start-up and only read afterwards.
#include <functional>

#include "plotkit/display_structure.h"

namespace plotkit {

// A format dialog: edits the object's record in place; 1 for OK (record
// kept), 0 otherwise (record restored).
using FormatDialogFn = std::function<int(CDisplayStructure&)>;

// Makes `dialog` the format dialog of display type `displayType`, replacing
// any earlier one; an empty function removes it.
void RegisterFormatDialog(int displayType, FormatDialogFn dialog);

// The same for a dialog written against its display class; an object of the
// type code that is not of that class gets 0.
template <class Display> void RegisterFormatDialog(int displayType, int (*dialog)(Display&)) {
    RegisterFormatDialog(displayType, [dialog](CDisplayStructure& object) {
        auto* display = dynamic_cast<Display*>(&object);
        return display != nullptr ? dialog(*display) : 0;
    });
}

// Runs the dialog registered for object.GetType(); 0 when there is none.
int OpenFormatDialog(CDisplayStructure& object);

} // namespace plotkit
