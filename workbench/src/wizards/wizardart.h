/*
 * wizardart.h - the pictures on the left of the assistants' pages, painted
 * when a sheet opens.
 */
#ifndef CSENTREL_WIZARDS_WIZARDART_H
#define CSENTREL_WIZARDS_WIZARDART_H

#include <QPixmap>

enum class EAssistantPicture { Profile, RuleSet, Application };

/* A picture for the side of a sheet, 160 pixels wide and height high (at
 * least 300), at the screen's pixel ratio. */
QPixmap AssistantPicture(EAssistantPicture which, int height);

#endif
