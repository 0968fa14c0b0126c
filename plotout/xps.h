// The PostScript writer "XPS_GRAF": the plotting program's drawing calls in
// user coordinates become one Encapsulated PostScript page. The user window
// is mapped into a 450 by 450 point plot box (x 50..500, y 250..700 on the
// page); XPS_CLOSE adds axes with tick labels, axis titles, a header, a
// legend and crop marks.
//
// One writer state for the process, one open file at a time. Every operation
// except XPS_INIT, XPS_OPEN, XPS_LEGEND, XPS_WHITEOUT and XPS_PLOTBOX needs
// an open file; without one it prints " ERROR - No PostScript file is open"
// and does nothing else.
//
// Colour numbers: 0..7 black, red, green, yellow, blue, magenta, cyan,
// white; 8..411 entries of the predefined colour table (xvrml.h); 412 and
// above packed colour codes; negative numbers (HSV) are not supported.
//
// A page that cannot be written whole (a full disk, a device such as
// /dev/full, a file-size limit) is reported once, " ERROR --- XPS_GRAF -
// While writing PostScript file" and the system's text; its file is closed
// at once and removed when it is a regular file, so that no cut page is left
// to be taken for a whole one (a device is left and said to be incomplete).
// The page stays open for the caller's remaining calls, which write nothing.
//
// Texts are written inside PostScript strings with "\" and every unbalanced
// parenthesis escaped by a backslash (balanced ones are legal and stay as
// they are), so any label, legend line or file name is safe.
#pragma once

#include <string_view>

namespace zv {

inline constexpr std::string_view kXpsVersion = "20051205/3.1.3";
// Legend lines kept for the page, and their length.
inline constexpr int kMaxLegendLines = 10;
inline constexpr int kLegendLineLen = 100;
// Length of the file name, program text and axis labels.
inline constexpr int kXpsTextLen = 120;
// Line segments in one PostScript path before it is stroked and restarted.
inline constexpr int kMaxPathSegments = 100;

// Initial state; also initialises the VRML writer (XVRML_INIT).
void XPS_INIT();
// Opens the file (a positive unit replaces the stored one, which is 99 at
// start; a blank name is asked for) and writes the header and prolog. A
// blank program text becomes "UNKNOWN PROGRAM". A page still open from an
// earlier XPS_OPEN is finished and closed first, so that its file stays
// whole; the legend lines, white-out flag, dash count and colour held then
// carry over to the new page.
void XPS_OPEN(int unit, std::string_view file, std::string_view program);
// User window mapped onto the plot box. Equal limits count as a range of 1
// (the upper limit becomes the lower one plus 1).
void XPS_WINDOW(float xmin, float xmax, float ymin, float ymax);
// The plot box on the page: 50, 500, 250, 700.
void XPS_PLOTBOX(float& x1, float& x2, float& y1, float& y2);
void XPS_LABELS(std::string_view xlabel, std::string_view ylabel);
// One more legend line (blanks collapsed, then cut to kLegendLineLen; at
// most kMaxLegendLines).
void XPS_LEGEND(std::string_view text);
void XPS_COMMENT(std::string_view text);
void XPS_COLOUR(int icol);
// Strokes and switches to the next dash pattern; XPS_SOLID goes back to a
// solid line.
void XPS_DASH();
void XPS_SOLID();
void XPS_MOVE(float x, float y);
void XPS_DRAW(float x, float y);
void XPS_STROKE();
// Text at (x, y), size in points (at least 1).
void XPS_TEXT(float x, float y, float size, std::string_view text);
// Filled rectangle x1..x2 by y1..y2 in an RGB colour (0..1 each), which stays
// in force for later drawing.
void XPS_BOX(float x1, float x2, float y1, float y2, float red, float green, float blue);
// Outline marker inside the rectangle: 1 plus, 2 cross, 3 hourglass, 4
// diamond, 5..8 triangles with the apex up, down, left, right, any other
// number a rectangle.
void XPS_MARKER(int shape, float x1, float x2, float y1, float y2);
void XPS_CIRCLE(float x, float y, float radius);
void XPS_ELLIPSE(float x, float y, float xradius, float yradius);
// Non-zero: at close, white boxes hide everything drawn outside the plot box.
void XPS_WHITEOUT(int flag);
// Axes, labels, header, legend and trailer; closes the file and resets the
// legend, dash count, colour, white-out flag and open flag.
void XPS_CLOSE();

// True while a PostScript file is open.
bool xps_is_open();

}  // namespace zv
