#include "link_error_box.h"

#include "modal_box.h"
#include "zeko_error_box.h"

void InstallLinkErrorBox() {
    SetMessageBoxHandler([](const char* text, const char* caption, UINT type) {
        ShowMessageBox(nullptr, text, caption, type);
    });
}
