/*
 * messages.cpp - the numbered message table of the library (texts,
 * file extensions and formats), the exception and the error log.
 */
#include "tessary_errors.h"

#include <algorithm>
#include <iterator>

CErrorLog *TheErrorLog = nullptr;

namespace {

struct Message {
  unsigned id;
  const char *text;
};

/* Sorted by number. */
const Message kMessages[] = {
    {32909, "Check is finished."},
    {32913, "Check started."},
    {32914, "Check canceled by user."},
    {34000,
     ".COMMENT\n\n.DOMAIN File\n\n.KEY patterns\n\n.SEVERITY 2\n\n.NAME set patterns\n\n"
     ".TITLE Description\n\nSet the patterns for naming rules\n\n.COMMAND kvx_zkck_cc\n\n"
     ".CODE\n\n# Brindle Generated PARAMETER file\n# ** DO NOT EDIT **\n\n"},
    {34001, "Cannot open file '%1'"},
    {34002, "Missing version info in '%1'"},
    {34003, "Unsupported version in '%1'"},
    {34004, "Invalid format in '%1'"},
    {34005, "NAME clause missing or empty in '%1'"},
    {34007, "File '%1' does not exist"},
    {34008, "Cannot save file '%1'"},
    {34009, "Profile file '%1' not saved"},
    {34010, "Rule set  file '%1' not saved"},
    {34011, "Dialect file '%1' not loaded"},
    {34012, "List of available rules '%1' cannot be loaded"},
    {34013, "DIALECT clause missing in global paths."},
    {34014, "PROFILES clause missing in global paths."},
    {34015, "ALLRULES clause missing in global paths."},
    {34016, "RULESETS clause missing in global paths."},
    {34017, "CHECKER clause missing in global paths."},
    {34018, "Application '%1' cannot be created. "},
    {34020, "Cannot load application '%1'."},
    {34021, "Check failed !"},
    {34023, "Ruvexa not found."},
    {34025, "Application cannot produce check options file"},
    {34026, "Invalid syntax"},
    {34027, "Cannot load application profile."},
    {34028, "Cannot create temp file "},
    {34029, "Error while generating rule list file for rule set '%1'"},
    {34030, "Error while generating parameter file for rule '%1'"},
    {34031, "Empty path: '%1'."},
    {34050, "Dialect with invalid or missing default profile file '%1' not loaded"},
    {34051, "Profile list file '%1' does not exist. No profiles available"},
    {34052, "Rule set list file '%1' does not exist. No rule sets available"},
    {34053, "Invalid or missing profile file '%1' not loaded"},
    {34054, "Invalid or missing rule set file '%1' not loaded"},
    {34055, "Rule set '%1' cannot be loaded."},
    {34080, "Profile file '%1' saved"},
    {34081, "Rule set  file '%1' saved"},
    {34082, "Profile file '%1' loaded successfully"},
    {34083, "Rule set  file '%1' loaded successfully"},
    {34084, "Dialect '%1' loaded successfully"},
    {34085, "Dialect '%1' with default profile file '%2' loaded successfully"},
    {34086, "Dialects file '%1' loaded successfuly"},
    {34087, "List of available rules '%1' loaded successfully"},
    {34089, " Application '%1' rule set is not specified."},
    {34090, "Application '%1' opened successfully."},
    {34112, "ERROR: "},
    {34113, "Warning: "},
    {34114, "Info: "},
    {34115, "ign"},
    {34116, "prf"},
    {34117, "rsf"},
    {34118, "def"},
    {34119, "app"},
    {34120, "lrl"},
    {34121, "opt"},
    {34122, "txt"},
    {34123, "txt"},
    {34125, "mac"},
    {34126, "global %1"},
    {34127, "set %1 {%2}"},
    {34128, "^%s"},
    {34129, "^[^%s]"},
    {34130, "%s$"},
    {34131, "[^%s]$"},
    {34132, "(.*)%s(.*)"},
    {34133, "(.*)"},
    {34134, "<Multiple Selection>"},
    {34135, "Unknown"},
};

}  // namespace

const char *GetMessageText(unsigned id) {
  auto it = std::lower_bound(std::begin(kMessages), std::end(kMessages), id,
                             [](const Message &m, unsigned v) { return m.id < v; });
  if (it == std::end(kMessages) || it->id != id) return nullptr;
  return it->text;
}

/* Positional inserts: %1 and %2; any other '%' stays as written. */
std::string FormatMessageText(unsigned id, const std::string &first, const std::string &second) {
  const char *text = GetMessageText(id);
  if (!text) return "Message " + std::to_string(id) + (first.empty() ? "" : ": " + first);
  std::string out;
  for (const char *p = text; *p; ++p) {
    if (p[0] == '%' && (p[1] == '1' || p[1] == '2')) {
      out += p[1] == '1' ? first : second;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

CZKException::CZKException(unsigned id, std::string arg)
    : error_(CZKError::eError, id, std::move(arg)), text_(FormatMessageText(id, error_.GetArg())) {}

void CZKException::Throw(unsigned id, const std::string &arg) { throw CZKException(id, arg); }

void CZKException::ReThrow(const CZKException &e) { throw e; }

void CErrorLog::Report(const CZKException &e) { Report(e.GetError()); }

void CErrorLog::Report(const CZKError &e) {
  ReportMessage(e.GetType(), e.GetID(), e.GetArg(), std::string());
}

std::string CErrorLog::GetMsg(int type, unsigned id, const std::string &first,
                              const std::string &second) const {
  if (type & silent_) return std::string();
  std::string prefix;
  if (type == CZKError::eError)
    prefix = GetMessageText(34112);
  else if (type == CZKError::eWarning)
    prefix = GetMessageText(34113);
  else if (type == CZKError::eInformation)
    prefix = GetMessageText(34114);
  return prefix + FormatMessageText(id, first, second);
}

void ReportMessage(int type, unsigned id, const std::string &first, const std::string &second) {
  if (TheErrorLog) TheErrorLog->ReportMessage(type, id, first, second);
}
