/*
 * appview.cpp - the Application window.
 */
#include "appview.h"

#include <QHeaderView>
#include <QLabel>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "appdoc.h"
#include "tessary_app.h"

CAppView::CAppView(CAppDoc &doc, QWidget *parent) : QWidget(parent), doc_(doc) {
  summary_ = new QLabel(this);
  summary_->setTextFormat(Qt::RichText);
  summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary_->setContentsMargins(10, 8, 10, 6);
  summary_->setWordWrap(true);
  files_ = new QTreeWidget(this);
  files_->setColumnCount(3);
  files_->setHeaderLabels({tr("Source File"), tr("Directory"), tr("Checked")});
  files_->setRootIsDecorated(false);
  files_->setAlternatingRowColors(true);
  files_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  files_->setUniformRowHeights(true);
  files_->header()->setStretchLastSection(false);
  files_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
  connect(files_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem *item) { emit openFile(item->data(0, Qt::UserRole).toString()); });
  auto *layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(summary_);
  layout->addWidget(files_, 1);
  setFocusProxy(files_);
  Refresh();
}

static QString Row(const QString &label, const QString &value) {
  return "<tr><td style='padding-right:14px'><b>" + label.toHtmlEscaped() + "</b></td><td>" +
         (value.isEmpty() ? QString("<i>none</i>") : value.toHtmlEscaped()) + "</td></tr>";
}

template <typename T>
static QString NameOf(const T *o) {
  if (!o) return QString();
  QString name = QString::fromStdString(o->GetName());
  QString path = QString::fromStdString(o->GetFullPath().Str());
  return name.isEmpty() ? path : name + "  (" + path + ")";
}

QString CAppView::Html() const {
  const CApplication *app = doc_.App();
  if (!app) return QString();
  return "<table>" + Row(tr("Application"), doc_.Path()) + Row(tr("Profile"), NameOf(app->GetAppProfile())) +
         Row(tr("Rule Set"), NameOf(app->GetAppRuleSet())) +
         Row(tr("Makefile"), QString::fromStdString(app->GetMakefilePath().Str())) +
         Row(tr("Target"), QString::fromStdString(app->GetTargetPath())) + "</table>";
}

void CAppView::Refresh() {
  summary_->setText(Html());
  files_->clear();
  const CApplication *app = doc_.App();
  if (!app) return;
  for (const auto &e : app->GetFileEntries()) {
    const CPathName &path = e->GetFilePath();
    auto *item = new QTreeWidgetItem(files_);
    item->setText(0, QString::fromStdString(path.GetFileName()));
    item->setText(1, QString::fromStdString(path.GetDirectory().Str()));
    item->setText(2, e->IsCheck() ? tr("yes") : tr("no"));
    item->setData(0, Qt::UserRole, QString::fromStdString(path.Str()));
    item->setToolTip(0, QString::fromStdString(path.Str()));
  }
  files_->resizeColumnToContents(0);
  files_->resizeColumnToContents(2);
}

bool CAppView::HasSelection() const { return !files_->selectedItems().isEmpty(); }

void CAppView::Copy() {
  QString text;
  for (QTreeWidgetItem *item : files_->selectedItems()) text += item->data(0, Qt::UserRole).toString() + '\n';
  if (!text.isEmpty()) CopyText(text);
}

void CAppView::SelectAll() { files_->selectAll(); }

void CAppView::Print(QPrinter *printer) const {
  QString html = Html() + "<p><b>" + tr("Source files").toHtmlEscaped() + "</b></p><ul>";
  for (int i = 0; i < files_->topLevelItemCount(); ++i)
    html += "<li>" + files_->topLevelItem(i)->data(0, Qt::UserRole).toString().toHtmlEscaped() + "</li>";
  QTextDocument document;
  document.setHtml(html + "</ul>");
  PrintDocument(printer, document);
}
