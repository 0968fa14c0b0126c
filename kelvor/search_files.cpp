#include "search_files.h"

#include <sys/stat.h>

#include <cstdio>

#include "core/dialogue.h"
#include "core/files.h"
#include "core/frame.h"
#include "core/messages.h"
#include "core/strings.h"
#include "core/units.h"
#include "core/utils.h"
#include "output.h"

namespace kelvor {

// ---------------------------------------------------------------- CommandFile

bool CommandFile::open(const std::string& name) {
  name_ = name;
  error_ = 0;
  std::string file = name;
  // The file is opened as a new file, and each search overwrites the file it
  // names: a plain file left by an earlier search is removed first. Anything
  // else of that name (a folder, a device, a link) is left alone, so the open
  // reports it.
  struct stat sb {};
  if (::lstat(file.c_str(), &sb) == 0 && S_ISREG(sb.st_mode)) std::remove(file.c_str());
  if (zv::XOPXNA(unit_, file, zv::ISINTR()) != 0) {
    zv::ERRMSG(std::string("Could not open ") + what_ + name);
    open_ = false;
    return false;
  }
  name_ = file;
  open_ = true;
  return true;
}

void CommandFile::put(std::string_view text) {
  if (!open_ || error_ != 0) return;
  error_ = zv::unit_write_line(unit_, text);
}

void CommandFile::line(std::initializer_list<std::string_view> items) {
  if (!open_) return;
  buf_.clear();
  for (std::string_view it : items) {
    const std::string_view t = zv::rtrim(it);
    if (t.empty()) {
      buf_ += ' ';
    } else {
      buf_.append(t);
    }
    buf_ += ' ';
  }
  put(buf_);
}

void CommandFile::collapsed(std::string text) {
  if (!open_) return;
  text = zv::fit(text, kCommandLineLen);
  zv::ONEBLANK(text);
  line({text});
}

void CommandFile::close() {
  if (!open_) return;
  open_ = false;
  const int rc = zv::unit_close_checked(unit_);
  if (error_ == 0) error_ = rc;
  if (error_ != 0) {
    // A cut command file would run part of the hits as if complete: a
    // regular file is removed; anything else (a device, a pipe) is left.
    struct stat sb {};
    const bool regular = ::stat(name_.c_str(), &sb) == 0 && S_ISREG(sb.st_mode);
    const bool removed = regular && std::remove(name_.c_str()) == 0;
    zv::ERRMSG(std::string("While writing ") + what_ + name_ +
               (removed ? " - incomplete file removed" : " - file incomplete"));
  }
}

// ------------------------------------------------------------------- helpers

std::string pair_name(std::string_view entry, std::string_view query) {
  std::string s(entry);
  s += "_to_";
  s += query;
  zv::NOBLANKS(s);
  if (s.size() > 30) s.resize(30);
  return s;
}

std::string centroid_line(std::string_view entry, int ncentres, float rms) {
  std::string line;
  (void)zv::format_append(line, "(1x,a4,a5,i3,a,f8.3,a)",
                          {zv::fit(entry, 4), " ... ", ncentres, " centroids with RMS distance ",
                           rms, " A"});
  if (!line.empty() && line.back() == '\n') line.pop_back();
  return line;
}

namespace {

// A list-directed line of the items, as WRITE(line,*) gives it.
std::string list_line(std::initializer_list<zv::FmtItem> items) {
  std::string s;
  zv::list_write_append(s, items);
  if (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

std::string_view yn(bool b) { return b ? "Y" : "N"; }

std::string datablock_name(std::string_view entry) {
  std::string s = ".lsq_rt_";
  s += entry;
  return s;
}

}  // namespace

// ------------------------------------------------------------ SearchOutputs

SearchOutputs::SearchOutputs(const SearchSetup& setup, const Query& query, const Database& db,
                             bool vobril_save)
    : setup_(setup), query_(query), db_(db), vobril_save_(vobril_save) {}

std::string SearchOutputs::mismatch_line(std::string_view label) const {
  std::string s;
  (void)zv::format_append(s, "(a,2i3,3f12.3)",
                          {label, setup_.too_short, setup_.too_long, setup_.mis_length,
                           setup_.mis_distance, setup_.mis_cosine});
  if (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

// The search's settings, the same in both preambles after their own lead
// word: the motif or the search kind, the allowed mismatches, the distance
// type and the three Y/N answers.
void SearchOutputs::settings_lines(CommandFile& f, std::string_view lead) const {
  const std::string head = std::string(lead) + " ... ";
  if (setup_.kind == SearchKind::Find) {
    std::string s = head + "motif ";
    for (const auto& n : setup_.find_names) s += n + " ";
    f.collapsed(s);
  } else {
    f.line({head + "incremental search"});
  }
  f.collapsed(mismatch_line(head + "allowed mismatches "));
  const std::string letter(1, "CHTIA"[static_cast<int>(setup_.mode)]);
  f.line({head + "distance type", letter});
  f.line({head + "directionality", yn(setup_.directionality)});
  f.line({head + "absolute motif", yn(setup_.absolute)});
  f.line({head + "neighbours", yn(setup_.neighbours)});
}

void SearchOutputs::start(bool want_macro, const std::string& macro_name, bool want_vobril,
                          const std::string& vobril_name) {
  if (want_macro && macro_.open(macro_name)) macro_preamble();
  if (!want_vobril) return;
  // Two units writing one file would interleave the macro's lines with the
  // VOBRIL file's and leave neither usable: the VOBRIL file is refused.
  struct stat named {}, macro {};
  const int fd = macro_.is_open() ? zv::unit_fd(kUnitMacro) : -1;
  if (fd >= 0 && ::stat(vobril_name.c_str(), &named) == 0 && ::fstat(fd, &macro) == 0 &&
      named.st_dev == macro.st_dev && named.st_ino == macro.st_ino) {
    zv::ERRMSG("VOBRIL input file would overwrite the Mova macro file : " + vobril_name);
    return;
  }
  if (vobril_.open(vobril_name)) vobril_preamble();
}

void SearchOutputs::macro_preamble() {
  CommandFile& f = macro_;
  std::string stamp;
  zv::STAMP(stamp);
  const std::string qname = query_.name.str();
  f.line({"! Mova macro", f.name()});
  f.line({"! " + std::string(zv::rtrim(stamp))});
  f.line({"!"});
  f.line({"! mova_setup off off on"});
  f.line({"!"});
  f.line({setup_.skeldo ? "print ... SKELDO search" : "print ... analysing", qname});
  f.line({"print", query_.note.view()});
  settings_lines(f, "print");
  if (setup_.skeldo) return;
  f.line({"!"});
  f.line({"s_a_i", query_.pdb.view(), qname});
  f.line({"mol", qname, "obj", "c" + qname});
  f.line({"pai_zo", qname, "; yellow"});
  for (int qi : setup_.qlist) {
    const Element& q = query_.elements[qi];
    f.collapsed("pai_zo " + qname + " " + q.from.str() + " " + q.to.str() + " green");
  }
  f.line({"ca ; end"});
  const std::string first = setup_.qlist.empty() ? std::string() : query_.elements[setup_.qlist[0]].from.str();
  f.line({"cent_id term_id", qname, first, "CA ;"});
  f.line({"!"});
  f.line({"db_set_dat .lsq_integer 1 1 60"});
  f.line({"db_set_dat .lsq_integer 2 2 4"});
  f.line({"db_set_dat .lsq_integer 3 3 16999999"});
  f.line({"!"});
}

void SearchOutputs::vobril_preamble() {
  CommandFile& f = vobril_;
  std::string stamp;
  zv::STAMP(stamp);
  const std::string qname = query_.name.str();
  f.line({"! VOBRIL input file", f.name()});
  f.line({"!", zv::rtrim(stamp)});
  f.line({"!"});
  for (const char* s : {"echo on", "chain_mode original", "hydrogen strip", "hetatm strip",
                        "atom_types extended_main_chain", "set reset", "nmr_model_mode first"}) {
    f.line({s});
  }
  f.line({setup_.directionality ? "set sequential_hits on" : "! set sequential_hits on"});
  f.line({"!"});
  f.line({"! ... analysing", qname});
  f.line({"!", query_.note.view()});
  settings_lines(f, "!");
  f.line({"!"});
  f.line({"read", qname, query_.pdb.view()});
  f.line({"movamacro init", qname});
}

void SearchOutputs::write_hit(const SearchWork& work, const HitOutput& hit) {
  if (setup_.symbolic) return;
  std::array<float, 12> rt{};
  float rms = kFailedRmsd;
  bool ok = false;
  const int n = centroid_fit(work, query_, db_, *hit.entry, hit.solution, rms, rt, ok);
  const std::string cl = centroid_line(hit.entry->name.view(), n, rms);
  out_line(cl);
  (void)zv::fvaluo(" Operator :", rt);
  macro_block(work, hit, cl, rt);
  vobril_block(work, hit);
}

void SearchOutputs::macro_block(const SearchWork& work, const HitOutput& hit,
                                const std::string& cl, const std::array<float, 12>& rt) {
  CommandFile& f = macro_;
  if (!f.is_open()) return;
  const Entry& en = *hit.entry;
  const std::string name = en.name.str();
  const std::string qname = query_.name.str();
  const std::string pair = pair_name(name, qname);
  const std::string block = datablock_name(name);
  const std::int16_t* a = work.solution(hit.solution);

  f.line({"!"});
  f.line({"print ... Comparing", name});
  f.line({"print", name, en.note.view()});
  f.collapsed(list_line({"print ... score = ", hit.score, " for ", name}));
  if (setup_.kind == SearchKind::Incremental) {
    f.collapsed(list_line({"print ... nr of matched SSEs = ", hit.matched, " for ", name}));
  }
  f.line({"!"});
  f.line({"s_a_i", en.pdb.view(), name, "pdb"});
  f.line({"!"});
  f.line({"db_create", block, "12 R"});
  f.line({"!"});
  f.line({"print ...", cl});
  for (int i = 0; i < 12; ++i) {
    f.collapsed(list_line({"db_set_data " + block + " ", i + 1, i + 1, rt[i]}));
  }

  const char* cmd = setup_.explicit_lsq ? "lsq_expl" : "! lsq_impr";
  const char* mark = setup_.explicit_lsq ? "" : "! ";
  f.line({cmd, qname, name});
  for (int p = 0; p < setup_.n(); ++p) {
    if (a[p] == 0) continue;
    const Element& q = query_.elements[setup_.qlist[p]];
    const Element& e = db_.element(en, a[p] - 1);
    f.collapsed(std::string(mark) + q.from.str() + " " + q.to.str() + " CA");
    f.collapsed(std::string(mark) + e.from.str());
  }
  f.collapsed(std::string(mark) + "; " + pair);
  if (!setup_.explicit_lsq) f.line({"lsq_impr", qname, name, block, ";", pair});
  f.line({"!"});
  f.line({"lsq_mol", pair, name, ";"});

  f.line({"!"});
  f.line({"mol", name, "obj", "c" + name});
  f.line({"pai_zo", name, "; blue"});
  std::string ca = "! ca";
  for (int p = 0; p < setup_.n(); ++p) {
    if (a[p] == 0) continue;
    const Element& e = db_.element(en, a[p] - 1);
    f.collapsed("pai_zo " + name + " " + e.from.str() + " " + e.to.str() + " red");
    ca += " " + e.from.str() + " " + e.to.str();
  }
  f.collapsed(ca);
  f.line({"ca ; end_obj"});
  f.line({"!"});
  f.line({"! lsq_paired", pair, "on"});
  f.line({"! del_obj", "c" + name, ";"});
  f.line({"! db_kill", block});
  f.line({"!"});
}

void SearchOutputs::vobril_block(const SearchWork& work, const HitOutput& hit) {
  CommandFile& f = vobril_;
  if (!f.is_open()) return;
  const Entry& en = *hit.entry;
  const std::string name = en.name.str();
  const std::string qname = query_.name.str();
  const std::int16_t* a = work.solution(hit.solution);

  f.line({"!"});
  f.line({"! ... Comparing", name});
  f.line({"!", en.note.view()});
  f.collapsed(list_line({"! ... score = ", hit.score}));
  f.line({"!"});
  f.line({"read", name, en.pdb.view()});
  f.line({"!"});
  f.line({"explicit", qname, name});
  std::string qz, ez;
  for (int p = 0; p < setup_.n(); ++p) {
    if (a[p] == 0) continue;
    const Element& q = query_.elements[setup_.qlist[p]];
    const Element& e = db_.element(en, a[p] - 1);
    qz += q.from.str() + " " + q.to.str() + " ";
    ez += e.from.str() + " " + e.to.str() + " ";
  }
  f.collapsed(qz);
  f.collapsed(ez);
  f.line({"show", qname, name});
  f.line({"!"});
  f.line({"set coarse"});
  f.line({"! fast_force", qname, name, "50 25 1000"});
  f.line({"improve", qname, "*", name, "*"});
  f.line({"! show"});
  f.line({"!"});
  f.line({"set intermediate"});
  f.line({"improve", qname, "*", name, "*"});
  f.line({"! show"});
  f.line({"!"});
  f.line({"set reset"});
  f.line({"improve", qname, "*", name, "*"});
  f.line({"! show"});
  f.line({"!"});
  f.line({"! set fine"});
  f.line({"! improve", qname, "*", name, "*"});
  f.line({"!"});
  f.line({"dp", qname, name, "squared 3.5 10"});
  f.line({"!"});
  f.line({"global", qname, name, "3.5", qname + "_align_" + name + ".txt"});
  f.line({"show", qname, name});
  f.line({"!"});
  f.line({"movamacro append", name});
  if (vobril_save_) {
    f.line({"!"});
    f.line({"apply", qname, name});
    f.line({"write", name, name + "_onto_" + qname + ".pdb"});
  }
  f.line({"!"});
  f.line({"delete", name});
}

void SearchOutputs::finish() {
  macro_.close();
  if (vobril_.is_open()) {
    vobril_.line({"!"});
    vobril_.line({"movamacro close"});
    vobril_.line({"!"});
    vobril_.line({"quit"});
  }
  vobril_.close();
}

}  // namespace kelvor
