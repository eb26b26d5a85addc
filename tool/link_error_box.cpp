#include "link_error_box.h"

#include <string>

#include "link_worker.h"
#include "modal_box.h"
#include "zeko_error_box.h"

// On the link worker the box is shown by the window's thread, which goes on answering, while the
// exchange waits for its OK as it would on the window's own thread.
void InstallLinkErrorBox() {
    SetMessageBoxHandler([](const char* text, const char* caption, UINT type) {
        auto show = [text = std::string(text), caption = std::string(caption), type] {
            ShowMessageBox(nullptr, text.c_str(), caption.c_str(), type);
        };
        if (LinkWorker* worker = LinkWorker::Current()) {
            worker->OnWindowThread(show);
        } else {
            show();
        }
    });
}
