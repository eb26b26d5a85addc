// Where the dialogs find their templates, strings and icons: the program's resources, which a
// test may swap for a variant of its own, as a resource handle swaps them.
#pragma once

#include "platform.h"

struct DialogTemplate;

struct VersionInfo {
    const char* fileVersion;
    const char* productVersion;
    const char* internalName;
    WORD language;  // a Windows language ID, 0x0804 for Chinese (PRC)
};

struct ResourceModule {
    const DialogTemplate* (*findDialog)(UINT id);  // nullptr when there is no such template
    const char* (*findString)(UINT id);            // UTF-8, nullptr when there is no such string
    // The icon's image file among the program's embedded files, or nullptr when the module has
    // no such icon. A backend whose executable carries its icons as resources of their own loads
    // the one of the same ID instead.
    const char* (*iconFile)(UINT id);
    const VersionInfo* version;
};

void AfxSetResourceHandle(const ResourceModule* module);
// The module set last; one without any resources before that.
const ResourceModule& AfxGetResourceHandle();
