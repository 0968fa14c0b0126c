// Error messages, fatal errors and the Mova link, in-process.
#include <gtest/gtest.h>

#include <string>

#include "core/frame.h"
#include "core/messages.h"
#include "core_session.h"

using zvtest::Session;

namespace {

// Runs f, which must end through ZVSTOP; returns the exit code.
template <typename F>
int stop_code(F f) {
  try {
    f();
  } catch (const zv::Stop& s) {
    return s.code;
  }
  ADD_FAILURE() << "did not stop";
  return -1;
}

TEST(Messages, Errmsg) {
  struct Case {
    const char* mode;
    std::string text;
    std::string expected;
  };
  const std::string long_text(200, 'x');
  const Case cases[] = {
      {"-B", "Something failed", " ERROR --- Something failed\n"},
      {"-B", "trailing   ", " ERROR --- trailing\n"},
      {"-B", "   ", " ERROR --- ***UNKNOWN ERROR***\n"},
      {"-I", "", " ERROR --- ***UNKNOWN ERROR***\n"},
      {"-B", long_text, " ERROR --- " + long_text + "\n"},  // printed messages are not cut
      {"-S", "Something  failed", "PRINT \"ERROR --- Something failed\"\n"},
      {"-S", "", "PRINT \"***UNKNOWN ERROR***\"\n"},
      // Cut to 128 characters with the prefix, then the leading blank goes.
      {"-S", long_text, "PRINT \"ERROR --- " + std::string(117, 'x') + "\"\n"},
  };
  for (const Case& c : cases) {
    Session s("", {c.mode});
    zv::ERRMSG(c.text);
    EXPECT_EQ(s.out(), c.expected) << c.mode << " " << c.text;
  }
}

TEST(Messages, ErrfatBatchPrintsAndStopsWithStatusOne) {
  struct Case {
    const char* text;
    const char* line;
  };
  const Case cases[] = {
      {"While opening file", " FATAL ERROR --- While opening file - execution aborted !\n"},
      {"  ", " FATAL ERROR --- ***UNKNOWN FATAL ERROR*** - execution aborted !\n"},
  };
  for (const Case& c : cases) {
    Session s("", {"-B"});
    EXPECT_EQ(stop_code([&] { zv::ERRFAT(c.text); }), 1);
    const std::string out = s.out();
    EXPECT_EQ(out.rfind(c.line, 0), 0u) << out;
    // The full stop banner follows.
    EXPECT_NE(out.find("\n\n\n" + zv::stars_line("???") + "\n\n Version - ???\n"), std::string::npos)
        << out;
    EXPECT_NE(out.find(" CPU-time taken :\n"), std::string::npos);
    EXPECT_EQ(s.err(), "STOP ... Toodle pip ... statement executed\n");
  }
}

TEST(Messages, ErrfatSocketSendsAndCloses) {
  struct Case {
    std::string text;
    std::string first;
  };
  const Case cases[] = {
      {"While opening file", "PRINT \"FATAL ERROR --- While opening file - execution aborted !\""},
      {"", "PRINT \"***UNKNOWN FATAL ERROR***\""},
      {std::string(150, 'y'), "PRINT \"FATAL ERROR --- " + std::string(111, 'y') + "\""},
  };
  for (const Case& c : cases) {
    Session s("", {"-S"});
    EXPECT_EQ(stop_code([&] { zv::ERRFAT(c.text); }), 1);
    const std::string out = s.out();
    EXPECT_EQ(out.substr(0, out.find('\n')), c.first);
    EXPECT_NE(out.find("\nPRINT \"CPU time (sec) : User - "), std::string::npos) << out;
    EXPECT_NE(out.find("\nPRINT \"Closed socket ??? V-???\"\nCLS\n"), std::string::npos) << out;
    EXPECT_EQ(s.err(), "STOP ... Toodle pip ... statement executed\n");
  }
}

TEST(Messages, ErrbatFatalUnlessInteractive) {
  {
    Session s("", {"-I"});
    zv::ERRBAT("Not fatal here");
    EXPECT_EQ(s.out(), " ERROR --- Not fatal here\n");
  }
  for (const char* mode : {"-B", "-S"}) {
    Session s("", {mode});
    EXPECT_EQ(stop_code([] { zv::ERRBAT("Fatal here"); }), 1) << mode;
    EXPECT_NE(s.out().find("FATAL ERROR --- Fatal here - execution aborted !"), std::string::npos);
  }
  {
    // Before start-up no flag is set: ERRBAT is fatal.
    Session s("", {"-B"});
    zv::frame_reset_for_test();
    EXPECT_EQ(stop_code([] { zv::ERRBAT("Too early"); }), 1);
  }
}

TEST(Messages, NormalStopHasStatusZero) {
  Session s("", {"-B"});
  EXPECT_EQ(stop_code([] { zv::ZVSTOP(); }), 0);
  EXPECT_EQ(s.err(), "STOP ... Toodle pip ... statement executed\n");
}

TEST(Messages, Movaprint) {
  struct Case {
    int unit;
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {6, "  several   blanks  in a   row ", "PRINT \"several blanks in a row\"\n"},
      {6, "say \"hi\"", "PRINT \"say \"hi\"\"\n"},  // quotes are not escaped
      {6, "    ", ""},
      {0, "text", ""},
      {-1, "text", ""},
      {6, std::string(1100, 'z'), "PRINT \"" + std::string(1024, 'z') + "\"\n"},
  };
  for (const Case& c : cases) {
    Session s("", {"-B"});
    zv::MOVAPRINT(c.unit, c.text);
    EXPECT_EQ(s.out(), c.expected) << c.text.substr(0, 30);
    EXPECT_EQ(s.err(), "");
  }
}

TEST(Messages, MovacloseOnlyInSocketMode) {
  for (const char* mode : {"-B", "-I"}) {
    Session s("", {mode});
    zv::MOVACLOSE(6);
    EXPECT_EQ(s.out(), "");
  }
  Session s("", {"-S"});
  zv::MOVACLOSE(6);
  EXPECT_EQ(s.out(), "CLS\n");
}

// A link that fails while a fatal error is reported must end the program,
// printing the message as plain text, instead of cycling between ERRFAT and
// the send.
TEST(Messages, BrokenLinkDoesNotCycle) {
  {
    Session s("", {"-S"});
    s.break_stdout();
    EXPECT_EQ(stop_code([] { zv::ERRFAT("Disk full"); }), 1);
    EXPECT_EQ(s.err(),
              " FATAL ERROR --- Disk full - execution aborted !\n"
              "STOP ... Toodle pip ... statement executed\n");
  }
  {
    // An ordinary message that cannot be sent is fatal in socket mode.
    Session s("", {"-S"});
    s.break_stdout();
    EXPECT_EQ(stop_code([] { zv::ERRMSG("Just a warning"); }), 1);
    EXPECT_EQ(s.err(),
              " FATAL ERROR --- MOVAPRINT - could not send text to Mova - execution aborted !\n"
              "STOP ... Toodle pip ... statement executed\n");
  }
  {
    // A stop whose sends fail ends once, with status 1.
    Session s("", {"-S"});
    s.break_stdout();
    EXPECT_EQ(stop_code([] { zv::ZVSTOP(); }), 1);
    EXPECT_EQ(s.err(),
              " FATAL ERROR --- MOVAPRINT - could not send text to Mova - execution aborted !\n"
              "STOP ... Toodle pip ... statement executed\n");
  }
  {
    // Interactive: the failed send is an ordinary error and the program goes on.
    Session s("", {"-I"});
    s.break_stdout();
    zv::MOVAPRINT(6, "lost");
    EXPECT_EQ(s.err(), "");
  }
}

}  // namespace
