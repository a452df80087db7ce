#pragma once

// Start and end of a program that links the library. Internal.

namespace tavlo::internal {

// Runs InitGraphicsLibrary exactly once per process, whoever asks first: the library's own
// start-up object or a unit that must fill a hook slot after it.
void EnsureGraphicsLibraryInitialised();

// Empties both hook slots, clears the open flag and palette mode, sets the driver to -1 and
// reads the screen size.
void InitGraphicsLibrary();
// Closes a window that is still open and releases the colour table.
void FinalizeGraphicsLibrary();

}  // namespace tavlo::internal
