/*
 * tessary_rules.h - the catalogue of installed rules, rule descriptions
 * with their declared parameters, parameter values (plain and pattern), rule
 * sets with their entries, and the rule list of a check run.
 */
#ifndef TESSARY_RULES_H
#define TESSARY_RULES_H

#include <memory>
#include <string>
#include <vector>

#include "tessary_persist.h"

class CRuleParameterValue;

class CRuleParameter {
 public:
  enum EType { eNum = 0, ePattern = 1 };

  CRuleParameter(EType type, std::string name, std::string label, std::string def)
      : type_(type), name_(std::move(name)), label_(std::move(label)), default_(std::move(def)) {}
  virtual ~CRuleParameter() = default;
  virtual std::unique_ptr<CRuleParameterValue> CreateValue() const;

  /* Reads 'type name label ["default"]'; null when malformed. */
  static std::unique_ptr<CRuleParameter> CreateParameter(CTextInput *input);
  /* "Num" or "pattern", in any letter case. */
  static bool MatchParameterType(EType &type, const std::string &text);

  EType GetType() const { return type_; }
  const std::string &GetName() const { return name_; }
  const std::string &GetLabel() const { return label_; }
  const std::string &GetDefaultValue() const { return default_; }
  void Assign(const CRuleParameter &o) { *this = o; }

 private:
  EType type_;
  std::string name_, label_, default_;
};

class CRuleParameterValue {
 public:
  explicit CRuleParameterValue(const CRuleParameter *p) : param_(p) {}
  virtual ~CRuleParameterValue() = default;
  virtual std::unique_ptr<CRuleParameterValue> Clone() const;
  virtual void Update(const CRuleParameterValue &other);
  virtual void Intersect(const CRuleParameterValue &other);
  /* " name {value}" as a rule-set line holds it. */
  virtual bool Save(CTextOutput *output) const;
  /* Reads "{value}" (the name has been read by the caller). */
  virtual bool Load(CTextInput *input);
  /* "global name" and "set name {value}". */
  virtual bool SaveParameterFile(CTextOutput *output) const;

  const CRuleParameter *GetParameter() const { return param_; }
  /* The value when one was set, the parameter's default otherwise. */
  std::string GetValue() const;
  void SetValue(const std::string &text);
  void SetValue(int n);
  void ClearValue() { has_ = false; }
  bool HasValue() const { return has_; }
  void SetMultiple(bool on = true) { multiple_ = on; }
  bool IsMultiple() const { return multiple_; }
  /* The text the workbench shows: the value, or "<Multiple Selection>". */
  std::string GetDisplayValue() const;

 protected:
  const CRuleParameter *param_;
  bool has_ = false;
  bool multiple_ = false;
  std::string value_;
};

/* A regular-expression value that may be built from three parts. */
class CRulePatternValue : public CRuleParameterValue {
 public:
  struct Part {
    std::string text;
    bool negated = false;
    bool operator==(const Part &o) const = default;
  };

  explicit CRulePatternValue(const CRuleParameter *p) : CRuleParameterValue(p) {}
  std::unique_ptr<CRuleParameterValue> Clone() const override;
  void Update(const CRuleParameterValue &other) override;
  void Intersect(const CRuleParameterValue &other) override;
  bool Save(CTextOutput *output) const override;
  bool Load(CTextInput *input) override;

  bool GetUseParts() const { return useParts_; }
  void SetUseParts(bool on);
  const Part &GetBeginPart() const { return begin_; }
  void SetBeginPart(const std::string &text, bool negated);
  const Part &GetContainsPart() const { return contains_; }
  void SetContainsPart(const std::string &text);
  const Part &GetEndPart() const { return end_; }
  void SetEndPart(const std::string &text, bool negated);
  void ClearParts();
  /* begin piece + contains piece + end piece. */
  std::string BuildFromParts() const;
  void ConstructFullValue();
  bool PartsMultiple() const { return partsMultiple_; }

 private:
  bool useParts_ = false;
  bool partsMultiple_ = false;
  Part begin_, contains_, end_;
};

class CRule : public CObjectWithDefaultState, public CPersistFileObject {
 public:
  /* Sections of the description; throws 34004 without a .NAME text or
   * with a bad .PARAMETER. */
  bool LoadFile(CTextInput *input) override;
  /* Descriptions are never written. */
  bool SaveFile(CTextOutput *output) const override;

  std::string GetDisplayName() const { return display_.empty() ? GetName() : display_; }
  void SetDisplayName(const std::string &d) { display_ = d; }
  const std::vector<std::unique_ptr<CRuleParameter>> &GetRuleParameters() const { return params_; }
  const CRuleParameter *GetParameter(const std::string &name) const;
  const std::string &GetTitleDescription() const { return title_; }
  const std::string &GetOtherHeaders() const { return others_; }

 private:
  std::string display_;
  std::vector<std::unique_ptr<CRuleParameter>> params_;
  std::string title_, others_;
};

class CAllRules : public CObjectWithDefaultState, public CPersistFileObject {
 public:
  bool LoadFile(CTextInput *input) override;
  /* Writes the catalogue lines: "display name" "path". */
  bool SaveFile(CTextOutput *output) const override;
  CRule *FindRuleByPath(const CPathName &path) const;
  CRule *FindRuleByName(const std::string &name) const;
  CRule *FindRuleByDisplayName(const std::string &text) const;
  const std::vector<std::unique_ptr<CRule>> &GetRules() const { return rules_; }
  void AddRule(std::unique_ptr<CRule> r) { rules_.push_back(std::move(r)); }

 private:
  std::vector<std::unique_ptr<CRule>> rules_;
};

class CRuleEntry : public CObjectWithDefaultState {
 public:
  CRuleEntry() = default;
  explicit CRuleEntry(CRule *rule) { SetRule(rule); }
  CRuleEntry(const CRuleEntry &other);

  /* Parses one rule-set line; rules are looked up in catalogue, paths are
   * relative to ruleSetPath.  False for a line that does not parse. */
  virtual bool Load(CTextInput *input, const CAllRules *catalogue, const CPathName &ruleSetPath);
  virtual bool Save(CTextOutput *output, const CPathName &ruleSetPath) const;

  CRule *GetRule() const { return rule_; }
  void SetRule(CRule *rule);
  bool IsCheck() const { return check_; }
  void SetCheck(bool on);
  const std::vector<std::unique_ptr<CRuleParameterValue>> &GetRuleParameterValues() const {
    return values_;
  }
  CRuleParameterValue *GetParameterValue(const std::string &name) const;
  void ClearAllValues();
  bool HasEqualParameters(const CRuleEntry &other) const;
  bool SaveParameterFile(CTextOutput *output) const;
  void ResetToStateOf(const CRuleEntry *other);

 private:
  CRule *rule_ = nullptr;
  bool check_ = false;
  std::vector<std::unique_ptr<CRuleParameterValue>> values_;
};

class CTrackTempFiles;

class CRuleSet : public CObjectWithDefaultState, public CPersistFileObject {
 public:
  CRuleSet() = default;
  /* A copy of model that keeps it as its default rule set. */
  explicit CRuleSet(CRuleSet *model);

  bool LoadFile(CTextInput *input) override;
  bool SaveFile(CTextOutput *output) const override;

  /* "TARQUIN ZKL 1.0 RULES FILE". */
  static bool GetVersion(const std::string &line, int &major, int &minor);
  static std::string SetVersion(int major, int minor);

  void AddRuleEntry(std::unique_ptr<CRuleEntry> e);
  const std::vector<std::unique_ptr<CRuleEntry>> &GetRuleEntries() const { return entries_; }
  CRuleEntry *FindRuleEntry(const CRule *rule) const;
  void FillAllRules();
  int GetCheckedRulesCount() const;

  /* Writes the rule list of a check run: for every checked rule a line
   * naming its generated parameter file, then a line naming its
   * description.  Throws 34028, 34029, 34030, 34031 or 34007. */
  void SaveRuleList(CTrackTempFiles &tracker, CTextOutput *output) const;

  CRuleSet *GetDefaultRuleSet() const { return default_; }
  void SetDefaultRuleSet(CRuleSet *d) { default_ = d; }
  /* The catalogue entries are looked up in (the environment's by default). */
  void SetCatalogue(const CAllRules *c) { catalogue_ = c; }
  const CAllRules *GetCatalogue() const;

  void ResetToDefaultState() override;
  void ResetToStateOf(const CRuleSet *other);

 private:
  std::vector<std::unique_ptr<CRuleEntry>> entries_;
  CRuleSet *default_ = nullptr;
  const CAllRules *catalogue_ = nullptr;
};

#endif
