// The literature references printed in the start banner. Each row cites the
// method literature a program rests on and lists the programs it belongs to
// as "|name|name|", with the names exactly as the programs pass them to
// ZVSTART (upper case): the key is matched as it stands.
#include <array>
#include <string>

#include "core/dialogue.h"
#include "core/frame.h"
#include "core/strings.h"
#include "core/units.h"

namespace zv {
namespace {

enum class Link { None, PubMed, Doi };

// Link templates: the identifier replaces "[id]".
constexpr std::string_view kPubMedTemplate = "https://pubmed.ncbi.nlm.nih.gov/[id]/";
constexpr std::string_view kDoiTemplate = "https://doi.org/[id]";

struct Reference {
  std::array<std::string_view, 5> lines;
  Link link;
  std::string_view id;
  std::string_view programs;
};

constexpr Reference kReferences[] = {
    {{"S.K. Kearsley (1989).",
      "On the orthogonal transformation used for structural comparisons.",
      "Acta Cryst. A45, 208-210.", "", ""},
     Link::Doi,
     "10.1107/S0108767388010128",
     "|PRYNOL|KELVOR|"},
    {{"W. Kabsch (1976).", "A solution for the best rotation to relate two sets of vectors.",
      "Acta Cryst. A32, 922-923.", "", ""},
     Link::Doi,
     "10.1107/S0567739476001873",
     "|PRYNOL|KELVOR|"},
    {{"W.H. Press, S.A. Teukolsky, W.T. Vetterling & B.P. Flannery (1992).",
      "Numerical Recipes in C. The Art of Scientific Computing, 2nd edition.",
      "Cambridge University Press. (Jacobi eigenvalue method; statistics)", "", ""},
     Link::None,
     "",
     "|PRYNOL|KELVOR|ZEV|"},
    {{"L. Pauling, R.B. Corey & H.R. Branson (1951).",
      "The structure of proteins: two hydrogen-bonded helical configurations",
      "of the polypeptide chain. Proc. Natl. Acad. Sci. USA 37, 205-211.", "", ""},
     Link::PubMed,
     "14816373",
     "|PRYNOL|"},
    {{"W.E. Lorensen & H.E. Cline (1987).",
      "Marching cubes: a high resolution 3D surface construction algorithm.",
      "Computer Graphics 21(4), 163-169. (The contouring of grids by cells.)", "", ""},
     Link::Doi,
     "10.1145/37402.37422",
     "|ZEV|"},
    {{"A.R. Smith (1978).", "Color gamut transform pairs.", "Computer Graphics 12(3), 12-19.", "",
      ""},
     Link::Doi,
     "10.1145/965139.807361",
     "|ZEV|"},
    {{"J.W.J. Williams (1964).", "Algorithm 232: Heapsort.",
      "Communications of the ACM 7(6), 347-348. (The ranking of hits.)", "", ""},
     Link::None,
     "",
     "|MARTUK|"},
};

std::string link_line(Link link, std::string_view id) {
  if (link == Link::None) return std::string();
  std::string s(link == Link::PubMed ? kPubMedTemplate : kDoiTemplate);
  const std::size_t at = s.find("[id]");
  s.replace(at, 4, id);
  return s;
}

}  // namespace

void PROGREFS(std::string_view prognm, int& nref) {
  nref = 0;
  const int len = LENSTR(prognm);
  if (len == 0) return;
  const std::string key = "|" + std::string(prognm.substr(0, static_cast<std::size_t>(len))) + "|";
  for (const Reference& r : kReferences) {
    if (r.programs.find(key) == std::string_view::npos) continue;
    PRTREF(nref, r.lines[0], r.lines[1], r.lines[2], r.lines[3], r.lines[4],
           link_line(r.link, r.id));
  }
}

void PRTREF(int& nref, std::string_view line1, std::string_view line2, std::string_view line3,
            std::string_view line4, std::string_view line5, std::string_view link) {
  if (nref <= 0) {
    TXTOUT(" Reference(s) for this program:");
    nref = 0;
  }
  if (LENSTR(line1) == 0) return;
  ++nref;
  (void)unit_write_fmt(kUnitStdout, "(/,' * ',I2,' * ',A)", {nref, rtrim(line1)});
  for (std::string_view l : {line2, line3, line4, line5, link})
    if (LENSTR(l) > 0) (void)unit_write_fmt(kUnitStdout, "(8X,A)", {rtrim(l)});
}

}  // namespace zv
