// prynol: which PDB lines are CA residues, what their columns give, and how
// reading a whole file (plain or gzipped) ends.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>
#include <algorithm>

#include "core/units.h"
#include "text/read.h"
#include "pdb_reader.h"

namespace prynol {
namespace {

// An ATOM line as the PDB archive writes it (80 columns).
const std::string kAtom =
    "ATOM      2  CA  MET A   1      27.340  24.430   2.614  1.00  9.67           C  ";

std::string with_columns(std::string line, int first, std::string_view text) {
  line.replace(static_cast<std::size_t>(first - 1), text.size(), text);
  return line;
}

TEST(PrynolParseCaLine, WhichLinesCount) {
  struct Case {
    const char* what;
    std::string line;
    CaLine want;
    const char* label = "";
    float x = 0, y = 0, z = 0;
  } cases[] = {
      {"ATOM CA", kAtom, CaLine::Accepted, "A1", 27.34f, 24.43f, 2.614f},
      {"HETATM CA (selenomethionine)", with_columns(kAtom, 1, "HETATM"), CaLine::Accepted, "A1",
       27.34f, 24.43f, 2.614f},
      {"calcium ion: atom name 'CA  '", with_columns(kAtom, 13, "CA  "), CaLine::Other},
      {"CB", with_columns(kAtom, 13, " CB "), CaLine::Other},
      {"lower-case record", with_columns(kAtom, 1, "atom  "), CaLine::Other},
      {"ANISOU", with_columns(kAtom, 1, "ANISOU"), CaLine::Other},
      {"HETATM without its last blank", with_columns(kAtom, 1, "HETAT "), CaLine::Other},
      {"empty line", "", CaLine::Other},
      {"record name only", "ATOM", CaLine::Other},
      {"END", "END", CaLine::Other},
      {"alternate location", with_columns(kAtom, 17, "B"), CaLine::Accepted, "A1", 27.34f, 24.43f,
       2.614f},
      {"insertion code", with_columns(kAtom, 23, " 12A"), CaLine::Accepted, "A12A", 27.34f,
       24.43f, 2.614f},
      {"no chain", with_columns(kAtom, 22, " "), CaLine::Accepted, "1", 27.34f, 24.43f, 2.614f},
      {"four-digit residue number, chain and code", with_columns(kAtom, 22, "Z9999Q"),
       CaLine::Accepted, "Z9999Q", 27.34f, 24.43f, 2.614f},
      {"garbage in columns 73-80 and beyond", kAtom.substr(0, 72) + "garbage!xyz,,,",
       CaLine::Accepted, "A1", 27.34f, 24.43f, 2.614f},
      {"line ends after the coordinates", kAtom.substr(0, 54), CaLine::Accepted, "A1", 27.34f,
       24.43f, 2.614f},
      {"line ends inside z: the rest reads as blanks", kAtom.substr(0, 52), CaLine::Accepted, "A1",
       27.34f, 24.43f, 2.6f},
      {"line ends before the coordinates: blank fields read as 0", kAtom.substr(0, 30),
       CaLine::Accepted, "A1", 0.0f, 0.0f, 0.0f},
      {"line ends in the atom name", "ATOM      2  CA", CaLine::Accepted, "", 0.0f, 0.0f, 0.0f},
      {"no decimal point: two implied decimals", with_columns(kAtom, 31, "    1234"),
       CaLine::Accepted, "A1", 12.34f, 24.43f, 2.614f},
      {"exponent", with_columns(kAtom, 31, " 1.5E+01"), CaLine::Accepted, "A1", 15.0f, 24.43f,
       2.614f},
      {"letters in x", with_columns(kAtom, 31, "  27.3x0"), CaLine::BadCoordinates},
      {"two points in y", with_columns(kAtom, 39, "  24.4.3"), CaLine::BadCoordinates},
      {"comma in z", with_columns(kAtom, 47, "   2,614"), CaLine::BadCoordinates},
      {"a carriage return inside the coordinates", with_columns(kAtom, 47, "   2.6\r4"),
       CaLine::BadCoordinates},
      {"coordinates wider than their columns run together",
       with_columns(kAtom, 31, "-1234.567-1234.567-1234.567"), CaLine::BadCoordinates},
  };
  for (const Case& c : cases) {
    std::string label = "old";
    float xyz[3] = {-1, -1, -1};
    const CaLine got = parse_ca_line(c.line, label, xyz);
    EXPECT_EQ(got, c.want) << c.what;
    if (got == CaLine::Accepted && c.want == CaLine::Accepted) {
      EXPECT_EQ(label, c.label) << c.what;
      EXPECT_FLOAT_EQ(xyz[0], c.x) << c.what;
      EXPECT_FLOAT_EQ(xyz[1], c.y) << c.what;
      EXPECT_FLOAT_EQ(xyz[2], c.z) << c.what;
    }
  }
}

// Coordinates written as "%8.3f" writes them are read without the general
// formatted read; whatever columns 31-54 hold, the values (to the bit) and
// the verdict must be those of the formatted read (3F8.2) of the columns.
TEST(PrynolParseCaLine, CoordinatesAsTheFormattedReadGivesThem) {
  std::vector<std::string> fields = {
      "  27.340", " -27.340", "   0.000", "  -0.000", "  +1.500", "-999.999", "9999.999",
      "99999.99", "-9999.99", "    123.", "   -12. ", "    -.5 ", "      .5", ".1234567",
      "0.000001", "  1 2.34", "  12.3  ", "        ", "    1234", " 1.5E+01", "  1.5d-1",
      "  27.3x0", "  24.4.3", "   2,614", "  - 1.00", "--1.0000", "       -", "       .",
      "   +.   ", "12345678", "1.0e+38 ", "  2.675 ", "0.1     ", "  -0.005"};
  unsigned seed = 2024;
  auto rnd = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
  char buf[32];
  for (int i = 0; i < 3000; ++i) {
    const double v = (static_cast<double>(rnd() % 20000000) - 10000000.0) / 1000.0 / (1 + i % 3);
    std::snprintf(buf, sizeof buf, i % 4 == 0 ? "%8.2f" : i % 4 == 1 ? "%8.1f" : "%8.3f", v);
    fields.push_back(std::string(buf).substr(0, 8));
  }
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::string cols = fields[i] + fields[(i * 7 + 1) % fields.size()] +
                             fields[(i * 13 + 2) % fields.size()];
    float want[3] = {0, 0, 0};
    const bool readable =
        zv::format_read_line("(3f8.2)", cols, {want[0], want[1], want[2]}) == 0;
    std::string label;
    float got[3] = {-1, -1, -1};
    const CaLine kind = parse_ca_line(with_columns(kAtom, 31, cols), label, got);
    ASSERT_EQ(kind, readable ? CaLine::Accepted : CaLine::BadCoordinates) << "[" << cols << "]";
    if (!readable) continue;
    for (int k = 0; k < 3; ++k) {
      ASSERT_EQ(std::signbit(got[k]), std::signbit(want[k])) << "[" << cols << "] " << k;
      ASSERT_EQ(got[k], want[k]) << "[" << cols << "] " << k;
    }
  }
}

// A line longer than the 256-column buffer is cut: nothing past column 256
// is seen, and nothing crashes.
TEST(PrynolParseCaLine, LongAndBinaryLines) {
  std::string label;
  float xyz[3];
  EXPECT_EQ(parse_ca_line(kAtom + std::string(100000, 'x'), label, xyz), CaLine::Accepted);
  std::string junk(300, '\0');
  for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 37);
  EXPECT_EQ(parse_ca_line(junk, label, xyz), CaLine::Other);
  EXPECT_EQ(parse_ca_line(with_columns(kAtom, 31, std::string(24, '\xff')), label, xyz),
            CaLine::BadCoordinates);
}

class PrynolReadPdb : public ::testing::Test {
 protected:
  std::filesystem::path dir_;
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("prynol_reader_test." + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    (void)zv::unit_close(kUnit);
    std::filesystem::remove_all(dir_);
  }
  std::string write_file(const std::string& name, const std::string& text) {
    const std::string path = (dir_ / name).string();
    if (name.ends_with(".gz")) {
      gzFile gz = gzopen(path.c_str(), "wb");
      gzwrite(gz, text.data(), static_cast<unsigned>(text.size()));
      gzclose(gz);
    } else {
      std::ofstream(path, std::ios::binary) << text;
    }
    return path;
  }
  ReadResult read(const std::string& path, Molecule& mol) {
    EXPECT_EQ(zv::unit_open(kUnit, path, zv::UnitMode::Read), 0);
    return read_pdb(kUnit, mol);
  }
};

std::string ca_lines(int n, std::string_view eol = "\n") {
  std::string text;
  for (int i = 1; i <= n; ++i) {
    char line[96];
    std::snprintf(line, sizeof line, "ATOM  %5d  CA  ALA A%4d    %8.3f%8.3f%8.3f  1.00 10.00",
                  i, i % 10000, 1.5 * (i % 1000), -0.5 * (i % 1000), 0.25 * i);
    text += line;
    text += eol;
  }
  return text;
}

TEST_F(PrynolReadPdb, PlainGzipAndCrlfReadAlike) {
  const std::string text = "HEADER    TEST\nREMARK\n" + ca_lines(7) + "HETATM 9999 CA    CA A 501"
                           "      1.000   2.000   3.000  1.00 10.00          CA\nEND\n";
  for (const std::string& path :
       {write_file("a.pdb", text), write_file("a.pdb.gz", text), write_file("crlf.pdb", [&] {
          std::string t = "HEADER    TEST\r\n" + ca_lines(7, "\r\n");
          return t;
        }())}) {
    Molecule mol;
    const ReadResult r = read(path, mol);
    EXPECT_EQ(r.status, ReadStatus::Ok) << path;
    ASSERT_EQ(mol.size(), 7) << path;
    EXPECT_EQ(mol.labels[6], "A7");
    EXPECT_FLOAT_EQ(mol.xyz[3 * 6 + 2], 1.75f);
    EXPECT_EQ(mol.rms_alpha[3], kRmsNotDone);
    EXPECT_EQ(mol.type[3], kUnassigned);
  }
}

TEST_F(PrynolReadPdb, TheLimitIsReportedNotOverrun) {
  {
    Molecule mol;
    EXPECT_EQ(read(write_file("max.pdb.gz", ca_lines(kMaxResidues)), mol).status, ReadStatus::Ok);
    EXPECT_EQ(mol.size(), kMaxResidues);
  }
  {
    Molecule mol;
    const ReadResult r = read(write_file("over.pdb.gz", "REMARK\n" + ca_lines(kMaxResidues + 5)),
                              mol);
    EXPECT_EQ(r.status, ReadStatus::TooManyResidues);
    EXPECT_EQ(r.line_number, kMaxResidues + 2);
    EXPECT_EQ(mol.size(), kMaxResidues);
  }
  {
    // The limit is tested before the coordinates are read.
    Molecule mol;
    const ReadResult r = read(
        write_file("overbad.pdb", ca_lines(kMaxResidues) +
                                      "ATOM      1  CA  ALA A   1      xx.xxx  24.430   2.614\n"),
        mol);
    EXPECT_EQ(r.status, ReadStatus::TooManyResidues);
  }
}

TEST_F(PrynolReadPdb, UnreadableCoordinatesStopAtTheirLine) {
  Molecule mol;
  const ReadResult r = read(
      write_file("bad.pdb", ca_lines(3) + "ATOM      4  CA  ALA A   4      27.340  24.43O   2.614\n" +
                                ca_lines(3)),
      mol);
  EXPECT_EQ(r.status, ReadStatus::BadCoordinates);
  EXPECT_EQ(r.line_number, 4);
  EXPECT_EQ(mol.size(), 3);
}

TEST_F(PrynolReadPdb, EmptyFileAndNoNewlineAtEnd) {
  Molecule mol;
  EXPECT_EQ(read(write_file("empty.pdb", ""), mol).status, ReadStatus::Ok);
  EXPECT_EQ(mol.size(), 0);
  std::string text = ca_lines(2);
  text.pop_back();
  EXPECT_EQ(read(write_file("noeol.pdb", text), mol).status, ReadStatus::Ok);
  EXPECT_EQ(mol.size(), 2);
}


// A carriage return among the 256 columns read ends a record as a line feed
// does (CR LF is one line end); the text after it is the next record. Past
// column 256 the rest of the line is skipped, carriage returns included.
TEST_F(PrynolReadPdb, CarriageReturnsEndRecords) {
  const std::string atom = kAtom;
  struct Case {
    const char* what;
    std::string text;
    int residues;
    ReadStatus status = ReadStatus::Ok;
  } cases[] = {
      {"CR LF line ends", atom + "\r\n" + atom + "\r\n", 2},
      {"lone CR line ends", atom + "\r" + atom + "\r" + atom, 3},
      {"CR inside the coordinates: y and z read as blanks, the rest is a record",
       atom.substr(0, 40) + "\r" + atom + "\n", 2},
      {"CR CR LF: an empty record between", atom + "\r\r\n" + atom + "\n", 2},
      {"CR as the 256th column", std::string(255, 'x') + "\r" + atom + "\n", 1},
      {"CR as the 257th column is skipped with the rest",
       std::string(256, 'x') + "\r" + atom + "\n" + atom + "\n", 1},
      {"CR after a very long line", atom + std::string(10000, 'y') + "\r" + atom + "\n", 1},
      {"a CR record with bad coordinates stops the reading",
       atom + "\r" + atom.substr(0, 35) + ",\n" + atom + "\n", 1, ReadStatus::BadCoordinates},
  };
  for (const Case& c : cases) {
    Molecule mol;
    const ReadResult r = read(write_file("cr.pdb", c.text), mol);
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_EQ(mol.size(), c.residues) << c.what;
    (void)zv::unit_close(kUnit);
  }
  Molecule mol;
  (void)read(write_file("cr.pdb", atom.substr(0, 42) + "\r" + atom + "\n"), mol);
  ASSERT_EQ(mol.size(), 2);
  EXPECT_FLOAT_EQ(mol.xyz[0], 27.34f);
  EXPECT_FLOAT_EQ(mol.xyz[1], 0.24f);  // "  24" and blanks: two implied decimals
  EXPECT_FLOAT_EQ(mol.xyz[2], 0.0f);
  EXPECT_FLOAT_EQ(mol.xyz[3], 27.34f);
}

// Alternate locations and models: which CA lines become residues.
TEST_F(PrynolReadPdb, AlternateLocationsAndModels) {
  // A CA line of residue `res` (columns 22-27) with the indicator `alt`.
  auto ca = [](char alt, std::string_view res, float x = 1.0f) {
    char line[96];
    std::snprintf(line, sizeof line, "ATOM      1  CA %cALA %s    %8.3f   2.000   3.000  1.00 10.00\n",
                  alt, std::string(res).c_str(), x);
    return std::string(line);
  };
  struct Case {
    const char* what;
    std::string text;
    std::vector<std::string> labels;
    std::vector<float> x = {};
  } cases[] = {
      {"A and B of one residue: the first kept", ca(' ', "A   1") + ca('A', "A   2", 2) +
       ca('B', "A   2", 9) + ca(' ', "A   3"), {"A1", "A2", "A3"}, {1, 2, 1}},
      {"B before A: the first in the file kept", ca('B', "A   2", 9) + ca('A', "A   2", 2),
       {"A2"}, {9}},
      {"a block of A then a block of B", ca('A', "A  10") + ca('A', "A  11") + ca('B', "A  10") +
       ca('B', "A  11") + ca(' ', "A  12"), {"A10", "A11", "A12"}},
      {"three conformations", ca('A', "A   5") + ca('B', "A   5") + ca('C', "A   5"), {"A5"}},
      {"blank indicators: a repeated label is two residues", ca(' ', "A   7") + ca(' ', "A   7"),
       {"A7", "A7"}},
      {"a blank indicator and then A: both kept", ca(' ', "A   7") + ca('A', "A   7"),
       {"A7", "A7"}},
      {"same number, other insertion code", ca('A', "A  52 ") + ca('B', "A  52A"),
       {"A52", "A52A"}},
      {"same number, other chain", ca('A', "A  52") + ca('B', "B  52"), {"A52", "B52"}},
      {"first model only", "MODEL        1\n" + ca(' ', "A   1") + ca(' ', "A   2") +
       "ENDMDL\nMODEL        2\n" + ca(' ', "A   1") + ca(' ', "A   2") + "ENDMDL\nEND\n",
       {"A1", "A2"}},
      {"MODEL records without ENDMDL: read whole", "MODEL        1\n" + ca(' ', "A   1") +
       "MODEL        2\n" + ca(' ', "A   1"), {"A1", "A1"}},
      {"ENDMDL in lower case is no end", ca(' ', "A   1") + "endmdl\n" + ca(' ', "A   2"),
       {"A1", "A2"}},
  };
  for (const Case& c : cases) {
    Molecule mol;
    const ReadResult r = read(write_file("alt.pdb", c.text), mol);
    EXPECT_EQ(r.status, ReadStatus::Ok) << c.what;
    EXPECT_EQ(std::vector<std::string>(mol.labels.begin(), mol.labels.begin() + mol.size()),
              c.labels)
        << c.what;
    for (std::size_t i = 0; i < c.x.size() && i < static_cast<std::size_t>(mol.size()); ++i)
      EXPECT_FLOAT_EQ(mol.xyz[3 * i], c.x[i]) << c.what << " residue " << i;
    (void)zv::unit_close(kUnit);
  }
  // A further conformation is no residue: not counted against the limit, its
  // coordinates not read.
  Molecule mol;
  std::string text = ca_lines(kMaxResidues - 1) + ca('A', "Z   1") + ca('B', "Z   1") +
                     "ATOM      1  CA CALA Z   1      xx.xxx   2.000   3.000\n";
  EXPECT_EQ(read(write_file("altmax.pdb", text), mol).status, ReadStatus::Ok);
  EXPECT_EQ(mol.size(), kMaxResidues);
}

// Real entries: 1g1j has three residues of each chain in two conformations
// (91 CA lines), 1ifc every residue (262), 1de3 is an NMR ensemble of 20
// models of 150 residues; the reading keeps one residue per label of the
// first model.
TEST_F(PrynolReadPdb, RealEntries) {
  struct Case {
    const char* entry;
    int residues;
  } cases[] = {{"1g1j", 86}, {"1ifc", 131}, {"1de3", 150}};
  for (const Case& c : cases) {
    const std::string path = std::string(ZV_SHARED_DIR) + "/data/pdb/" + c.entry + ".pdb.gz";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " missing";
    Molecule mol;
    ASSERT_EQ(read(path, mol).status, ReadStatus::Ok) << c.entry;
    std::vector<std::string> labels(mol.labels.begin(), mol.labels.begin() + mol.size());
    std::vector<std::string> unique = labels;
    std::sort(unique.begin(), unique.end());
    EXPECT_EQ(std::unique(unique.begin(), unique.end()), unique.end()) << c.entry;
    EXPECT_EQ(mol.size(), c.residues) << c.entry;
    (void)zv::unit_close(kUnit);
  }
}

}  // namespace
}  // namespace prynol
