#pragma once

// The steps that OpenGraphics runs after the window exists, each owned by its own file.
// Internal.

namespace tavlo::internal {

// Installs the four built-in font faces; a missing face leaves ResultFontNotFound.
void InstallDefaultFaces();
// In the palette drivers installs the driver's default palette; in DriverDesktop gives the named
// colours their RGB values.
void InstallDefaultColors();
// Points every named colour at the palette entry nearest to its RGB value.
void UpdateNamedColors();
// Gives every named colour its RGB value.
void LoadNamedColorValues();
// Gives the new window the default drawing state.
void ResetDrawingState();
// Prepares the OpenGL rendering contexts; leaves ResultNoOpenGL when they cannot be made.
void SetUpOpenGL();
// Makes no rendering context current and deletes both.
void ReleaseOpenGL();

}  // namespace tavlo::internal
