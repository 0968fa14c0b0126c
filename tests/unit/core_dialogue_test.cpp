// The dialogue routines run in-process with units 5 and 6 on memory streams.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "core/dialogue.h"
#include "core/strings.h"
#include "core/units.h"
#include "core_session.h"

using zvtest::Session;

namespace {

// ------------------------------------------------------- prompt building

struct PromptCase {
  const char* what;
  std::string (*write)();
  const char* expected;
};

std::string out_of(void (*f)()) {
  Session s("");
  f();
  return s.out();
}

TEST(DialoguePrompt, WriteOnlyLayouts) {
  const PromptCase cases[] = {
      {"one integer in I8", [] { return out_of([] { (void)zv::ivaluo(" Value :", 10); }); },
       " Value : (      10) \n"},
      {"three integers", [] {
         return out_of([] { (void)zv::ivaluo(" N :", std::array<int, 3>{1, -20, 300}); });
       },
       " N : (       1      -20      300) \n"},
      {"I8 overflow shows asterisks", [] {
         return out_of([] { (void)zv::ivaluo(" N :", -123456789); });
       },
       " N : (********) \n"},
      {"I11", [] { return out_of([] { (void)zv::jvaluo(" Big :", -1234567890); }); },
       " Big : (-1234567890) \n"},
      {"F8.3", [] { return out_of([] { (void)zv::fvaluo(" X :", 1.5f); }); },
       " X : (   1.500) \n"},
      {"F8.3 overflow falls back to G layout for the whole line", [] {
         return out_of([] { (void)zv::fvaluo(" X :", std::array<float, 2>{1.5f, 123456.0f}); });
       },
       " X : (      1.500  123456.000) \n"},
      {"F8.3 overflow of a large value: G layout in E form", [] {
         return out_of([] { (void)zv::fvaluo(" X :", std::array<float, 2>{-1.0f, 2.5e7f}); });
       },
       " X : (     -1.000   2.500E+07) \n"},
      {"F8.3 at its limit stays F", [] {
         return out_of([] { (void)zv::fvaluo(" X :", std::array<float, 2>{9999.999f, -999.999f}); });
       },
       " X : (9999.999 -999.999) \n"},
      {"E11.3", [] { return out_of([] { (void)zv::rvaluo(" R :", 1.5f); }); },
       " R : (  1.500E+00) \n"},
      {"gvaluo switches at 0.1 and 1000000", [] {
         return out_of([] {
           (void)zv::gvaluo(" G :", std::array<float, 4>{0.05f, 2000000.0f, 0.1f, 1000000.0f});
         });
       },
       " G : (  5.000E-02   2.000E+06       0.100 1000000.000) \n"},
      {"gvaluo shows zero and small negatives in E", [] {
         return out_of([] { (void)zv::gvaluo(" G :", std::array<float, 2>{0.0f, -0.05f}); });
       },
       " G : (  0.000E+00  -5.000E-02) \n"},
      {"textuo", [] { return out_of([] { (void)zv::textuo(" Name :", "abc  "); }); },
       " Name : (abc) \n"},
      {"textuo with a blank text", [] { return out_of([] { (void)zv::textuo(" Name :", ""); }); },
       " Name : () \n"},
      {"blank prompt counts as one blank", [] { return out_of([] { (void)zv::ivaluo("", 5); }); },
       "  (       5) \n"},
      {"prompt keeps its leading blanks, drops trailing ones", [] {
         return out_of([] { (void)zv::textuo("   P ?   ", "x"); });
       },
       "   P ? (x) \n"},
      {"asciuo separates items by one blank, blank items vanish", [] {
         return out_of([] {
           (void)zv::asciuo(" Codes :", std::array<std::string, 3>{"A", "", "BC"}, 4);
         });
       },
       " Codes : ( A BC) \n"},
      {"asciuo cuts items to their length", [] {
         return out_of([] {
           (void)zv::asciuo(" Codes :", std::array<std::string, 2>{"ABCDEF", "X"}, 3);
         });
       },
       " Codes : ( ABC X) \n"},
      {"no values", [] { return out_of([] { (void)zv::ivaluo(" N :", std::span<const int>()); }); },
       " ivaluo -- i/o error no variables\n"},
      {"too many values for the buffer", [] {
         return out_of([] { (void)zv::ivaluo(" N :", std::vector<int>(227, 1)); });
       },
       " ivaluo -- i/o error buffer overflow\n"},
      {"text too long for the buffer", [] {
         return out_of([] { (void)zv::textuo(" T :", std::string(2100, 'x')); });
       },
       " textuo -- i/o error buffer overflow\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.write(), c.expected) << c.what;
}

TEST(DialoguePrompt, StatusOfWriteOnlyRoutines) {
  Session s("");
  EXPECT_EQ(zv::ivaluo(" N :", std::span<const int>()), -3);
  EXPECT_EQ(zv::ivaluo(" N :", std::vector<int>(227, 1)), -2);
  // 226 values of 9 columns fit next to a four-character prompt (2034 <= 2040).
  EXPECT_EQ(zv::ivaluo(" N :", std::vector<int>(226, 1)), 0);
  EXPECT_EQ(zv::textuo(" T :", std::string(2040, 'x')), 0);
  EXPECT_EQ(zv::textuo(" T :", std::string(2041, 'x')), -2);
  // asciuo: line so far + declared item length + 2 against 2044 - L.
  // " A : (" is 6 columns, " A : ( A" 8; 2044 - L is 2040.
  const std::array<std::string, 2> items{"A", "B"};
  EXPECT_EQ(zv::asciuo(" A :", items, 2030), 0);   // 8 + 2030 + 2 = 2040
  EXPECT_EQ(zv::asciuo(" A :", items, 2031), -2);  // the second item: 2041
  EXPECT_EQ(zv::asciuo(" A :", std::span(items).first(1), 2032), 0);
  EXPECT_EQ(zv::asciuo(" A :", items, 2147483647), -2);
}

// --------------------------------------------------------------- wrapping

// The pieces of a wrapped line: the written lines, without their line feed.
std::vector<std::string> lines_of(const std::string& out) {
  std::vector<std::string> v;
  std::size_t a = 0;
  while (a < out.size()) {
    std::size_t nl = out.find('\n', a);
    if (nl == std::string::npos) {
      v.push_back(out.substr(a) + "<no LF>");
      break;
    }
    v.push_back(out.substr(a, nl - a));
    a = nl + 1;
  }
  return v;
}

TEST(DialogueWrap, PiecesOf75Columns) {
  struct Case {
    const char* what;
    std::string text;  // text2 of textuo("P", text)
    std::vector<std::string> lines;
  };
  const std::string x100(100, 'x');
  const Case cases[] = {
      {"exactly 75 columns is one line", std::string(70, 'x'), {"P (" + std::string(70, 'x') + ") "}},
      {"76 columns: no break character, hard cut at 75",
       std::string(71, 'x'),
       {"P (" + std::string(71, 'x') + ")", "   "}},
      {"no break character: hard cut at 75",
       x100,
       {"P (" + std::string(72, 'x'), "  " + std::string(28, 'x') + ") "}},
      {"the last break among the columns 41 to 75 ends the piece",
       std::string(50, 'a') + "," + std::string(10, 'b') + "-" + std::string(30, 'c'),
       {"P (" + std::string(50, 'a') + "," + std::string(10, 'b') + "-",
        "  " + std::string(30, 'c') + ") "}},
      {"a break before column 41 does not count",
       std::string(30, 'a') + " " + std::string(70, 'b'),
       {"P (" + std::string(30, 'a') + " " + std::string(41, 'b'), "  " + std::string(29, 'b') + ") "}},
      {"every break character counts",
       std::string(60, 'a') + "}" + std::string(40, 'b'),
       {"P (" + std::string(60, 'a') + "}", "  " + std::string(40, 'b') + ") "}},
      {"a break in column 41 counts",
       std::string(37, 'a') + ";" + std::string(60, 'b'),
       {"P (" + std::string(37, 'a') + ";", "  " + std::string(60, 'b') + ") "}},
  };
  for (const Case& c : cases) {
    Session s("");
    (void)zv::textuo("P", c.text);
    EXPECT_EQ(lines_of(s.out()), c.lines) << c.what;
  }
}

TEST(DialogueWrap, LongLineInSeveralPiecesKeepsEveryCharacter) {
  // A prompt of 2000 characters: every piece at most 75 columns (plus the
  // indent), later pieces indented by two, and nothing lost.
  std::string text;
  for (int i = 0; i < 200; ++i) text += "word" + std::to_string(i) + (i % 7 == 0 ? ")" : " ");
  Session s("");
  (void)zv::textuo(" Q :", text);
  const auto lines = lines_of(s.out());
  ASSERT_GT(lines.size(), 10u);
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string l = lines[i];
    if (i > 0) {
      ASSERT_EQ(l.substr(0, 2), "  ");
      l = l.substr(2);
    }
    EXPECT_LE(l.size(), 75u);
    joined += l;
  }
  EXPECT_EQ(joined, " Q : (" + std::string(zv::rtrim(text)) + ") ");
}

TEST(DialogueWrap, InteractiveQuestionLeavesTheCursorOnTheLastPiece) {
  {
    Session s("\n", {"-I"});
    int v = 10;
    EXPECT_EQ(zv::ivalii(" Value ?", v), 0);
    EXPECT_EQ(s.out(), " Value ? (      10) ");
    EXPECT_EQ(v, 10);
  }
  {
    Session s("\n", {"-B"});
    int v = 10;
    EXPECT_EQ(zv::ivalii(" Value ?", v), 0);
    EXPECT_EQ(s.out(), " Value ? (      10) \n");
  }
  {
    Session s("\n", {"-I"});
    std::string t(100, 'x');
    (void)zv::textii("P", t, 100);
    EXPECT_EQ(s.out(), "P (" + std::string(72, 'x') + "\n  " + std::string(28, 'x') + ") ");
  }
  {
    // Write-only lines end their line in every mode.
    Session s("", {"-I"});
    (void)zv::ivaluo(" Value :", 10);
    EXPECT_EQ(s.out(), " Value : (      10) \n");
  }
}

// ---------------------------------------------------------- answer rules

TEST(DialogueAnswer, IntegerAnswers) {
  struct Case {
    const char* answer;
    std::array<int, 3> expected;
    int status;  // 0, -2, or 1 for "some positive number"
  };
  const Case cases[] = {
      {"5,,7\n", {5, 2, 7}, 0},
      {"5 /\n", {5, 2, 3}, 0},
      {"2*4\n", {4, 4, 3}, 0},
      {"\n", {1, 2, 3}, 0},
      {"     \n", {1, 2, 3}, 0},
      {"9\n", {9, 2, 3}, 0},       // fewer items than asked
      {"5,\n", {5, 2, 3}, 0},      // a trailing comma
      {",,8\n", {1, 2, 8}, 0},
      {"2*,9\n", {1, 2, 9}, 0},    // r* keeps r values
      {"7 8 9 10\n", {7, 8, 9}, 0},
      {" -4 , +5 6\n", {-4, 5, 6}, 0},
      {"5\r\n", {5, 2, 3}, 0},     // CRLF line end
      {"x\n", {1, 2, 3}, 1},
      {"7 x\n", {7, 2, 3}, 1},     // values before the bad item are kept
      {"1.5\n", {1, 2, 3}, 1},
      {"99999999999\n", {1, 2, 3}, 1},
  };
  for (const Case& c : cases) {
    Session s(c.answer);
    std::array<int, 3> v{1, 2, 3};
    const int st = zv::ivalii(" Three ?", v);
    EXPECT_EQ(v, c.expected) << c.answer;
    const std::string prompt = " Three ? (       1        2        3) \n";
    if (c.status == 0) {
      EXPECT_EQ(st, 0) << c.answer;
      EXPECT_EQ(s.out(), prompt) << c.answer;
    } else {
      EXPECT_GT(st, 0) << c.answer;
      const std::string out = s.out();
      EXPECT_EQ(out.substr(0, prompt.size() + 23), prompt + " ivalii -- i/o error = ") << c.answer;
      EXPECT_EQ(out.substr(out.size() - 11), " (unknown)\n") << c.answer;
    }
  }
}

TEST(DialogueAnswer, TooLongAnswerIsRefused) {
  {
    Session s(std::string(2049, '1') + "\n");
    int v = 3;
    EXPECT_EQ(zv::ivalii(" N ?", v), -2);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(s.out(), " N ? (       3) \n ivalii -- i/o error buffer overflow\n");
  }
  {
    // 2048 characters are accepted; trailing blanks do not count.
    Session s("7" + std::string(2047, ' ') + std::string(10, ' ') + "\n");
    int v = 3;
    EXPECT_EQ(zv::ivalii(" N ?", v), 0);
    EXPECT_EQ(v, 7);
  }
  {
    Session s(std::string(3000, 'a') + "\n");
    std::string t = "old";
    EXPECT_EQ(zv::textii(" T ?", t, 10), -2);
    EXPECT_EQ(t, "old");
    EXPECT_NE(s.out().find(" textii -- i/o error buffer overflow\n"), std::string::npos);
  }
}

TEST(DialogueAnswer, EndOfInputKeepsEveryLaterDefault) {
  Session s("5\n");
  int a = 1, b = 2;
  float f = 1.5f;
  std::string t = "keep";
  EXPECT_EQ(zv::ivalii(" A ?", a), 0);
  EXPECT_FALSE(zv::input_exhausted());
  EXPECT_EQ(zv::ivalii(" B ?", b), 0);
  EXPECT_TRUE(zv::input_exhausted());
  EXPECT_EQ(zv::fvalii(" F ?", f), 0);
  EXPECT_EQ(zv::textii(" T ?", t, 10), 0);
  EXPECT_FALSE(zv::YESNO("Sure"));
  EXPECT_EQ(a, 5);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(f, 1.5f);
  EXPECT_EQ(t, "keep");
  EXPECT_TRUE(zv::input_exhausted());
}

TEST(DialogueAnswer, ReadErrorIsReportedOnceThenEndOfInput) {
  // Standard input that cannot be read (a directory): the first question
  // reports the error number; every later one meets end of input, so a
  // command loop ends instead of asking for ever.
  std::FILE* dir = std::fopen("/", "r");
  ASSERT_NE(dir, nullptr);
  {
    Session s("");
    zv::unit_bind_stream(zv::kUnitStdin, dir);
    int v = 4;
    EXPECT_GT(zv::ivalii(" N ?", v), 0);
    EXPECT_TRUE(zv::input_exhausted());
    EXPECT_EQ(zv::ivalii(" N ?", v), 0);
    EXPECT_EQ(v, 4);
    const std::string out = s.out();
    EXPECT_EQ(out.substr(0, 40), " N ? (       4) \n ivalii -- i/o error = ");
    EXPECT_EQ(out.substr(out.size() - 28), " (unknown)\n N ? (       4) \n");
  }
  std::fclose(dir);
}

TEST(DialogueAnswer, LastLineWithoutLineFeedIsAnAnswer) {
  Session s("quit");
  std::string t = "x";
  (void)zv::textii(" Command ?", t, 10);
  EXPECT_EQ(t, "quit");
  EXPECT_FALSE(zv::input_exhausted());
  (void)zv::textii(" Command ?", t, 10);
  EXPECT_EQ(t, "quit");
  EXPECT_TRUE(zv::input_exhausted());
}

TEST(DialogueAnswer, RealAnswers) {
  struct Case {
    const char* answer;
    std::array<float, 2> expected;
  };
  const Case cases[] = {
      {"1.5 2e1\n", {1.5f, 20.0f}},
      {"1d2,\n", {100.0f, -0.25f}},
      {"3\n", {3.0f, -0.25f}},
      {", .5\n", {1.0f, 0.5f}},
      {"2*-1\n", {-1.0f, -1.0f}},
      {"\n", {1.0f, -0.25f}},
  };
  for (const Case& c : cases) {
    Session s(c.answer);
    std::array<float, 2> v{1.0f, -0.25f};
    EXPECT_EQ(zv::fvalii(" R ?", v), 0) << c.answer;
    EXPECT_EQ(v, c.expected) << c.answer;
    EXPECT_EQ(s.out(), " R ? (   1.000   -0.250) \n");
  }
}

TEST(DialogueAnswer, TextAnswers) {
  struct Case {
    const char* answer;
    int len;
    const char* expected;
  };
  const Case cases[] = {
      {"new\n", 10, "new"},
      {"  two blanks\n", 20, "  two blanks"},
      {",ignored\n", 10, "old text"},
      {"\n", 10, "old text"},
      {"   \n", 10, "old text"},
      {"Mixed Case, commas\n", 40, "Mixed Case, commas"},
      {"abcdefghijkl\n", 5, "abcde"},
      {"abc   \n", 10, "abc"},
      {"", 10, "old text"},
  };
  for (const Case& c : cases) {
    Session s(c.answer);
    std::string t = "old text";
    EXPECT_EQ(zv::textii(" Text ?", t, c.len), 0) << c.answer;
    EXPECT_EQ(t, c.expected) << c.answer;
    EXPECT_EQ(s.out(), c.len >= 8 ? " Text ? (old text) \n" : " Text ? (old t) \n");
  }
  {
    // A default longer than the field shows and keeps only the field.
    Session s("\n");
    std::string t = "abc defgh";
    EXPECT_EQ(zv::textii(" Text ?", t, 5), 0);
    EXPECT_EQ(t, "abc d");
    EXPECT_EQ(s.out(), " Text ? (abc d) \n");
  }
}

TEST(DialogueAnswer, AsciiFields) {
  struct Case {
    const char* answer;
    std::array<std::string, 3> expected;
  };
  const Case cases[] = {
      {"AB  CDE FG\n", {"AB", "CDE", "FG"}},
      {"    ,XX XYZ\n", {"ALA", "GLY", "XYZ"}},
      {"X\n", {"X", "GLY", "SER"}},
      {"\n", {"ALA", "GLY", "SER"}},
      {"ABCDEFGHIJKL\n", {"ABC", "EFG", "IJK"}},
      {" B  C\n", {" B", "C", "SER"}},
  };
  for (const Case& c : cases) {
    Session s(c.answer);
    std::array<std::string, 3> items{"ALA", "GLY", "SER"};
    EXPECT_EQ(zv::asciii(" Codes ?", items, 3), 0) << c.answer;
    EXPECT_EQ(items, c.expected) << c.answer;
    EXPECT_EQ(s.out(), " Codes ? ( ALA GLY SER) \n");
  }
}

TEST(DialogueAnswer, YesNo) {
  struct Case {
    const char* answer;
    bool yes;
  };
  const Case cases[] = {
      {"\n", false}, {"y\n", true},  {"Y\n", true},   {"yes please\n", true},
      {"n\n", false}, {" y\n", false}, {"x\n", false}, {",y\n", false},
      {"", false},
  };
  for (const Case& c : cases) {
    Session s(c.answer);
    EXPECT_EQ(zv::YESNO("Open file as OLD"), c.yes) << c.answer;
    EXPECT_EQ(s.out(), " Open file as OLD (Y/N) ? (N) \n");
  }
  {
    Session s("\n");
    (void)zv::YESNO("   ");
    EXPECT_EQ(s.out(), " Are you sure (Y/N) ? (N) \n");
  }
  {
    Session s("\n");
    (void)zv::YESNO(std::string(80, 'q'));
    // 84 columns: the last break among columns 41 to 75 is the blank before "(".
    EXPECT_EQ(s.out(), " " + std::string(70, 'q') + " \n  (Y/N) ? (N) \n");
  }
}

// --------------------------------------------------------------- TXTOUT

TEST(DialogueTxtout, ControlCharacters) {
  const std::pair<const char*, const char*> cases[] = {
      {"0abc", "\n abc\n"},
      {"1two", "\n\n two\n"},
      {"$ask", " ask "},
      {" plain line  ", " plain line\n"},
      {"xno blank", "xno blank\n"},
      {"", ""},
      {"    ", ""},
      {"0", "\n \n"},
  };
  for (const auto& [text, expected] : cases) {
    Session s("");
    zv::TXTOUT(text);
    EXPECT_EQ(s.out(), expected) << text;
  }
}

// --------------------------------------------------------------- EXTROP

TEST(DialogueExtrop, Items) {
  struct Case {
    const char* line;
    std::vector<std::string> items;
  };
  const Case cases[] = {
      {"word \"two words\" last", {"word", "two words", "last"}},
      {"a\t\"b\tc\"\td", {"a", "b\tc", "d"}},
      {"  lead   trail  ", {"lead", "trail"}},
      {"\"\" x", {"", "x"}},
      {"\"open quote", {"open quote"}},
      {"ab\"cd ef", {"ab\"cd", "ef"}},
      {"\"q\"next", {"q", "next"}},
      {"averyveryverylongword x", {"averyveryv", "x"}},
      {"", {}},
      {"\t \t", {}},
  };
  for (const Case& c : cases) {
    Session s("");
    std::array<std::string, 4> items{"?", "?", "?", "?"};
    int n = -1, ierr = 7;
    zv::EXTROP(c.line, n, 4, items, 10, ierr);
    EXPECT_EQ(ierr, 0);
    ASSERT_EQ(n, static_cast<int>(c.items.size())) << c.line;
    for (int i = 0; i < n; ++i) EXPECT_EQ(items[static_cast<std::size_t>(i)], c.items[static_cast<std::size_t>(i)]) << c.line;
    EXPECT_EQ(s.out(), "") << c.line;
  }
}

TEST(DialogueExtrop, OverflowReportsAndStops) {
  Session s("");
  std::array<std::string, 3> items{"?", "?", "?"};
  int n = 0, ierr = 0;
  zv::EXTROP("one \"two too\" three four", n, 2, items, 20, ierr);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(ierr, 0);
  EXPECT_EQ(items[0], "one");
  EXPECT_EQ(items[1], "two too");
  EXPECT_EQ(items[2], "?");
  EXPECT_EQ(s.out(),
            " ERROR --- EXTROP - too many items on input line\n"
            " Maximum allowed : (          2) \n"
            " Rest of line not parsed !!!\n");
}

TEST(DialogueExtrop, NeverWritesPastTheCallersArray) {
  Session s("");
  std::array<std::string, 2> items;
  int n = 0, ierr = 0;
  zv::EXTROP("a b c", n, 5, items, 20, ierr);
  EXPECT_EQ(n, 2);
  EXPECT_NE(s.out().find("EXTROP - too many items"), std::string::npos);
}

// ------------------------------------------------------- STRINT, STRREAL

TEST(DialogueStrint, Cases) {
  struct Case {
    const char* text;
    int value;  // expected value (the old one, 99, on failure)
    int ierr;
  };
  const Case cases[] = {
      {"42", 42, 0},     {"  42  ", 42, 0},  {"-7", -7, 0},   {"+3", 3, 0},
      {"12a", 99, -1},   {"abc", 99, -1},    {"", 99, -1},    {"   ", 99, -1},
      {",", 99, -1},     {"/", 99, -1},      {"3*", 99, -1},  {"1.5", 99, -1},
      {"99999999999", 99, -1}, {"2*5", 5, 0}, {"5 junk", 5, 0},
  };
  for (const Case& c : cases) {
    Session s("");
    int v = 99;
    EXPECT_EQ(zv::STRINT(c.text, v), c.ierr) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
    EXPECT_EQ(s.out(), c.ierr == 0 ? "" : " ERROR --- While reading integer from input string\n")
        << c.text;
  }
}

TEST(DialogueStrreal, Cases) {
  struct Case {
    const char* text;
    float value;
    int ierr;
  };
  const Case cases[] = {
      {"1.5", 1.5f, 0}, {" 2d1 ", 20.0f, 0}, {"-3", -3.0f, 0}, {"1e-2", 0.01f, 0},
      {"x", 9.0f, -1},  {"", 9.0f, -1},      {"1.5.5", 9.0f, -1},
  };
  for (const Case& c : cases) {
    Session s("");
    float v = 9.0f;
    EXPECT_EQ(zv::STRREAL(c.text, v), c.ierr) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
    EXPECT_EQ(s.out(), c.ierr == 0 ? "" : " ERROR --- While reading real from input string\n")
        << c.text;
  }
}

// ------------------------------------------------------- string helpers

TEST(Strings, Oneblank) {
  const std::pair<const char*, const char*> cases[] = {
      {"  a   b  c", "a b c"},
      {" a", " a"},        // length 2: unchanged
      {"a", "a"},
      {"ab", "ab"},
      {"  ab  ", "ab"},
      {"a  b   ", "a b"},
      {"", ""},
      {"   ", "   "},
      {"x\t y", "x\t y"},  // only blanks collapse
  };
  for (const auto& [in, out] : cases) {
    std::string s = in;
    zv::ONEBLANK(s);
    EXPECT_EQ(s, out) << '"' << in << '"';
  }
}

TEST(Strings, LengthsAndCase) {
  EXPECT_EQ(zv::LENSTR("ab  "), 2);
  EXPECT_EQ(zv::LENSTR("   "), 0);
  EXPECT_EQ(zv::LENST1("   "), 1);
  std::string s = "aBz9 q ";
  zv::UPCSTR(s);
  EXPECT_EQ(s, "ABZ9 Q ");
  zv::LOWSTR(s);
  EXPECT_EQ(s, "abz9 q ");
  s = " a b  c ";
  zv::NOBLANKS(s);
  EXPECT_EQ(s, "abc");
  EXPECT_EQ(zv::fit("abc", 5), "abc  ");
  EXPECT_EQ(zv::fit("abcdef", 2), "ab");
}

}  // namespace
