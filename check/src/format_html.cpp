/*
 * format_html.cpp - the report as one self-contained HTML page: summaries
 * per rule and per file, a table of findings that can be filtered, each
 * with the source lines around it, and the descriptions of the rules.  No
 * external style sheet, script, font or image.
 */
#include <fstream>
#include <map>

#include "findings.h"
#include "output.h"

static std::string Esc(const std::string &s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

static const char kStyle[] = R"(
body{font-family:system-ui,-apple-system,"Segoe UI",sans-serif;margin:0;color:#1d2125;background:#f6f7f9}
header{background:#24323f;color:#fff;padding:14px 24px}
header h1{margin:0;font-size:20px}
header p{margin:4px 0 0;font-size:13px;color:#cfd8e0}
main{padding:16px 24px}
section{background:#fff;border:1px solid #dde1e6;border-radius:6px;padding:12px 16px;margin-bottom:16px}
h2{font-size:16px;margin:0 0 10px}
table{border-collapse:collapse;width:100%;font-size:13px}
th,td{text-align:left;padding:4px 8px;border-bottom:1px solid #eceff2;vertical-align:top}
th{background:#f0f2f5}
td.n{text-align:right;width:4em}
.summaries{display:flex;gap:16px;flex-wrap:wrap}
.summaries section{flex:1;min-width:320px}
.filters{display:flex;gap:8px;flex-wrap:wrap;align-items:center;margin-bottom:10px;font-size:13px}
.filters input[type=search]{flex:1;min-width:200px;padding:4px 6px}
tr.finding{cursor:pointer}
tr.finding:hover{background:#f4f8fc}
tr.suppressed td{color:#8a939c}
.tag{display:inline-block;font-size:11px;padding:0 6px;border-radius:8px;background:#e7ebef;margin-left:6px}
pre.src{margin:4px 0 8px;background:#f8f9fb;border:1px solid #e3e6ea;padding:6px 0;overflow-x:auto;font-size:12px}
pre.src span{display:block;padding:0 8px;white-space:pre}
pre.src span.hit{background:#fff1c2;border-left:3px solid #e0a400;padding-left:5px}
pre.src i{display:inline-block;width:4em;color:#8a939c;font-style:normal;text-align:right;margin-right:1em}
.error{color:#a4161a}
dl.rules dt{font-weight:600;margin-top:10px}
dl.rules dd{margin:2px 0 0 16px;font-size:13px}
code{font-family:ui-monospace,Menlo,Consolas,monospace}
#count{color:#5b6570}
)";

static const char kScript[] = R"(
(function(){
  var q=document.getElementById('q'),rule=document.getElementById('rule'),file=document.getElementById('file'),
      sup=document.getElementById('sup'),count=document.getElementById('count');
  var rows=Array.prototype.slice.call(document.querySelectorAll('tr.finding'));
  function apply(){
    var text=q.value.toLowerCase(),n=0;
    rows.forEach(function(r){
      var ok=(!rule.value||r.dataset.rule===rule.value)&&(!file.value||r.dataset.file===file.value)&&
             (sup.checked||r.dataset.hidden!=='1')&&(!text||r.textContent.toLowerCase().indexOf(text)>=0);
      r.style.display=ok?'':'none';
      var d=r.nextElementSibling;
      if(d&&d.classList.contains('detail'))d.style.display=ok&&r.dataset.open==='1'?'':'none';
      if(ok)n++;
    });
    count.textContent=n+' shown';
  }
  rows.forEach(function(r){r.addEventListener('click',function(){r.dataset.open=r.dataset.open==='1'?'0':'1';apply();});});
  [q,rule,file,sup].forEach(function(e){e.addEventListener('input',apply);e.addEventListener('change',apply);});
  document.querySelectorAll('a[data-rule]').forEach(function(a){a.addEventListener('click',function(ev){
    ev.preventDefault();rule.value=a.dataset.rule;file.value='';apply();});});
  document.querySelectorAll('a[data-file]').forEach(function(a){a.addEventListener('click',function(ev){
    ev.preventDefault();file.value=a.dataset.file;rule.value='';apply();});});
  /* "#rule=KEY", "#file=PATH" or "#q=TEXT" opens the page filtered. */
  location.hash.replace(/^#/,'').split('&').forEach(function(kv){
    var i=kv.indexOf('='),k=kv.slice(0,i),v=decodeURIComponent(kv.slice(i+1));
    if(k==='rule')rule.value=v;else if(k==='file')file.value=v;else if(k==='q')q.value=v;});
  apply();
})();
)";

/* The lines around a finding, its own marked. */
static std::string SourceContext(const Finding &f) {
  if (f.path.empty() || f.line <= 0) return std::string();
  std::ifstream in(f.path, std::ios::binary);
  std::string line, out;
  for (long n = 1; std::getline(in, line) && n <= f.line + 3; ++n) {
    if (n < f.line - 3) continue;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out += std::string("<span") + (n == f.line ? " class=\"hit\"" : "") + "><i>" + std::to_string(n) + "</i>" + Esc(line) + "</span>";
  }
  return out.empty() ? out : "<pre class=\"src\">" + out + "</pre>";
}

static std::string Options(const std::map<std::string, int> &counts, const char *all) {
  std::string out = std::string("<option value=\"\">") + all + "</option>";
  for (const auto &[k, n] : counts) out += "<option value=\"" + Esc(k) + "\">" + Esc(k) + " (" + std::to_string(n) + ")</option>";
  return out;
}

std::string FormatHtml(const CheckContext &ctx) {
  std::map<std::string, int> perRule, perFile;
  for (const auto &f : ctx.findings)
    if (f.Counts()) {
      ++perRule[f.rule];
      ++perFile[f.path.empty() ? "(no file)" : f.relPath];
    }
  std::string h;
  h += "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
       "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">"
       "<title>kvx_check: " + Esc(ctx.root) + "</title><style>" + kStyle + "</style></head><body>\n";
  h += "<header><h1>Coding-rule check of " + Esc(ctx.root) + "</h1><p>" + Esc(SummaryLine(ctx)) + ".</p></header><main>\n";

  if (!ctx.errors.empty()) {
    h += "<section><h2 class=\"error\">Not analysed</h2><table><tr><th>Source or rule</th><th>Checker's messages</th></tr>";
    for (const auto &e : ctx.errors) {
      std::string msgs;
      for (const auto &m : e.messages) msgs += Esc(m) + "<br>";
      std::string subject = e.isRule ? "rule " + e.subject : e.subject.empty() ? std::string("the check") : DisplayPath(ctx, e.subject);
      h += "<tr><td>" + Esc(subject) + "</td><td><code>" + msgs + "</code></td></tr>";
    }
    h += "</table></section>\n";
  }

  h += "<div class=\"summaries\"><section><h2>Findings per rule</h2><table><tr><th>Rule</th><th>Title</th><th class=\"n\">Findings</th></tr>";
  for (const auto &[rule, n] : perRule) {
    const RuleInfo *info = ctx.FindRule(rule);
    h += "<tr><td><a href=\"#\" data-rule=\"" + Esc(rule) + "\">" + Esc(rule) + "</a></td><td>" + Esc(info ? info->title : "") +
         "</td><td class=\"n\">" + std::to_string(n) + "</td></tr>";
  }
  h += "</table></section><section><h2>Findings per file</h2><table><tr><th>File</th><th class=\"n\">Findings</th></tr>";
  for (const auto &[file, n] : perFile)
    h += "<tr><td><a href=\"#\" data-file=\"" + Esc(file) + "\">" + Esc(file) + "</a></td><td class=\"n\">" + std::to_string(n) + "</td></tr>";
  h += "</table></section></div>\n";

  std::map<std::string, int> allRules, allFiles;
  for (const auto &f : ctx.findings) {
    ++allRules[f.rule];
    ++allFiles[f.path.empty() ? "(no file)" : f.relPath];
  }
  h += "<section><h2>Findings</h2><div class=\"filters\"><input type=\"search\" id=\"q\" placeholder=\"Filter by text\">"
       "<select id=\"rule\">" + Options(allRules, "All rules") + "</select><select id=\"file\">" + Options(allFiles, "All files") +
       "</select><label><input type=\"checkbox\" id=\"sup\"> show suppressed and baselined</label><span id=\"count\"></span></div>";
  h += "<table><tr><th>File</th><th class=\"n\">Line</th><th>Rule</th><th>Message</th></tr>\n";
  for (const auto &f : ctx.findings) {
    std::string file = f.path.empty() ? "(no file)" : f.relPath;
    std::string tag;
    if (f.suppressed != Finding::Suppressed::No) tag = "<span class=\"tag\" title=\"" + Esc(f.justification) + "\">suppressed</span>";
    else if (f.inBaseline) tag = "<span class=\"tag\">in baseline</span>";
    h += std::string("<tr class=\"finding") + (f.Counts() ? "" : " suppressed") + "\" data-rule=\"" + Esc(f.rule) + "\" data-file=\"" +
         Esc(file) + "\" data-hidden=\"" + (f.Counts() ? "0" : "1") + "\" data-open=\"1\"><td>" + Esc(file) + "</td><td class=\"n\">" +
         (f.line > 0 ? std::to_string(f.line) : "") + "</td><td><a href=\"#rule-" + Esc(f.rule) + "\">" + Esc(f.rule) + "</a></td><td>" +
         Esc(f.FullMessage()) + tag + "</td></tr>\n";
    std::string context = SourceContext(f);
    if (!context.empty()) h += "<tr class=\"detail\"><td colspan=\"4\">" + context + "</td></tr>\n";
  }
  h += "</table></section>\n";

  h += "<section><h2>Rules of the rule set '" + Esc(ctx.ruleSetName) + "'</h2><dl class=\"rules\">";
  for (const auto &r : ctx.rules) {
    h += "<dt id=\"rule-" + Esc(r.key) + "\">" + Esc(r.key) + ": " + Esc(r.title.empty() ? r.name : r.title) + "</dt>";
    if (!r.description.empty()) h += "<dd>" + Esc(r.description) + "</dd>";
    for (const auto &ref : r.references) h += "<dd>Reference: " + Esc(ref) + "</dd>";
    for (const auto &p : r.params)
      h += "<dd>Parameter <code>" + Esc(p.name) + "</code> (" + Esc(p.label) + "): " + Esc(p.value) +
           (p.value == p.defaultValue ? "" : " (default " + Esc(p.defaultValue) + ")") + "</dd>";
  }
  h += "</dl></section></main><script>" + std::string(kScript) + "</script></body></html>\n";
  return h;
}
