/*
 * paramdlg.h - the dialogs that set a rule parameter's value: the number
 * of a Num parameter (CParameterValueDlg) and the regular expression of a
 * pattern parameter, written whole or built from what names begin with,
 * contain and end with (CPatternValueDlg).
 *
 * Both start from the value the selected rules share, or from nothing
 * ("<Multiple Selection>") when theirs differ; what the user chose is then
 * given to every selected rule's value (Apply).
 */
#ifndef CSENTREL_WIZARDS_PARAMDLG_H
#define CSENTREL_WIZARDS_PARAMDLG_H

#include <QDialog>

class CRuleParameterValue;
class CRulePatternValue;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QRadioButton;

class CParameterValueDlg : public QDialog {
  Q_OBJECT
 public:
  /* shown: the value the selected rules share (multiple: they differ). */
  CParameterValueDlg(QWidget *parent, const CRuleParameterValue &shown);
  QLineEdit *ValueEdit() const { return edit_; }
  QString Value() const;
  /* Sets value (a value of the same parameter) to the number chosen. */
  void Apply(CRuleParameterValue &value) const;

 private:
  QLineEdit *edit_;
  QDialogButtonBox *buttons_;
};

class CPatternValueDlg : public QDialog {
  Q_OBJECT
 public:
  CPatternValueDlg(QWidget *parent, const CRulePatternValue &shown);

  QRadioButton *ElementsChoice() const { return elements_; }
  QRadioButton *FullChoice() const { return full_; }
  QRadioButton *BeginChoice() const { return begin_; }
  QRadioButton *NotBeginChoice() const { return notBegin_; }
  QRadioButton *EndChoice() const { return end_; }
  QRadioButton *NotEndChoice() const { return notEnd_; }
  QLineEdit *BeginEdit() const { return beginEdit_; }
  QLineEdit *ContainsEdit() const { return containsEdit_; }
  QLineEdit *EndEdit() const { return endEdit_; }
  QLineEdit *FullEdit() const { return fullEdit_; }

  /* Gives value the pattern chosen: its parts, or the whole expression. */
  void Apply(CRulePatternValue &value) const;
  /* The expression Apply gives. */
  QString Pattern() const;

 private:
  void UpdateControls();

  QRadioButton *elements_, *full_;
  QRadioButton *begin_, *notBegin_, *end_, *notEnd_;
  QLineEdit *beginEdit_, *containsEdit_, *endEdit_, *fullEdit_;
  QLabel *preview_;
  QDialogButtonBox *buttons_;
};

#endif
