// Start-up of kelvor: limits, settings, the SSE types, the library file and
// the database.
#include <string>

#include "commands.h"
#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "loader.h"
#include "output.h"

namespace kelvor {

void print_menu(const KelvorState& st) {
  static constexpr const char* kBorder =
      "+----------------------------------------------------------+";
  out_fmt("(99(/1x,a,:))",
          {kBorder,
           "| OPTIONS:                                                 |",
           "|                                                          |",
           "| REad user KELVOR file       QUit from KELVOR             |",
           "|                                                          |",
           "| INcremental search = method of choice for models/skeldo! |",
           "|                                                          |",
           "| FInd specific motif in database (rarely used)            |",
           "| PArameters for IN and FI commands (rarely used)          |",
           "|                                                          |",
           "| LIst a database entry       EXtract a database entry     |",
           "| CHeck database integrity    STatistics                   |",
           "| SElect certain entries      TOpological analysis         |",
           "| ! (comment; no action)      ? (list options)             |",
           kBorder});
  if (st.db.incomplete) {
    out_fmt("(99(/1x,a,:))",
            {kBorder, "|  WARNING +++ DATABASE WAS NOT READ ENTIRELY +++ WARNING  |", kBorder});
  }
}

void startup(KelvorState& st) {
  zv::jvaluo(" Max nr of database entries             :", kMaxEntries);
  zv::jvaluo(" Max nr of sec-struc elements in total  :", kMaxElements);
  zv::jvaluo(" Max nr of sec-struc elements per entry :", kMaxElementsPerEntry);
  zv::jvaluo(" Max nr of sec-struc types              :", kMaxTypes);

  st.max_hits = kDefaultMaxHits;
  zv::ENVINT("MAXHITS", st.max_hits);
  if (st.max_hits < kMinMaxHits) st.max_hits = kMinMaxHits;
  zv::jvaluo(" Max nr of hits (database entries)      :", st.max_hits);
  out_empty();

  for (const SseType& t : sse_types()) {
    out_fmt("(1X,A6,' > ',A,1X,A)", {"DEFINE", t.keyword, zv::fit(t.description, kTypeDescLen)});
  }
  out_empty();

  st.files.library = "kelvor.lib";
  zv::LIBFILE(st.files.library);
  if (zv::fileii(" KELVOR SSE library file ?", st.files.library, kFileNameLen) == zv::kNameTooLong ||
      zv::XOPXOA(kUnitLibrary, st.files.library, zv::ISINTR()) != 0) {
    zv::ERRFAT("While opening KELVOR SSE library file");
  }
  out_empty();

  std::string answer = "N";
  zv::textii(" List contents of SSE library (Y/N) ?", answer, 1);
  zv::UPCSTR(answer);
  st.list_library = answer == "Y";
  out_empty();

  answer = "N";
  zv::textii(" Skip non-existent PDB files  (Y/N) ?", answer, 1);
  zv::UPCSTR(answer);
  st.skip_missing_pdb = answer == "Y";
  out_empty();

  print_cpu_line(" 1 CPU total/user/sys :");
  out_empty();

  load_database(st.db, LoadOptions{st.list_library, st.skip_missing_pdb});
  if (sse_types().empty()) zv::ERRFAT("No structure types defined");
  if (st.db.nentries < 1) zv::ERRFAT("No entries found in database");

  st.last_option = "READ";
  st.mol_name = st.db.entries[0].name.str();
  print_menu(st);
}

}  // namespace kelvor
