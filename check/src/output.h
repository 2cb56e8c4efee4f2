/*
 * output.h - the report formats (text, gcc, SARIF, HTML) and writing a
 * file safely.
 */
#ifndef KVX_CHECK_OUTPUT_H
#define KVX_CHECK_OUTPUT_H

#include <string>

#include "check.h"

std::string FormatText(const CheckContext &ctx);
std::string FormatGcc(const CheckContext &ctx);
std::string FormatSarif(const CheckContext &ctx);
std::string FormatHtml(const CheckContext &ctx);

/* The summary line of a check ("3 findings in 2 files, ..."). */
std::string SummaryLine(const CheckContext &ctx);

/* Writes text beside path and renames it over path, so a failed write
 * never leaves a truncated file; false with a message in error. */
bool WriteFileAtomically(const std::string &path, const std::string &text, std::string &error);

/* A checker message "file(12) : Error: text" as its parts; false for
 * other messages. */
bool SplitLocatedMessage(const std::string &message, std::string &file, long &line, std::string &text);

#endif
