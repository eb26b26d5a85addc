// A dialog template as the dialog manager reads it: an extended template (DLGTEMPLATEEX) in
// memory, made from the template data both platforms share.
#pragma once

#include <vector>

#include "dialog_template.h"

// WORD-aligned, as DialogBoxIndirectParamW and CreateDialogIndirectParamW need it.
std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog);
