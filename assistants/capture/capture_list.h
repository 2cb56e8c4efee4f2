/*
 * capture_list.h - the list of the files a capture build compiled.
 *
 * While the makefile import assistant runs a capture build, the file
 * "x.app.captured" beside the application lists, one full path a line,
 * every source the capture program saw compiled: it is how the referenced
 * marks of the application's file entries cross from the capture program
 * back to the assistant.  The assistant starts the list empty before the
 * build and removes it afterwards; without a list no capture is running
 * and the capture program records nothing there.
 */
#ifndef KVX_CAPTURE_LIST_H
#define KVX_CAPTURE_LIST_H

#include <string>
#include <vector>

#include "tessary_text.h"

class CApplication;

CPathName GetCaptureListPath(const CPathName &appPath);

/* Creates the list empty (replacing an old one); false with error set when
 * it cannot be written. */
bool StartCaptureList(const CPathName &appPath, std::string *error = nullptr);

/* Appends the paths when a list exists; true when they were written or no
 * capture is running. */
bool AppendToCaptureList(const CPathName &appPath, const std::vector<CPathName> &paths);

/* The paths of the list, in the order written. */
std::vector<CPathName> ReadCaptureList(const CPathName &appPath);

/* Sets the referenced mark of every file entry the list names; gives the
 * number of entries marked. */
int MarkCapturedEntries(CApplication &app, const std::vector<CPathName> &paths);

void RemoveCaptureList(const CPathName &appPath);

#endif
