// An edit control bound to a dialog member; it is spoken to with the EM_ messages.
#pragma once

#include "cwnd.h"

class CEdit : public CWnd {};
