// The VRML writer "XVRML": a two-dimensional grid written as a VRML 1.0
// scene (header, material, scale, then the grid as triangles, filled or as
// outlines), and the table of predefined colours and the packed colour code
// that the PostScript writer and the colour ramps share.
//
// One writer state for the process: the unit (99 until XVRML_HEADER gets a
// positive one) and whether a scene is being written. The caller opens the
// file on the unit (XOPXUA) before XVRML_HEADER; XVRML_CLOSE closes it and
// says " Closed VRML file". The first failed write (or a failure of the
// final flush and close) is reported ("While writing VRML file" and the
// system's text), the unit is closed and a cut regular file removed (a device
// is left and said to be incomplete); later operations write nothing, and
// XVRML_CLOSE then says nothing, as the scene was not written whole.
#pragma once

#include <span>
#include <string_view>

namespace zv {

inline constexpr std::string_view kXvrmlVersion = "XVRML - 20051205/0.8";
// Colour numbers 1..kNrPredefinedColours name table entries; numbers from
// kFirstPackedColour on are packed colour codes.
inline constexpr int kNrPredefinedColours = 411;
inline constexpr int kFirstPackedColour = 412;

void XVRML_INIT();
// Starts a scene on a unit the caller has opened; a positive unit replaces
// the stored one. The background colour is recorded in the scene info.
void XVRML_HEADER(int unit, float red, float green, float blue);
// Colour of a colour number: below 412 the table entry (numbers limited to
// 1..411, so 0 and negative numbers give entry 1, black); 412 and above the
// number itself unpacked as a code.
void XVRML_RGB(int icol, float& red, float& green, float& blue);
// Packed colour code: three 10-bit fields k + 512 with k = trunc((c - 0.5) *
// 1000) limited to -500..500; unpacking gives c = (k + 500) / 1000 limited to
// 0..1. Grey 0.5 packs to 537395712.
void XVRML_PACK(float red, float green, float blue, int& code);
void XVRML_UNPACK(float& red, float& green, float& blue, int code);
void XVRML_MATERIAL(float red, float green, float blue);
void XVRML_SCALE(float sx, float sy, float sz);
// The grid as filled triangles / as triangle outlines. grid holds nx * ny
// values, value (i, j) (1-based, i along X) at grid[(i - 1) + (j - 1) * nx];
// X runs from x1 to x2 over the nx columns, Y from y1 to y2 over the ny rows.
void XVRML_FACES(int nx, int ny, std::span<const float> grid, float x1, float x2, float y1,
                 float y2);
void XVRML_LINES(int nx, int ny, std::span<const float> grid, float x1, float x2, float y1,
                 float y2);
void XVRML_CLOSE();

// True while a scene is being written.
bool xvrml_is_open();

}  // namespace zv
