/*
 * assistant_pictures.h - the assistants' part of make screenshots: every
 * page of the profile, rule-set and application assistants and their
 * dialogs, filled in as a user fills them for the example project.
 */
#ifndef CSENTREL_ASSISTANT_PICTURES_H
#define CSENTREL_ASSISTANT_PICTURES_H

#include <QString>
#include <functional>

class CWorkbenchFixture;
class QWidget;

/* Calls save with each window and the name of its picture; the example
 * application is open in w.  Nothing is written but the pictures: every
 * sheet is cancelled on its last page. */
void DrawAssistants(CWorkbenchFixture &w, const std::function<void(QWidget *, const QString &)> &save);

#endif
