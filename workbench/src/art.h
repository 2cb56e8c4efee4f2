/*
 * art.h - the workbench's pictures, drawn at build time (art/art.cpp) and
 * compiled in as Qt resources.
 */
#ifndef CSENTREL_ART_H
#define CSENTREL_ART_H

#include <QIcon>
#include <QStringList>

/* Registers the resources; call once before any picture is used. */
void InitArt();
QIcon ProgramIcon();
/* "new", "open", "save", "check", "print", "copy", "messages", "next",
 * "previous". */
QIcon ToolIcon(const char *name);
/* The icon of a message type (CZKError::EType). */
QIcon SeverityIcon(int type);
/* Resource names of the check animation's frames, in order. */
QStringList AnimationFrames();

#endif
