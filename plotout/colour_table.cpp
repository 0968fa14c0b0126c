// The predefined colours 1..411 of the plot writers, as packed colour codes.
//
// Entries 1 to 11 are the basic colours black, red, green, blue, yellow,
// magenta, cyan, light grey, grey, dark grey and white; entry 12 is a very
// light grey (0.862); entry 411 is black again. Entries 13 to 410 are the X11
// colour names of the X Window System's rgb.txt, in the order of that file
// from "FloralWhite" (the entry after "gainsboro") on, one entry per colour
// name: the spellings with blanks and the "grey" spellings of the greys are
// left out. Their 0..255 components c become c / 255 and are packed like
// every other colour (XVRML_PACK), so every entry unpacks to three decimals.
#include "plotout/colour_table.h"

#include <array>

#include "plotout/xvrml.h"

namespace zv::plotout {
namespace {

struct Rgb8 {
  unsigned char r, g, b;
};

// Entries 13..410, four to a line.
constexpr Rgb8 kNamed[] = {
    {255, 250, 240}, {253, 245, 230}, {250, 240, 230}, {250, 235, 215},  // 13: FloralWhite, OldLace, linen, AntiqueWhite
    {255, 239, 213}, {255, 235, 205}, {255, 228, 196}, {255, 218, 185},  // 17: PapayaWhip, BlanchedAlmond, bisque, PeachPuff
    {255, 222, 173}, {255, 228, 181}, {255, 248, 220}, {255, 255, 240},  // 21: NavajoWhite, moccasin, cornsilk, ivory
    {255, 250, 205}, {255, 245, 238}, {240, 255, 240}, {245, 255, 250},  // 25: LemonChiffon, seashell, honeydew, MintCream
    {240, 255, 255}, {240, 248, 255}, {230, 230, 250}, {255, 240, 245},  // 29: azure, AliceBlue, lavender, LavenderBlush
    {255, 228, 225}, {255, 255, 255}, {0, 0, 0}, {47, 79, 79},  // 33: MistyRose, white, black, DarkSlateGray
    {105, 105, 105}, {112, 128, 144}, {119, 136, 153}, {190, 190, 190},  // 37: DimGray, SlateGray, LightSlateGray, gray
    {211, 211, 211}, {25, 25, 112}, {0, 0, 128}, {0, 0, 128},  // 41: LightGray, MidnightBlue, navy, NavyBlue
    {100, 149, 237}, {72, 61, 139}, {106, 90, 205}, {123, 104, 238},  // 45: CornflowerBlue, DarkSlateBlue, SlateBlue, MediumSlateBlue
    {132, 112, 255}, {0, 0, 205}, {65, 105, 225}, {0, 0, 255},  // 49: LightSlateBlue, MediumBlue, RoyalBlue, blue
    {30, 144, 255}, {0, 191, 255}, {135, 206, 235}, {135, 206, 250},  // 53: DodgerBlue, DeepSkyBlue, SkyBlue, LightSkyBlue
    {70, 130, 180}, {176, 196, 222}, {173, 216, 230}, {176, 224, 230},  // 57: SteelBlue, LightSteelBlue, LightBlue, PowderBlue
    {175, 238, 238}, {0, 206, 209}, {72, 209, 204}, {64, 224, 208},  // 61: PaleTurquoise, DarkTurquoise, MediumTurquoise, turquoise
    {0, 255, 255}, {224, 255, 255}, {95, 158, 160}, {102, 205, 170},  // 65: cyan, LightCyan, CadetBlue, MediumAquamarine
    {127, 255, 212}, {0, 100, 0}, {85, 107, 47}, {143, 188, 143},  // 69: aquamarine, DarkGreen, DarkOliveGreen, DarkSeaGreen
    {46, 139, 87}, {60, 179, 113}, {32, 178, 170}, {152, 251, 152},  // 73: SeaGreen, MediumSeaGreen, LightSeaGreen, PaleGreen
    {0, 255, 127}, {124, 252, 0}, {0, 255, 0}, {127, 255, 0},  // 77: SpringGreen, LawnGreen, green, chartreuse
    {0, 250, 154}, {173, 255, 47}, {50, 205, 50}, {154, 205, 50},  // 81: MediumSpringGreen, GreenYellow, LimeGreen, YellowGreen
    {34, 139, 34}, {107, 142, 35}, {189, 183, 107}, {240, 230, 140},  // 85: ForestGreen, OliveDrab, DarkKhaki, khaki
    {238, 232, 170}, {250, 250, 210}, {255, 255, 224}, {255, 255, 0},  // 89: PaleGoldenrod, LightGoldenrodYellow, LightYellow, yellow
    {255, 215, 0}, {238, 221, 130}, {218, 165, 32}, {184, 134, 11},  // 93: gold, LightGoldenrod, goldenrod, DarkGoldenrod
    {188, 143, 143}, {205, 92, 92}, {139, 69, 19}, {160, 82, 45},  // 97: RosyBrown, IndianRed, SaddleBrown, sienna
    {205, 133, 63}, {222, 184, 135}, {245, 245, 220}, {245, 222, 179},  // 101: peru, burlywood, beige, wheat
    {244, 164, 96}, {210, 180, 140}, {210, 105, 30}, {178, 34, 34},  // 105: SandyBrown, tan, chocolate, firebrick
    {165, 42, 42}, {233, 150, 122}, {250, 128, 114}, {255, 160, 122},  // 109: brown, DarkSalmon, salmon, LightSalmon
    {255, 165, 0}, {255, 140, 0}, {255, 127, 80}, {240, 128, 128},  // 113: orange, DarkOrange, coral, LightCoral
    {255, 99, 71}, {255, 69, 0}, {255, 0, 0}, {255, 105, 180},  // 117: tomato, OrangeRed, red, HotPink
    {255, 20, 147}, {255, 192, 203}, {255, 182, 193}, {219, 112, 147},  // 121: DeepPink, pink, LightPink, PaleVioletRed
    {176, 48, 96}, {199, 21, 133}, {208, 32, 144}, {255, 0, 255},  // 125: maroon, MediumVioletRed, VioletRed, magenta
    {238, 130, 238}, {221, 160, 221}, {218, 112, 214}, {186, 85, 211},  // 129: violet, plum, orchid, MediumOrchid
    {153, 50, 204}, {148, 0, 211}, {138, 43, 226}, {160, 32, 240},  // 133: DarkOrchid, DarkViolet, BlueViolet, purple
    {147, 112, 219}, {216, 191, 216}, {255, 250, 250}, {238, 233, 233},  // 137: MediumPurple, thistle, snow1, snow2
    {205, 201, 201}, {139, 137, 137}, {255, 245, 238}, {238, 229, 222},  // 141: snow3, snow4, seashell1, seashell2
    {205, 197, 191}, {139, 134, 130}, {255, 239, 219}, {238, 223, 204},  // 145: seashell3, seashell4, AntiqueWhite1, AntiqueWhite2
    {205, 192, 176}, {139, 131, 120}, {255, 228, 196}, {238, 213, 183},  // 149: AntiqueWhite3, AntiqueWhite4, bisque1, bisque2
    {205, 183, 158}, {139, 125, 107}, {255, 218, 185}, {238, 203, 173},  // 153: bisque3, bisque4, PeachPuff1, PeachPuff2
    {205, 175, 149}, {139, 119, 101}, {255, 222, 173}, {238, 207, 161},  // 157: PeachPuff3, PeachPuff4, NavajoWhite1, NavajoWhite2
    {205, 179, 139}, {139, 121, 94}, {255, 250, 205}, {238, 233, 191},  // 161: NavajoWhite3, NavajoWhite4, LemonChiffon1, LemonChiffon2
    {205, 201, 165}, {139, 137, 112}, {255, 248, 220}, {238, 232, 205},  // 165: LemonChiffon3, LemonChiffon4, cornsilk1, cornsilk2
    {205, 200, 177}, {139, 136, 120}, {255, 255, 240}, {238, 238, 224},  // 169: cornsilk3, cornsilk4, ivory1, ivory2
    {205, 205, 193}, {139, 139, 131}, {240, 255, 240}, {224, 238, 224},  // 173: ivory3, ivory4, honeydew1, honeydew2
    {193, 205, 193}, {131, 139, 131}, {255, 240, 245}, {238, 224, 229},  // 177: honeydew3, honeydew4, LavenderBlush1, LavenderBlush2
    {205, 193, 197}, {139, 131, 134}, {255, 228, 225}, {238, 213, 210},  // 181: LavenderBlush3, LavenderBlush4, MistyRose1, MistyRose2
    {205, 183, 181}, {139, 125, 123}, {240, 255, 255}, {224, 238, 238},  // 185: MistyRose3, MistyRose4, azure1, azure2
    {193, 205, 205}, {131, 139, 139}, {131, 111, 255}, {122, 103, 238},  // 189: azure3, azure4, SlateBlue1, SlateBlue2
    {105, 89, 205}, {71, 60, 139}, {72, 118, 255}, {67, 110, 238},  // 193: SlateBlue3, SlateBlue4, RoyalBlue1, RoyalBlue2
    {58, 95, 205}, {39, 64, 139}, {0, 0, 255}, {0, 0, 238},  // 197: RoyalBlue3, RoyalBlue4, blue1, blue2
    {0, 0, 205}, {0, 0, 139}, {30, 144, 255}, {28, 134, 238},  // 201: blue3, blue4, DodgerBlue1, DodgerBlue2
    {24, 116, 205}, {16, 78, 139}, {99, 184, 255}, {92, 172, 238},  // 205: DodgerBlue3, DodgerBlue4, SteelBlue1, SteelBlue2
    {79, 148, 205}, {54, 100, 139}, {0, 191, 255}, {0, 178, 238},  // 209: SteelBlue3, SteelBlue4, DeepSkyBlue1, DeepSkyBlue2
    {0, 154, 205}, {0, 104, 139}, {135, 206, 255}, {126, 192, 238},  // 213: DeepSkyBlue3, DeepSkyBlue4, SkyBlue1, SkyBlue2
    {108, 166, 205}, {74, 112, 139}, {176, 226, 255}, {164, 211, 238},  // 217: SkyBlue3, SkyBlue4, LightSkyBlue1, LightSkyBlue2
    {141, 182, 205}, {96, 123, 139}, {198, 226, 255}, {185, 211, 238},  // 221: LightSkyBlue3, LightSkyBlue4, SlateGray1, SlateGray2
    {159, 182, 205}, {108, 123, 139}, {202, 225, 255}, {188, 210, 238},  // 225: SlateGray3, SlateGray4, LightSteelBlue1, LightSteelBlue2
    {162, 181, 205}, {110, 123, 139}, {191, 239, 255}, {178, 223, 238},  // 229: LightSteelBlue3, LightSteelBlue4, LightBlue1, LightBlue2
    {154, 192, 205}, {104, 131, 139}, {224, 255, 255}, {209, 238, 238},  // 233: LightBlue3, LightBlue4, LightCyan1, LightCyan2
    {180, 205, 205}, {122, 139, 139}, {187, 255, 255}, {174, 238, 238},  // 237: LightCyan3, LightCyan4, PaleTurquoise1, PaleTurquoise2
    {150, 205, 205}, {102, 139, 139}, {152, 245, 255}, {142, 229, 238},  // 241: PaleTurquoise3, PaleTurquoise4, CadetBlue1, CadetBlue2
    {122, 197, 205}, {83, 134, 139}, {0, 245, 255}, {0, 229, 238},  // 245: CadetBlue3, CadetBlue4, turquoise1, turquoise2
    {0, 197, 205}, {0, 134, 139}, {0, 255, 255}, {0, 238, 238},  // 249: turquoise3, turquoise4, cyan1, cyan2
    {0, 205, 205}, {0, 139, 139}, {151, 255, 255}, {141, 238, 238},  // 253: cyan3, cyan4, DarkSlateGray1, DarkSlateGray2
    {121, 205, 205}, {82, 139, 139}, {127, 255, 212}, {118, 238, 198},  // 257: DarkSlateGray3, DarkSlateGray4, aquamarine1, aquamarine2
    {102, 205, 170}, {69, 139, 116}, {193, 255, 193}, {180, 238, 180},  // 261: aquamarine3, aquamarine4, DarkSeaGreen1, DarkSeaGreen2
    {155, 205, 155}, {105, 139, 105}, {84, 255, 159}, {78, 238, 148},  // 265: DarkSeaGreen3, DarkSeaGreen4, SeaGreen1, SeaGreen2
    {67, 205, 128}, {46, 139, 87}, {154, 255, 154}, {144, 238, 144},  // 269: SeaGreen3, SeaGreen4, PaleGreen1, PaleGreen2
    {124, 205, 124}, {84, 139, 84}, {0, 255, 127}, {0, 238, 118},  // 273: PaleGreen3, PaleGreen4, SpringGreen1, SpringGreen2
    {0, 205, 102}, {0, 139, 69}, {0, 255, 0}, {0, 238, 0},  // 277: SpringGreen3, SpringGreen4, green1, green2
    {0, 205, 0}, {0, 139, 0}, {127, 255, 0}, {118, 238, 0},  // 281: green3, green4, chartreuse1, chartreuse2
    {102, 205, 0}, {69, 139, 0}, {192, 255, 62}, {179, 238, 58},  // 285: chartreuse3, chartreuse4, OliveDrab1, OliveDrab2
    {154, 205, 50}, {105, 139, 34}, {202, 255, 112}, {188, 238, 104},  // 289: OliveDrab3, OliveDrab4, DarkOliveGreen1, DarkOliveGreen2
    {162, 205, 90}, {110, 139, 61}, {255, 246, 143}, {238, 230, 133},  // 293: DarkOliveGreen3, DarkOliveGreen4, khaki1, khaki2
    {205, 198, 115}, {139, 134, 78}, {255, 236, 139}, {238, 220, 130},  // 297: khaki3, khaki4, LightGoldenrod1, LightGoldenrod2
    {205, 190, 112}, {139, 129, 76}, {255, 255, 224}, {238, 238, 209},  // 301: LightGoldenrod3, LightGoldenrod4, LightYellow1, LightYellow2
    {205, 205, 180}, {139, 139, 122}, {255, 255, 0}, {238, 238, 0},  // 305: LightYellow3, LightYellow4, yellow1, yellow2
    {205, 205, 0}, {139, 139, 0}, {255, 215, 0}, {238, 201, 0},  // 309: yellow3, yellow4, gold1, gold2
    {205, 173, 0}, {139, 117, 0}, {255, 193, 37}, {238, 180, 34},  // 313: gold3, gold4, goldenrod1, goldenrod2
    {205, 155, 29}, {139, 105, 20}, {255, 185, 15}, {238, 173, 14},  // 317: goldenrod3, goldenrod4, DarkGoldenrod1, DarkGoldenrod2
    {205, 149, 12}, {139, 101, 8}, {255, 193, 193}, {238, 180, 180},  // 321: DarkGoldenrod3, DarkGoldenrod4, RosyBrown1, RosyBrown2
    {205, 155, 155}, {139, 105, 105}, {255, 106, 106}, {238, 99, 99},  // 325: RosyBrown3, RosyBrown4, IndianRed1, IndianRed2
    {205, 85, 85}, {139, 58, 58}, {255, 130, 71}, {238, 121, 66},  // 329: IndianRed3, IndianRed4, sienna1, sienna2
    {205, 104, 57}, {139, 71, 38}, {255, 211, 155}, {238, 197, 145},  // 333: sienna3, sienna4, burlywood1, burlywood2
    {205, 170, 125}, {139, 115, 85}, {255, 231, 186}, {238, 216, 174},  // 337: burlywood3, burlywood4, wheat1, wheat2
    {205, 186, 150}, {139, 126, 102}, {255, 165, 79}, {238, 154, 73},  // 341: wheat3, wheat4, tan1, tan2
    {205, 133, 63}, {139, 90, 43}, {255, 127, 36}, {238, 118, 33},  // 345: tan3, tan4, chocolate1, chocolate2
    {205, 102, 29}, {139, 69, 19}, {255, 48, 48}, {238, 44, 44},  // 349: chocolate3, chocolate4, firebrick1, firebrick2
    {205, 38, 38}, {139, 26, 26}, {255, 64, 64}, {238, 59, 59},  // 353: firebrick3, firebrick4, brown1, brown2
    {205, 51, 51}, {139, 35, 35}, {255, 140, 105}, {238, 130, 98},  // 357: brown3, brown4, salmon1, salmon2
    {205, 112, 84}, {139, 76, 57}, {255, 160, 122}, {238, 149, 114},  // 361: salmon3, salmon4, LightSalmon1, LightSalmon2
    {205, 129, 98}, {139, 87, 66}, {255, 165, 0}, {238, 154, 0},  // 365: LightSalmon3, LightSalmon4, orange1, orange2
    {205, 133, 0}, {139, 90, 0}, {255, 127, 0}, {238, 118, 0},  // 369: orange3, orange4, DarkOrange1, DarkOrange2
    {205, 102, 0}, {139, 69, 0}, {255, 114, 86}, {238, 106, 80},  // 373: DarkOrange3, DarkOrange4, coral1, coral2
    {205, 91, 69}, {139, 62, 47}, {255, 99, 71}, {238, 92, 66},  // 377: coral3, coral4, tomato1, tomato2
    {205, 79, 57}, {139, 54, 38}, {255, 69, 0}, {238, 64, 0},  // 381: tomato3, tomato4, OrangeRed1, OrangeRed2
    {205, 55, 0}, {139, 37, 0}, {255, 0, 0}, {238, 0, 0},  // 385: OrangeRed3, OrangeRed4, red1, red2
    {205, 0, 0}, {139, 0, 0}, {215, 7, 81}, {255, 20, 147},  // 389: red3, red4, DebianRed, DeepPink1
    {238, 18, 137}, {205, 16, 118}, {139, 10, 80}, {255, 110, 180},  // 393: DeepPink2, DeepPink3, DeepPink4, HotPink1
    {238, 106, 167}, {205, 96, 144}, {139, 58, 98}, {255, 181, 197},  // 397: HotPink2, HotPink3, HotPink4, pink1
    {238, 169, 184}, {205, 145, 158}, {139, 99, 108}, {255, 174, 185},  // 401: pink2, pink3, pink4, LightPink1
    {238, 162, 173}, {205, 140, 149}, {139, 95, 101}, {255, 130, 171},  // 405: LightPink2, LightPink3, LightPink4, PaleVioletRed1
    {238, 121, 159}, {205, 104, 137},  // 409: PaleVioletRed2, PaleVioletRed3
};
static_assert(sizeof kNamed / sizeof kNamed[0] == 398);

struct Rgbf {
  float r, g, b;
};

constexpr Rgbf kBasic[] = {
    {0.0f, 0.0f, 0.0f},       // 1 black
    {1.0f, 0.0f, 0.0f},       // 2 red
    {0.0f, 1.0f, 0.0f},       // 3 green
    {0.0f, 0.0f, 1.0f},       // 4 blue
    {1.0f, 1.0f, 0.0f},       // 5 yellow
    {1.0f, 0.0f, 1.0f},       // 6 magenta
    {0.0f, 1.0f, 1.0f},       // 7 cyan
    {0.8f, 0.8f, 0.8f},       // 8 light grey
    {0.5f, 0.5f, 0.5f},       // 9 grey
    {0.2f, 0.2f, 0.2f},       // 10 dark grey
    {1.0f, 1.0f, 1.0f},       // 11 white
    {0.862f, 0.862f, 0.862f}, // 12 very light grey
};

std::array<int, kNrPredefinedColours> make_table() {
  std::array<int, kNrPredefinedColours> codes{};
  std::size_t k = 0;
  for (const Rgbf& c : kBasic) XVRML_PACK(c.r, c.g, c.b, codes[k++]);
  for (const Rgb8& c : kNamed)
    XVRML_PACK(static_cast<float>(c.r) / 255.0f, static_cast<float>(c.g) / 255.0f,
               static_cast<float>(c.b) / 255.0f, codes[k++]);
  XVRML_PACK(0.0f, 0.0f, 0.0f, codes[k]);  // 411 black
  return codes;
}

}  // namespace

int predefined_colour_code(int entry) {
  static const std::array<int, kNrPredefinedColours> table = make_table();
  if (entry < 1) entry = 1;
  if (entry > kNrPredefinedColours) entry = kNrPredefinedColours;
  return table[static_cast<std::size_t>(entry - 1)];
}

}  // namespace zv::plotout
