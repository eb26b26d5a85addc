// The program's dialog templates.
#pragma once

#include "dialog_template.h"

extern const DialogTemplate kAboutTemplate;
extern const DialogTemplate kMainTemplate;
extern const DialogTemplate kTrendTemplate;
